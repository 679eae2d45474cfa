#include "simhost/sim_document.h"

#include <algorithm>
#include <cstring>

#include "host/byte_access.h"
#include "host/host_tags.h"

namespace {

// How many key words (first, second, subIndex) identify a record of a tag.
int significantKeyWords(uint32_t tag) {
  switch (tag) {
    case TagMeasureTextItem:
      return 3;
    case TagPageTextItem:
    case TagGroup:
    case TagTextReference:
      return 2;
    default:
      return 1;
  }
}

std::vector<uint8_t> textBytes(const std::string& text, size_t header = 0) {
  std::vector<uint8_t> bytes(header + text.size() + 1, 0);
  memcpy(bytes.data() + header, text.data(), text.size());
  return bytes;
}

size_t noteOffset(size_t note) {
  return HostEntryLayout::Notes + note * HostNoteLayout::Size;
}

}  // namespace

size_t RecordIndex::slotOf(const RecordKey& key) const {
  const uint32_t words = (uint32_t{key.first} << 16 | key.second) ^
                         (static_cast<uint32_t>(key.subIndex) * 0x2545F491u);
  const uint32_t hash = (key.tag * 0x9E3779B1u) ^ (words * 0x85EBCA77u);
  return (hash ^ (hash >> 15)) & (slots_.size() - 1);
}

std::vector<uint8_t>* RecordIndex::find(const RecordKey& key) const {
  if (slots_.empty()) return nullptr;
  for (size_t i = slotOf(key);; i = (i + 1) & (slots_.size() - 1)) {
    const Slot& slot = slots_[i];
    if (slot.bytes == nullptr) return nullptr;
    if (slot.key == key) return slot.bytes;
  }
}

void RecordIndex::insert(const RecordKey& key, std::vector<uint8_t>* bytes) {
  // At most half full, so that a search for an absent key ends soon.
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<Slot> old(std::max<size_t>(64, 2 * slots_.size()));
    old.swap(slots_);
    used_ = 0;
    for (const Slot& slot : old) {
      if (slot.bytes != nullptr) insert(slot.key, slot.bytes);
    }
  }
  for (size_t i = slotOf(key);; i = (i + 1) & (slots_.size() - 1)) {
    Slot& slot = slots_[i];
    if (slot.bytes == nullptr) {
      slot = Slot{key, bytes};
      ++used_;
      return;
    }
    if (slot.key == key) {
      slot.bytes = bytes;
      return;
    }
  }
}

RecordKey normalisedKey(uint32_t tag, uint16_t first, uint16_t second,
                        int16_t subIndex) {
  const int words = significantKeyWords(tag);
  return RecordKey{tag, first, words >= 2 ? second : uint16_t{0},
                   words >= 3 ? subIndex : int16_t{0}};
}

SimDocument::SimDocument(int16_t staffCount, int16_t measureCount)
    : staffCount_(staffCount), measureCount_(measureCount) {}

bool SimDocument::hasCell(int32_t staff, int32_t measure) const {
  return staff >= 1 && staff <= staffCount_ && measure >= 1 &&
         measure <= measureCount_;
}

RawEntry& SimDocument::addEntry(int16_t staff, int16_t measure, int layerIndex,
                                const EntryShape& shape) {
  RawEntry raw{};
  // Bytes the plug-in never reads get a recognisable pattern, so a test can
  // see that they pass through a replacement untouched.
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<uint8_t>(i);
  writeU32(raw.data(), HostEntryLayout::Flags, shape.flags);
  writeU16(raw.data(), HostEntryLayout::Flags2, shape.flags2);
  writeI16(raw.data(), HostEntryLayout::NoteCount,
           static_cast<int16_t>(shape.notes.size()));
  for (size_t i = 0; i < shape.notes.size() && i < HostEntryLayout::MaxNotes;
       ++i) {
    uint8_t* note = raw.data() + noteOffset(i);
    writeI16(note, HostNoteLayout::Displacement, shape.notes[i].displacement);
    writeI16(note, HostNoteLayout::RaiseLower, shape.notes[i].raiseLower);
    writeU32(note, HostNoteLayout::Flags, shape.notes[i].flags);
  }
  writeI32(raw.data(), HostEntryLayout::Position, shape.position);
  writeI32(raw.data(), HostEntryLayout::Duration, shape.duration);
  std::vector<RawEntry>& entries = layer(staff, measure, layerIndex);
  entries.push_back(raw);
  return entries.back();
}

