// The search and replace records of one run turned into bit masks and value
// tests, so that each entry and note is tested and changed with a few word
// operations instead of a walk over every table row. They are derived from
// EntryFlagTable and NoteFlagTable, which stay the only place that ties an
// option word to a flag; the results are those of entry_matching.h.
#pragma once

#include <cstdint>

#include "entrysearch/entry_matching.h"
#include "entrysearch/entry_options.h"
#include "host/byte_access.h"
#include "host/host_records.h"

// The test of one level (entry or note): flag words and two value fields.
struct LevelTest {
  bool matchAll;     // AND; otherwise OR
  bool neverHolds;   // AND with a criterion that can never hold
  bool exact;        // false: a mask the word tests cannot express (a row
                     // with no bit or several bits); use the table rows
  uint32_t set32;    // On rows: the flag must be set
  uint32_t clear32;  // Off rows: the flag must be clear
  uint32_t care32;   // set32 | clear32
  uint32_t set16;    // the same for the entry's second flag word
  uint32_t clear16;
  uint32_t care16;
  uint32_t valueMaskA;  // all ones when the first value is a criterion
  int32_t valueA;       // duration, or displacement
  uint32_t valueMaskB;
  int32_t valueB;  // position, or raise/lower
};

// The actions of one level: word = (word & ~clear) | set, in effect the
// rows applied in row order.
struct LevelAction {
  uint32_t clear32;
  uint32_t set32;
  uint32_t clear16;
  uint32_t set16;
  bool setDisplacement;
  int16_t displacement;
  bool setRaiseLower;
  int16_t raiseLower;
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

// Whether the test holds for these words and values (`exact` must be set).
inline bool levelHolds(const LevelTest& test, uint32_t word32, uint32_t word16,
                       int32_t a, int32_t b) {
  if (test.matchAll) {
    const uint32_t wrong =
        ((word32 & test.care32) ^ test.set32) |
        ((word16 & test.care16) ^ test.set16) |
        (static_cast<uint32_t>(a ^ test.valueA) & test.valueMaskA) |
        (static_cast<uint32_t>(b ^ test.valueB) & test.valueMaskB);
    return wrong == 0 && !test.neverHolds;
  }
  const uint32_t flagHolds = (word32 & test.set32) | (~word32 & test.clear32) |
                             (word16 & test.set16) | (~word16 & test.clear16);
  return flagHolds != 0 || (test.valueMaskA != 0 && a == test.valueA) ||
         (test.valueMaskB != 0 && b == test.valueB);
}

// The entry-level and note-level tests and actions on raw host records,
// with the same results as matchEntry, matchNote, replaceEntry and
// replaceNote.
inline bool entryMatches(const CompiledCriteria& criteria, const uint8_t* entry,
                         const EntryOptions& search) {
  if (!criteria.entryTest.exact) return matchEntry(entry, search);
  return levelHolds(criteria.entryTest, readU32(entry, HostEntryLayout::Flags),
                    readU16(entry, HostEntryLayout::Flags2),
                    readI32(entry, HostEntryLayout::Duration),
                    readI32(entry, HostEntryLayout::Position));
}

inline bool noteMatches(const CompiledCriteria& criteria, const uint8_t* note,
                        const EntryOptions& search) {
  if (!criteria.noteTest.exact) return matchNote(note, search);
  return levelHolds(criteria.noteTest, readU32(note, HostNoteLayout::Flags), 0,
                    readI16(note, HostNoteLayout::Displacement),
                    readI16(note, HostNoteLayout::RaiseLower));
}

inline void applyEntryAction(const LevelAction& action, uint8_t* entry) {
  writeU32(entry, HostEntryLayout::Flags,
           (readU32(entry, HostEntryLayout::Flags) & ~action.clear32) |
               action.set32);
  writeU16(entry, HostEntryLayout::Flags2,
           static_cast<uint16_t>(
               (readU16(entry, HostEntryLayout::Flags2) & ~action.clear16) |
               action.set16));
}

inline void applyNoteAction(const LevelAction& action, uint8_t* note) {
  if (action.setDisplacement) {
    writeI16(note, HostNoteLayout::Displacement, action.displacement);
  }
  if (action.setRaiseLower)
    writeI16(note, HostNoteLayout::RaiseLower, action.raiseLower);
  writeU32(
      note, HostNoteLayout::Flags,
      (readU32(note, HostNoteLayout::Flags) & ~action.clear32) | action.set32);
}
