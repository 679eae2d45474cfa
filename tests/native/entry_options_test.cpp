// EntryOptions and the two flag tables: the stored layout, the defaults and
// the mapping between option words and three-state check boxes.
#include "entrysearch/entry_options.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "host/byte_access.h"
#include "resources/dialog_ids.h"

namespace L = EntryOptionsLayout;

namespace {

EntryOptions filledWith(uint8_t byte) {
  EntryOptions record;
  memset(record.bytes, byte, sizeof record.bytes);
  return record;
}

}  // namespace

TEST(EntryOptions, FieldsLieAtTheirStoredOffsets) {
  // The record is also the registry format: every word little-endian at a
  // fixed offset, the last one ending at byte 112.
  EntryOptions record = filledWith(0);
  setOptionWord(record, L::DialogTop, 0x1234);
  EXPECT_EQ(record.bytes[110], 0x34);
  EXPECT_EQ(record.bytes[111], 0x12);
  setOptionWord(record, L::Duration, -2);
  EXPECT_EQ(record.bytes[70], 0xFE);
  EXPECT_EQ(record.bytes[71], 0xFF);
  EXPECT_EQ(optionWord(record, L::Duration), -2);
  EXPECT_EQ(L::DurationEnabled, L::EntryFlagOptions + 2 * EntryFlagRowCount);
  EXPECT_EQ(L::DisplacementEnabled, L::NoteFlagOptions + 2 * NoteFlagRowCount);
}

TEST(EntryOptions, ResetWritesEveryDefaultAndKeepsNoteLevel) {
  EntryOptions record = filledWith(0x5A);
  setOptionWord(record, L::NoteLevel, 1);
  resetEntryOptions(&record);
  for (const EntryFlagRow& row : EntryFlagTable) {
    EXPECT_EQ(optionWord(record, row.optionOffset), TriIgnore) << row.controlId;
  }
  for (const NoteFlagRow& row : NoteFlagTable) {
    EXPECT_EQ(optionWord(record, row.optionOffset), TriIgnore) << row.controlId;
  }
  const struct {
    size_t offset;
    int16_t value;
  } defaults[] = {
      {L::DurationEnabled, 0},
      {L::Duration, 1024},
      {L::PositionEnabled, 0},
      {L::Position, 0},
      {L::DisplacementEnabled, 0},
      {L::Displacement, 0},
      {L::RaiseLowerEnabled, 0},
      {L::RaiseLower, 0},
      {L::MatchAll, 1},
      {L::DialogLeft, -32768},
      {L::DialogTop, -32768},
      {L::NoteLevel, 1},
  };
  for (const auto& d : defaults) {
    EXPECT_EQ(optionWord(record, d.offset), d.value) << "offset " << d.offset;
  }
}

TEST(EntryOptions, ResetWritesEveryByteButNoteLevel) {
  // Two records that differ everywhere agree after a reset, except in the
  // two bytes of noteLevel: no byte is left to chance.
  EntryOptions a = filledWith(0x00);
  EntryOptions b = filledWith(0xFF);
  resetEntryOptions(&a);
  resetEntryOptions(&b);
  for (size_t i = 0; i < EntryOptionsSize; ++i) {
    if (i == L::NoteLevel || i == L::NoteLevel + 1) {
      EXPECT_NE(a.bytes[i], b.bytes[i]);
    } else {
      EXPECT_EQ(a.bytes[i], b.bytes[i]) << "byte " << i;
    }
  }
}

TEST(EntryOptions, ResetAcceptsNull) { resetEntryOptions(nullptr); }

TEST(FlagTables, RowsCoverTheirWordsOnceInRecordOrder) {
  for (size_t i = 0; i < EntryFlagRowCount; ++i) {
    EXPECT_EQ(EntryFlagTable[i].optionOffset, 2 * i) << "row " << i;
  }
  for (size_t i = 0; i < NoteFlagRowCount; ++i) {
    EXPECT_EQ(NoteFlagTable[i].optionOffset, L::NoteFlagOptions + 2 * i)
        << "row " << i;
  }
  std::set<int16_t> ids;
  for (const EntryFlagRow& row : EntryFlagTable) ids.insert(row.controlId);
  for (const NoteFlagRow& row : NoteFlagTable) ids.insert(row.controlId);
  EXPECT_EQ(ids.size(), EntryFlagRowCount + NoteFlagRowCount)
      << "every row has a check box of its own";
}

