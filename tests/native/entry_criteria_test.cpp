// The compiled criteria against the table-driven rules, over random search
// and replace records and random entries and notes (fixed seed): every test
// result and every changed byte must be the same.
#include "entrysearch/entry_criteria.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "host/byte_access.h"
#include "host/host_records.h"

namespace L = EntryOptionsLayout;
namespace E = HostEntryLayout;
namespace N = HostNoteLayout;

namespace {

// Option words: mostly Ignore, sometimes a value outside 0..2.
constexpr int16_t Options[] = {0, 0, 0, 0, 0, 0, 1, 2, 1, 2, 3, -1};
constexpr int16_t Values[] = {0, 1, -1, 5, 1024, -32768};

struct Random {
  std::mt19937 engine{20261207u};
  uint32_t next(uint32_t bound) { return engine() % bound; }
  int16_t option() { return Options[next(std::size(Options))]; }
  int16_t value() { return Values[next(std::size(Values))]; }
};

EntryOptions randomRecord(Random& r) {
  EntryOptions record{};
  resetEntryOptions(&record);
  for (const EntryFlagRow& row : EntryFlagTable) {
    setOptionWord(record, row.optionOffset, r.option());
  }
  for (const NoteFlagRow& row : NoteFlagTable) {
    setOptionWord(record, row.optionOffset, r.option());
  }
  for (size_t enabled : {L::DurationEnabled, L::PositionEnabled,
                         L::DisplacementEnabled, L::RaiseLowerEnabled}) {
    setOptionWord(record, enabled, r.next(3) == 0 ? r.value() : 0);
    setOptionWord(record, enabled + 2, r.value());
  }
  setOptionWord(record, L::MatchAll, r.next(2) == 0 ? 0 : r.value());
  setOptionWord(record, L::NoteLevel, static_cast<int16_t>(r.next(2)));
  return record;
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
  int entryMatchesSeen = 0, noteMatchesSeen = 0;
  for (int run = 0; run < 4000; ++run) {
    const EntryOptions search = randomRecord(r), replace = randomRecord(r);
    const CompiledCriteria compiled = compileCriteria(search, replace);
    ASSERT_TRUE(compiled.entryTest.exact && compiled.noteTest.exact);
    for (int e = 0; e < 8; ++e) {
      auto byTable = randomEntry(r, search);
      auto compact = byTable;
      const bool expected = matchEntry(byTable.data(), search);
      ASSERT_EQ(entryMatches(compiled, compact.data(), search), expected)
          << "run " << run << " entry " << e;
      entryMatchesSeen += expected;
      replaceEntry(byTable.data(), replace);
      applyEntryAction(compiled.entryAction, compact.data());
      ASSERT_EQ(byTable, compact) << "run " << run << " entry " << e;
      for (size_t n = 0; n < E::MaxNotes; ++n) {
        uint8_t* tableNote = byTable.data() + E::Notes + n * N::Size;
        uint8_t* compactNote = compact.data() + E::Notes + n * N::Size;
        const bool noteExpected = matchNote(tableNote, search);
        ASSERT_EQ(noteMatches(compiled, compactNote, search), noteExpected)
            << "run " << run << " entry " << e << " note " << n;
        noteMatchesSeen += noteExpected;
        replaceNote(tableNote, replace);
        applyNoteAction(compiled.noteAction, compactNote);
        ASSERT_EQ(0, memcmp(tableNote, compactNote, N::Size))
            << "run " << run << " entry " << e << " note " << n;
      }
    }
  }
  // Both outcomes occur often enough for the comparison to mean something.
  EXPECT_GT(entryMatchesSeen, 4000);
  EXPECT_LT(entryMatchesSeen, 28000);
  EXPECT_GT(noteMatchesSeen, 40000);
  EXPECT_LT(noteMatchesSeen, 340000);
}