std::vector<RawEntry>& SimDocument::layer(int16_t staff, int16_t measure,
                                          int layerIndex) {
  if (layerMaker_ != nullptr) {
    madeLayer_.clear();
    layerMaker_(staff, measure, layerIndex & 3, madeLayer_);
    return madeLayer_;
  }
  return cells_[{staff, measure}][layerIndex & 3];
}

const std::vector<RawEntry>& SimDocument::layer(int16_t staff, int16_t measure,
                                                int layerIndex) const {
  static const std::vector<RawEntry> empty;
  if (layerMaker_ != nullptr) {
    madeLayer_.clear();
    layerMaker_(staff, measure, layerIndex & 3, madeLayer_);
    return madeLayer_;
  }
  auto it = cells_.find({staff, measure});
  return it == cells_.end() ? empty : it->second[layerIndex & 3];
}

void SimDocument::putRecord(const RecordKey& key, std::vector<uint8_t> bytes) {
  const RecordKey normal =
      normalisedKey(key.tag, key.first, key.second, key.subIndex);
  std::vector<uint8_t>& stored = records_[normal];
  stored = std::move(bytes);
  // The map's nodes never move, so the index can point into them.
  recordIndex_.insert(normal, &stored);
}

void SimDocument::storeRecord(const RecordKey& key, const uint8_t* bytes,
                              size_t size) {
  std::vector<uint8_t>* stored = recordIndex_.find(
      normalisedKey(key.tag, key.first, key.second, key.subIndex));
  if (stored == nullptr) {
    putRecord(key, std::vector<uint8_t>(bytes, bytes + size));
  } else {
    stored->assign(bytes, bytes + size);
  }
}

const std::vector<uint8_t>* SimDocument::record(const RecordKey& key) const {
  return recordIndex_.find(
      normalisedKey(key.tag, key.first, key.second, key.subIndex));
}

const std::pair<const RecordKey, std::vector<uint8_t>>*
SimDocument::recordAfter(const RecordKey& key) const {
  auto it = records_.upper_bound(
      normalisedKey(key.tag, key.first, key.second, key.subIndex));
  if (it == records_.end() || it->first.tag != key.tag) return nullptr;
  return &*it;
}

size_t SimDocument::recordCount(uint32_t tag) const {
  size_t count = 0;
  for (const auto& entry : records_) count += entry.first.tag == tag;
  return count;
}

int16_t SimDocument::addTextBlock(const std::string& text) {
  const int16_t number = nextTextBlock_++;
  putRecord({TagTextBlock, static_cast<uint16_t>(number), 0, 0},
            textBytes(text));
  return number;
}

std::string SimDocument::textBlock(int16_t number) const {
  return recordText({TagTextBlock, static_cast<uint16_t>(number), 0, 0});
}

int16_t SimDocument::addTextReference(int16_t block) {
  const int16_t number = nextTextReference_++;
  std::vector<uint8_t> reference(48, 0);
  writeI16(reference.data(), 0, block);
  putRecord({TagTextReference, static_cast<uint16_t>(number), 0, 0}, reference);
  return number;
}

void SimDocument::addPageText(uint16_t page, uint16_t index,
                              const std::string& text) {
  std::vector<uint8_t> item(24, 0);
  writeI16(item.data(), 0, addTextReference(addTextBlock(text)));
  putRecord({TagPageTextItem, page, index, 0}, item);
}

void SimDocument::addMeasureText(uint16_t staff, uint16_t measure,
                                 int16_t index, const std::string& text) {
  std::vector<uint8_t> item(10, 0);
  writeI16(item.data(), 0, addTextReference(addTextBlock(text)));
  putRecord({TagMeasureTextItem, staff, measure, index}, item);
}

void SimDocument::addTextExpression(uint16_t number, const std::string& text) {
  std::vector<uint8_t> bytes = textBytes(text, 12);
  for (size_t i = 0; i < 12; ++i) bytes[i] = static_cast<uint8_t>(0xE0 + i);
  putRecord({TagTextExpression, number, 0, 0}, bytes);
}

