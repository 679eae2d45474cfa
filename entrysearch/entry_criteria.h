// The search and replace records of one run turned into bit masks and value
// tests, so that each entry and note is tested and changed with a few word
// operations instead of a walk over every table row. They are derived from
// EntryFlagTable, NoteFlagTable and ValueCriterionTable, which stay the only
// place that ties an option word to a flag or a field; the results are those
// of entry_matching.h. One run's compiled criteria live in its walk.
#pragma once

#include <cstdint>

#include "entrysearch/entry_matching.h"
#include "entrysearch/entry_options.h"
#include "host/byte_access.h"
#include "host/host_records.h"

// An enabled value criterion: its row (the field it stands for) and its
// value word, the value wanted (search) or stored (replace).
struct EnabledValue {
  const ValueCriterionRow* row;
  int16_t value;
};

// The test of one level (entry or note): flag words and value fields.
struct LevelTest {
  bool matchAll;     // AND; otherwise OR
  bool neverHolds;   // AND with a criterion that can never hold
  uint32_t set32;    // On rows: the flag must be set
  uint32_t clear32;  // Off rows: the flag must be clear
  uint32_t care32;   // set32 | clear32
  uint32_t set16;    // the same for the entry's second flag word
  uint32_t clear16;
  uint32_t care16;
  size_t valueCount;  // the level's enabled value criteria, in row order
  EnabledValue values[ValueCriterionCount];
};

// The actions of one level: word = (word & ~clear) | set, in effect the
// rows applied in row order.
struct LevelAction {
  uint32_t clear32;
  uint32_t set32;
  uint32_t clear16;
  uint32_t set16;
  size_t valueCount;  // the level's values to store, in row order
  EnabledValue values[ValueCriterionCount];
};

struct CompiledCriteria {
  LevelTest entryTest;
  LevelTest noteTest;
  LevelAction entryAction;
  LevelAction noteAction;
  bool noteLevel;  // the replace record's noteLevel
};

CompiledCriteria compileCriteria(const EntryOptions& search,
                                 const EntryOptions& replace);

// Whether the test holds for these flag words and the value fields of
// `record`.
inline bool levelHolds(const LevelTest& test, uint32_t word32, uint32_t word16,
                       const uint8_t* record) {
  if (test.matchAll) {
    const uint32_t wrong = ((word32 & test.care32) ^ test.set32) |
                           ((word16 & test.care16) ^ test.set16);
    if (wrong != 0 || test.neverHolds) return false;
    for (size_t i = 0; i < test.valueCount; ++i) {
      const EnabledValue& v = test.values[i];
      if (valueField(*v.row, record) != v.value) return false;
    }
    return true;
  }
  const uint32_t flagHolds = (word32 & test.set32) | (~word32 & test.clear32) |
                             (word16 & test.set16) | (~word16 & test.clear16);
  if (flagHolds != 0) return true;
  for (size_t i = 0; i < test.valueCount; ++i) {
    const EnabledValue& v = test.values[i];
    if (valueField(*v.row, record) == v.value) return true;
  }
  return false;
}

// Stores each of the action's values into its field of `record`.
inline void storeValues(const LevelAction& action, uint8_t* record) {
  for (size_t i = 0; i < action.valueCount; ++i) {
    setValueField(*action.values[i].row, record, action.values[i].value);
  }
}

// The entry-level and note-level tests and actions on raw host records,
// with the same results as matchEntry, matchNote, replaceEntry and
// replaceNote.
inline bool entryMatches(const CompiledCriteria& criteria,
                         const uint8_t* entry) {
  return levelHolds(criteria.entryTest, readU32(entry, HostEntryLayout::Flags),
                    readU16(entry, HostEntryLayout::Flags2), entry);
}

inline bool noteMatches(const CompiledCriteria& criteria, const uint8_t* note) {
  return levelHolds(criteria.noteTest, readU32(note, HostNoteLayout::Flags), 0,
                    note);
}

inline void applyEntryAction(const LevelAction& action, uint8_t* entry) {
  storeValues(action, entry);
  writeU32(entry, HostEntryLayout::Flags,
           (readU32(entry, HostEntryLayout::Flags) & ~action.clear32) |
               action.set32);
  writeU16(entry, HostEntryLayout::Flags2,
           static_cast<uint16_t>(
               (readU16(entry, HostEntryLayout::Flags2) & ~action.clear16) |
               action.set16));
}

inline void applyNoteAction(const LevelAction& action, uint8_t* note) {
  storeValues(action, note);
  writeU32(
      note, HostNoteLayout::Flags,
      (readU32(note, HostNoteLayout::Flags) & ~action.clear32) | action.set32);
}
