// The compiled criteria against the table-driven rules, over sparse random
// search and replace records and random entries and notes (fixed seed): every
// test result and every changed byte must be the same.
#include "entrysearch/entry_criteria.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>

#include "host/byte_access.h"
#include "host/host_records.h"

namespace L = EntryOptionsLayout;
namespace E = HostEntryLayout;
namespace N = HostNoteLayout;

namespace {

// The option word of an active flag row: On or Off, sometimes a value
// outside 0..2.
constexpr int16_t ActiveOptions[] = {1, 2, 1, 2, 1, 2, 3, -1};
constexpr int16_t Values[] = {0, 1, -1, 5, 1024, -32768};

struct Random {
  std::mt19937 engine{20261207u};
  uint32_t next(uint32_t bound) { return engine() % bound; }
  int16_t option() { return ActiveOptions[next(std::size(ActiveOptions))]; }
  int16_t value() { return Values[next(std::size(Values))]; }
};

// A sparse record: up to three active criteria (none a quarter of the
// time), a value test one time in three, so that AND holds, OR fails and
// records without entry-level criteria all occur often.
EntryOptions randomRecord(Random& r) {
  EntryOptions record{};
  resetEntryOptions(&record);
  for (const ValueCriterionRow& value : ValueCriterionTable)
    setOptionWord(record, value.valueOffset, r.value());
  for (uint32_t active = r.next(4); active > 0; --active) {
    const uint32_t row = r.next(EntryFlagRowCount + NoteFlagRowCount);
    if (r.next(3) == 0) {
      const size_t value = r.next(ValueCriterionCount);
      setOptionWord(record, ValueCriterionTable[value].enabledOffset,
                    r.next(2) ? 1 : -7);
    } else if (row < EntryFlagRowCount) {
      setOptionWord(record, EntryFlagTable[row].optionOffset, r.option());
    } else {
      setOptionWord(record, NoteFlagTable[row - EntryFlagRowCount].optionOffset,
                    r.option());
    }
  }
  setOptionWord(record, L::MatchAll, r.next(2) == 0 ? 0 : r.value());
  setOptionWord(record, L::NoteLevel, static_cast<int16_t>(r.next(2)));
  return record;
}

bool hasEntryCriterion(const EntryOptions& search) {
  bool any = optionWord(search, L::DurationEnabled) != 0 ||
             optionWord(search, L::PositionEnabled) != 0;
  for (const EntryFlagRow& row : EntryFlagTable)
    any = any || optionWord(search, row.optionOffset) != TriIgnore;
  return any;
}

// Random bytes, then each active row's flag and each value made to agree
// with the search most of the time, so that AND matches are common too.
std::array<uint8_t, E::Stride> randomEntry(Random& r,
                                           const EntryOptions& search) {
  std::array<uint8_t, E::Stride> entry;
  for (uint8_t& b : entry) b = static_cast<uint8_t>(r.next(256));
  uint32_t flags = readU32(entry.data(), E::Flags);
  uint16_t flags2 = readU16(entry.data(), E::Flags2);
  for (const EntryFlagRow& row : EntryFlagTable) {
    const int16_t option = optionWord(search, row.optionOffset);
    if (r.next(4) == 0 || (option != TriOn && option != TriOff)) continue;
    if (row.mask32 != 0) {
      flags = option == TriOn ? flags | row.mask32 : flags & ~row.mask32;
    } else {
      flags2 = option == TriOn ? flags2 | row.mask16 : flags2 & ~row.mask16;
    }
  }
  writeU32(entry.data(), E::Flags, flags);
  writeU16(entry.data(), E::Flags2, flags2);
  if (r.next(2))
    writeI32(entry.data(), E::Duration, optionWord(search, L::Duration));
  if (r.next(2))
    writeI32(entry.data(), E::Position, optionWord(search, L::Position));
  for (size_t n = 0; n < E::MaxNotes; ++n) {
    uint8_t* note = entry.data() + E::Notes + n * N::Size;
    uint32_t noteFlags = readU32(note, N::Flags);
    for (const NoteFlagRow& row : NoteFlagTable) {
      const int16_t option = optionWord(search, row.optionOffset);
      if (r.next(4) == 0) continue;
      if (option == TriOn) noteFlags |= row.mask32;
      if (option == TriOff) noteFlags &= ~row.mask32;
    }
    writeU32(note, N::Flags, noteFlags);
    if (r.next(2))
      writeI16(note, N::Displacement, optionWord(search, L::Displacement));
    if (r.next(2))
      writeI16(note, N::RaiseLower, optionWord(search, L::RaiseLower));
  }
  return entry;
}

}  // namespace

TEST(CompiledCriteria, AgreeWithTheTableDrivenRules) {
  Random r;
  int andHeld = 0, orFailed = 0, emptyRecords = 0, noteMatchesSeen = 0;
  for (int run = 0; run < 4000; ++run) {
    const EntryOptions search = randomRecord(r), replace = randomRecord(r);
    const CompiledCriteria compiled = compileCriteria(search, replace);
    const bool matchAll = optionWord(search, L::MatchAll) != 0;
    const bool empty = !hasEntryCriterion(search);
    for (int e = 0; e < 8; ++e) {
      auto byTable = randomEntry(r, search);
      auto compact = byTable;
      const bool expected = matchEntry(byTable.data(), search);
      ASSERT_EQ(entryMatches(compiled, compact.data()), expected)
          << "run " << run << " entry " << e;
      andHeld += matchAll && expected;
      orFailed += !matchAll && !empty && !expected;
      emptyRecords += empty;
      replaceEntry(byTable.data(), replace);
      applyEntryAction(compiled.entryAction, compact.data());
      ASSERT_EQ(byTable, compact) << "run " << run << " entry " << e;
      for (size_t n = 0; n < E::MaxNotes; ++n) {
        uint8_t* tableNote = byTable.data() + E::Notes + n * N::Size;
        uint8_t* compactNote = compact.data() + E::Notes + n * N::Size;
        const bool noteExpected = matchNote(tableNote, search);
        ASSERT_EQ(noteMatches(compiled, compactNote), noteExpected)
            << "run " << run << " entry " << e << " note " << n;
        noteMatchesSeen += noteExpected;
        replaceNote(tableNote, replace);
        applyNoteAction(compiled.noteAction, compactNote);
        ASSERT_EQ(0, memcmp(tableNote, compactNote, N::Size))
            << "run " << run << " entry " << e << " note " << n;
      }
    }
  }
  std::printf("of 32000 entries: AND held %d, OR failed %d, empty %d\n",
              andHeld, orFailed, emptyRecords);
  // Each outcome occurs often enough for the comparison to mean something.
  EXPECT_GT(andHeld, 4000);
  EXPECT_GT(orFailed, 1500);
  EXPECT_GT(emptyRecords, 5000);
  EXPECT_GT(noteMatchesSeen, 40000);
  EXPECT_LT(noteMatchesSeen, 340000);
}