TEST(FlagTables, MasksAreSingleDistinctBitsOfTheRightWord) {
  uint32_t seen32 = 0;
  uint16_t seen16 = 0;
  for (size_t i = 0; i < EntryFlagRowCount; ++i) {
    const EntryFlagRow& row = EntryFlagTable[i];
    // Rows 0 to 27 test the 32-bit word, rows 28 to 33 the 16-bit one.
    if (i < 28) {
      EXPECT_EQ(row.mask16, 0) << "row " << i;
      EXPECT_EQ(__builtin_popcount(row.mask32), 1) << "row " << i;
      EXPECT_EQ(seen32 & row.mask32, 0u) << "row " << i;
      seen32 |= row.mask32;
    } else {
      EXPECT_EQ(row.mask32, 0u) << "row " << i;
      EXPECT_EQ(__builtin_popcount(row.mask16), 1) << "row " << i;
      EXPECT_EQ(seen16 & row.mask16, 0) << "row " << i;
      seen16 |= row.mask16;
    }
  }
  // Bits 0x08000000, 0x00010000, 0x00000200 and 0x00000020 have no row.
  EXPECT_EQ(seen32, ~(0x08000000u | 0x00010000u | 0x00000200u | 0x00000020u));
  EXPECT_EQ(seen16, 0x0001 | 0x0008 | 0x0020 | 0x0040 | 0x0100 | 0x0200);

  uint32_t seenNotes = 0;
  for (const NoteFlagRow& row : NoteFlagTable) {
    EXPECT_EQ(__builtin_popcount(row.mask32), 1) << row.controlId;
    EXPECT_EQ(seenNotes & row.mask32, 0u) << row.controlId;
    seenNotes |= row.mask32;
  }
  EXPECT_EQ(seenNotes, 0xFF800002u);
  // "Upstem Split" and "Downstem 2nd" are not in bit order.
  EXPECT_EQ(NoteFlagTable[5].mask32, 0x02000000u);
  EXPECT_EQ(NoteFlagTable[6].mask32, 0x04000000u);
}

TEST(FlagTables, DangerousAndSearchOnlyRows) {
  std::set<int16_t> searchOnly, dangerousReplaceable;
  for (const EntryFlagRow& row : EntryFlagTable) {
    if (row.searchOnly) searchOnly.insert(row.controlId);
    if (row.dangerous && !row.searchOnly) {
      dangerousReplaceable.insert(row.controlId);
    }
  }
  for (const NoteFlagRow& row : NoteFlagTable) {
    if (row.searchOnly) searchOnly.insert(row.controlId);
    if (row.dangerous && !row.searchOnly) {
      dangerousReplaceable.insert(row.controlId);
    }
  }
  // Only criteria, never replaced:
  EXPECT_EQ(searchOnly,
            (std::set<int16_t>{IDC_ENTRY_LEGALITY, IDC_ENTRY_V2_LAUNCH,
                               IDC_ENTRY_VOICE_2, IDC_ENTRY_IS_TUPLET,
                               IDC_NOTE_LEGALITY}));
  // Drawn dark red:
  EXPECT_EQ(dangerousReplaceable,
            (std::set<int16_t>{
                IDC_ENTRY_CHORD, IDC_ENTRY_CLEF_CHANGE, IDC_ENTRY_NOTE_DETAIL,
                IDC_ENTRY_ARTICULATION, IDC_ENTRY_LYRICS, IDC_ENTRY_TUPLET,
                IDC_ENTRY_V2_TUP_PARA, IDC_ENTRY_PERF_DATA, IDC_ENTRY_BEAM_EXT,
                IDC_ENTRY_SPECIAL, IDC_ENTRY_SEC_BEAM, IDC_ENTRY_STEM_DETAIL,
                IDC_ENTRY_STAFF_EXPR, IDC_ENTRY_SLUR, IDC_NOTE_TIE_START,
                IDC_NOTE_TIE_END, IDC_NOTE_CROSS_NOTE}));
}

TEST(TriStateMapping, OptionWordsShowAsCheckStates) {
  const struct {
    int16_t option;
    int16_t state;
  } cases[] = {{TriIgnore, CheckMixed}, {TriOff, CheckClear},
               {TriOn, CheckChecked},   {3, CheckMixed},
               {-1, CheckMixed},        {INT16_MIN, CheckMixed}};
  for (const auto& c : cases) {
    EXPECT_EQ(checkStateForOption(c.option), c.state) << c.option;
  }
}

TEST(TriStateMapping, CheckStatesReadBackAsOptionWords) {
  const struct {
    int16_t state;
    bool mapped;
    int16_t option;
  } cases[] = {{CheckClear, true, TriOff},
               {CheckChecked, true, TriOn},
               {CheckMixed, true, TriIgnore},
               {3, false, 77},
               {-1, false, 77}};
  for (const auto& c : cases) {
    int16_t option = 77;
    EXPECT_EQ(optionForCheckState(c.state, &option), c.mapped) << c.state;
    EXPECT_EQ(option, c.option) << c.state;
  }
}
