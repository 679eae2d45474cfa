// The simulated host's document: staves and measures holding four layers of
// entries (kept as raw HostEntry bytes, so fields the plug-in does not know
// pass through untouched), and the keyed records that the text command reads
// (text blocks, text references, page and measure text items, expressions,
// staff and group records, counts, repeats and lyrics).
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "host/host_records.h"

using RawEntry = std::array<uint8_t, HostEntryLayout::Stride>;

struct NoteShape {
  int16_t displacement = 0;
  int16_t raiseLower = 0;
  uint32_t flags = 0;
};

struct EntryShape {
  int32_t position = 0;
  int32_t duration = 1024;
  uint32_t flags = 0;
  uint16_t flags2 = 0;
  std::vector<NoteShape> notes;
};

// A record's identity. Words a tag does not use are always 0 here, so a key
// that carries stale values in those words still finds its record.
struct RecordKey {
  uint32_t tag;
  uint16_t first;
  uint16_t second;
  int16_t subIndex;
  bool operator<(const RecordKey& other) const {
    return std::tie(tag, first, second, subIndex) <
           std::tie(other.tag, other.first, other.second, other.subIndex);
  }
  bool operator==(const RecordKey& other) const {
    return tag == other.tag && first == other.first && second == other.second &&
           subIndex == other.subIndex;
  }
};

// Finds a record's bytes by key in a few steps: open addressing over a
// power-of-two table. Records are never removed, so neither are entries.
class RecordIndex {
 public:
  std::vector<uint8_t>* find(const RecordKey& key) const;
  void insert(const RecordKey& key, std::vector<uint8_t>* bytes);

 private:
  struct Slot {
    RecordKey key;
    std::vector<uint8_t>* bytes;  // null: the slot is free
  };
  std::vector<Slot> slots_;
  size_t used_ = 0;
  size_t slotOf(const RecordKey& key) const;
};

// Makes the entries of one layer of a document that holds none (see
// SimDocument::makeLayersOnDemand); `entries` arrives empty.
using LayerMaker = void (*)(int16_t staff, int16_t measure, int layer,
                            std::vector<RawEntry>& entries);

RecordKey normalisedKey(uint32_t tag, uint16_t first, uint16_t second,
                        int16_t subIndex);

class SimDocument {
 public:
  // The grid of staves and measures that holds entries, numbered from 1.
  SimDocument(int16_t staffCount = 0, int16_t measureCount = 0);
  // Moved, never copied: the record index points into the map's nodes.
  SimDocument(SimDocument&&) = default;
  SimDocument& operator=(SimDocument&&) = default;
  SimDocument(const SimDocument&) = delete;
  SimDocument& operator=(const SimDocument&) = delete;

  int16_t staffCount() const { return staffCount_; }
  int16_t measureCount() const { return measureCount_; }
  bool hasCell(int32_t staff, int32_t measure) const;

  // Entries: appended to the layer (0 to 3) of one staff and measure.
  RawEntry& addEntry(int16_t staff, int16_t measure, int layer,
                     const EntryShape& shape);
  std::vector<RawEntry>& layer(int16_t staff, int16_t measure, int layer);
  const std::vector<RawEntry>& layer(int16_t staff, int16_t measure,
                                     int layer) const;
  void setLayerInUse(int layer, bool inUse) { layerInUse_[layer] = inUse; }
  bool layerInUse(int layer) const { return layerInUse_[layer]; }
  // For scores too large to hold: every layer is made afresh by `maker`
  // each time it is asked for, into one reused vector, so a stored frame is
  // dropped. Entries added with addEntry are no longer seen.
  void makeLayersOnDemand(LayerMaker maker) { layerMaker_ = maker; }
  bool layersMadeOnDemand() const { return layerMaker_ != nullptr; }

  // Keyed records. A record is found through a hashed index as well as the
  // ordered map, which gives read-next its order.
  void putRecord(const RecordKey& key, std::vector<uint8_t> bytes);
  // The same, reusing the record's storage when it exists.
  void storeRecord(const RecordKey& key, const uint8_t* bytes, size_t size);
  const std::vector<uint8_t>* record(const RecordKey& key) const;
  // The first record of the key's tag after the key, or null.
  const std::pair<const RecordKey, std::vector<uint8_t>>* recordAfter(
      const RecordKey& key) const;
  size_t recordCount(uint32_t tag) const;
  const std::map<RecordKey, std::vector<uint8_t>>& records() const {
    return records_;
  }

  // Text builders: each creates the records the host would hold for it.
  int16_t addTextBlock(const std::string& text);
  std::string textBlock(int16_t number) const;
  void addPageText(uint16_t page, uint16_t index, const std::string& text);
  void addMeasureText(uint16_t staff, uint16_t measure, int16_t index,
                      const std::string& text);
  void addTextExpression(uint16_t number, const std::string& text);
  void addStaff(uint16_t staff, const std::string& fullName,
                const std::string& abbreviatedName);
  void addGroup(uint16_t system, uint16_t group, const std::string& fullName,
                const std::string& abbreviatedName);
  void addTextRepeat(uint16_t number, const std::string& text);
  void addEndingRepeat(uint16_t measure, const std::string& text);
  void addLyrics(uint32_t tag, uint16_t number, const std::string& text);
  void addMeasureRecords(uint16_t count);
  void addStaffSystems(uint16_t count);
  // The NUL-terminated text held by a record, from `offset` on.
  std::string recordText(const RecordKey& key, size_t offset = 0) const;

 private:
  using CellKey = std::pair<int16_t, int16_t>;
  int16_t staffCount_;
  int16_t measureCount_;
  std::map<CellKey, std::array<std::vector<RawEntry>, 4>> cells_;
  bool layerInUse_[4] = {true, true, true, true};
  LayerMaker layerMaker_ = nullptr;
  mutable std::vector<RawEntry> madeLayer_;
  std::map<RecordKey, std::vector<uint8_t>> records_;
  RecordIndex recordIndex_;
  int16_t nextTextBlock_ = 1;
  int16_t nextTextReference_ = 1;

  int16_t addTextReference(int16_t block);
};

// The HostRegion of a selection, as the host hands it to the note-entry
// command: staves and measures first to last, from `start` in the first
// measure to `end` (exclusive) in the last.
std::vector<uint8_t> selectionRegion(int16_t firstStaff, int16_t firstMeasure,
                                     int32_t start, int16_t lastStaff,
                                     int16_t lastMeasure, int32_t end);

// Field access on raw entries, for tests and the demo.
uint32_t entryFlags(const RawEntry& entry);
uint16_t entryFlags2(const RawEntry& entry);
int16_t entryNoteCount(const RawEntry& entry);
int32_t entryPosition(const RawEntry& entry);
int16_t noteDisplacement(const RawEntry& entry, size_t note);
int16_t noteRaiseLower(const RawEntry& entry, size_t note);
uint32_t noteFlags(const RawEntry& entry, size_t note);