void SimDocument::addStaff(uint16_t staff, const std::string& fullName,
                           const std::string& abbreviatedName) {
  std::vector<uint8_t> item(66, 0);
  writeI16(item.data(), 30, addTextReference(addTextBlock(fullName)));
  writeI16(item.data(), 32, addTextReference(addTextBlock(abbreviatedName)));
  putRecord({TagStaff, staff, 0, 0}, item);
}

void SimDocument::addGroup(uint16_t system, uint16_t group,
                           const std::string& fullName,
                           const std::string& abbreviatedName) {
  std::vector<uint8_t> item(30, 0);
  writeI16(item.data(), 4, addTextReference(addTextBlock(fullName)));
  writeI16(item.data(), 22, addTextReference(addTextBlock(abbreviatedName)));
  putRecord({TagGroup, system, group, 0}, item);
}

void SimDocument::addTextRepeat(uint16_t number, const std::string& text) {
  putRecord({TagTextRepeat, number, 0, 0}, std::vector<uint8_t>(16, 0));
  putRecord({TagTextRepeatText, number, 0, 0}, textBytes(text));
}

void SimDocument::addEndingRepeat(uint16_t measure, const std::string& text) {
  putRecord({TagEndingRepeat, measure, 0, 0}, std::vector<uint8_t>(28, 0));
  putRecord({TagEndingRepeatText, measure, 0, 0}, textBytes(text));
}

void SimDocument::addLyrics(uint32_t tag, uint16_t number,
                            const std::string& text) {
  putRecord({tag, number, 0, 0}, textBytes(text));
}

void SimDocument::addMeasureRecords(uint16_t count) {
  for (uint16_t m = 1; m <= count; ++m) {
    putRecord({TagMeasure, m, 0, 0}, std::vector<uint8_t>(24, 0));
  }
}

void SimDocument::addStaffSystems(uint16_t count) {
  for (uint16_t s = 1; s <= count; ++s) {
    putRecord({TagStaffSystem, s, 0, 0}, std::vector<uint8_t>(20, 0));
  }
}

std::string SimDocument::recordText(const RecordKey& key, size_t offset) const {
  const std::vector<uint8_t>* bytes = record(key);
  if (bytes == nullptr || offset >= bytes->size()) return std::string();
  const char* start = reinterpret_cast<const char*>(bytes->data()) + offset;
  return std::string(start, strnlen(start, bytes->size() - offset));
}

std::vector<uint8_t> selectionRegion(int16_t firstStaff, int16_t firstMeasure,
                                     int32_t start, int16_t lastStaff,
                                     int16_t lastMeasure, int32_t end) {
  std::vector<uint8_t> r(HostRegionLayout::Size, 0);
  writeI16(r.data(), HostRegionLayout::FirstStaff, firstStaff);
  writeI16(r.data(), HostRegionLayout::FirstMeasure, firstMeasure);
  writeI32(r.data(), HostRegionLayout::StartPosition, start);
  writeI16(r.data(), HostRegionLayout::LastStaff, lastStaff);
  writeI16(r.data(), HostRegionLayout::LastMeasure, lastMeasure);
  writeI32(r.data(), HostRegionLayout::EndPosition, end);
  return r;
}

uint32_t entryFlags(const RawEntry& entry) {
  return readU32(entry.data(), HostEntryLayout::Flags);
}
uint16_t entryFlags2(const RawEntry& entry) {
  return readU16(entry.data(), HostEntryLayout::Flags2);
}
int16_t entryNoteCount(const RawEntry& entry) {
  return readI16(entry.data(), HostEntryLayout::NoteCount);
}
int32_t entryPosition(const RawEntry& entry) {
  return readI32(entry.data(), HostEntryLayout::Position);
}
int16_t noteDisplacement(const RawEntry& entry, size_t note) {
  return readI16(entry.data(), noteOffset(note) + HostNoteLayout::Displacement);
}
int16_t noteRaiseLower(const RawEntry& entry, size_t note) {
  return readI16(entry.data(), noteOffset(note) + HostNoteLayout::RaiseLower);
}
uint32_t noteFlags(const RawEntry& entry, size_t note) {
  return readU32(entry.data(), noteOffset(note) + HostNoteLayout::Flags);
}
