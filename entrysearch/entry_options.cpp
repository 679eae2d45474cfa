#include "entrysearch/entry_options.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <numeric>

#include "host/byte_access.h"
#include "host/host_records.h"
#include "resources/dialog_ids.h"

namespace L = EntryOptionsLayout;

// Row order is the order of the option words in the record and the order in
// which criteria are tested; it is not the on-screen order of the boxes. The
// control column names each row's box (resources/dialog_ids.h).
constexpr EntryFlagRow EntryFlagTable[EntryFlagRowCount] = {
    // controlId, optionOffset, mask32, mask16, dangerous, searchOnly
    {IDC_ENTRY_LEGALITY, 0, 0x80000000u, 0, 1, 1},
    {IDC_ENTRY_NOTE_REST, 2, 0x40000000u, 0, 0, 0},
    {IDC_ENTRY_V2_LAUNCH, 4, 0x20000000u, 0, 1, 1},
    {IDC_ENTRY_VOICE_2, 6, 0x10000000u, 0, 1, 1},
    {IDC_ENTRY_CHORD, 8, 0x04000000u, 0, 1, 0},
    // Clef change: its box is never shown, and its word passes through.
    {IDC_ENTRY_CLEF_CHANGE, 10, 0x02000000u, 0, 1, 0},
    {IDC_ENTRY_FLOAT_REST, 12, 0x01000000u, 0, 0, 0},
    {IDC_ENTRY_GRACE, 14, 0x00800000u, 0, 0, 0},
    {IDC_ENTRY_NOTE_DETAIL, 16, 0x00400000u, 0, 1, 0},
    {IDC_ENTRY_ARTICULATION, 18, 0x00200000u, 0, 1, 0},
    {IDC_ENTRY_LYRICS, 20, 0x00100000u, 0, 1, 0},
    {IDC_ENTRY_TUPLET, 22, 0x00080000u, 0, 1, 0},
    {IDC_ENTRY_V2_TUP_PARA, 24, 0x00040000u, 0, 1, 0},
    {IDC_ENTRY_PERF_DATA, 26, 0x00020000u, 0, 1, 0},
    // The host's "ignore" flag, nothing to do with the option word Ignore.
    {IDC_ENTRY_IGNORE, 28, 0x00008000u, 0, 0, 0},
    {IDC_ENTRY_BEAM_EXT, 30, 0x00004000u, 0, 1, 0},
    {IDC_ENTRY_FLIP_TIE, 32, 0x00002000u, 0, 0, 0},
    {IDC_ENTRY_SPECIAL, 34, 0x00001000u, 0, 1, 0},
    {IDC_ENTRY_BEAM_BEAT, 36, 0x00000800u, 0, 0, 0},
    {IDC_ENTRY_SEC_BEAM, 38, 0x00000400u, 0, 1, 0},
    {IDC_ENTRY_FREEZE_STEM, 40, 0x00000100u, 0, 0, 0},
    {IDC_ENTRY_STEM_DETAIL, 42, 0x00000080u, 0, 1, 0},
    {IDC_ENTRY_CROSS_UP, 44, 0x00000040u, 0, 0, 0},
    {IDC_ENTRY_REVERSE_UP, 46, 0x00000010u, 0, 0, 0},
    {IDC_ENTRY_REVERSE_DN, 48, 0x00000008u, 0, 0, 0},
    {IDC_ENTRY_DOUBLE_STEM, 50, 0x00000004u, 0, 0, 0},
    {IDC_ENTRY_SPLIT_STEM, 52, 0x00000002u, 0, 0, 0},
    {IDC_ENTRY_UP_DOWN, 54, 0x00000001u, 0, 0, 0},
    {IDC_ENTRY_STAFF_EXPR, 56, 0, 0x0001, 1, 0},
    {IDC_ENTRY_IS_TUPLET, 58, 0, 0x0008, 1, 1},
    {IDC_ENTRY_SLUR, 60, 0, 0x0020, 1, 0},
    {IDC_ENTRY_NO_LEDGER, 62, 0, 0x0040, 0, 0},
    {IDC_ENTRY_SLASH_GRACE, 64, 0, 0x0100, 0, 0},
    {IDC_ENTRY_FLAT_BEAM, 66, 0, 0x0200, 0, 0},
};

constexpr NoteFlagRow NoteFlagTable[NoteFlagRowCount] = {
    // controlId, optionOffset, mask32, dangerous, searchOnly
    {IDC_NOTE_LEGALITY, 76, 0x80000000u, 1, 1},
    {IDC_NOTE_TIE_START, 78, 0x40000000u, 1, 0},
    {IDC_NOTE_TIE_END, 80, 0x20000000u, 1, 0},
    {IDC_NOTE_CROSS_NOTE, 82, 0x10000000u, 1, 0},
    {IDC_NOTE_UPSTEM_2ND, 84, 0x08000000u, 0, 0},
    {IDC_NOTE_UPSTEM_SPLIT, 86, 0x02000000u, 0, 0},
    {IDC_NOTE_DOWNSTEM_2ND, 88, 0x04000000u, 0, 0},
    {IDC_NOTE_ACCIDENTAL, 90, 0x01000000u, 0, 0},
    {IDC_NOTE_PAREN_ACCIDENTAL, 92, 0x00800000u, 0, 0},
    {IDC_NOTE_FREEZE_ACCIDENTAL, 94, 0x00000002u, 0, 0},
};

// Each flag row stands for one bit, and no two rows for the same: the
// compiled tests and actions take On and Off as that bit set and clear.
static_assert(std::all_of(std::begin(EntryFlagTable), std::end(EntryFlagTable),
                          [](const EntryFlagRow& row) {
                            return std::has_single_bit(row.mask32 | row.mask16);
                          }));
static_assert(std::popcount(std::accumulate(
                  std::begin(EntryFlagTable), std::end(EntryFlagTable),
                  uint64_t{0}, [](uint64_t bits, const EntryFlagRow& row) {
                    return bits | row.mask32 | uint64_t{row.mask16} << 32;
                  })) == EntryFlagRowCount);
static_assert(std::all_of(std::begin(NoteFlagTable), std::end(NoteFlagTable),
                          [](const NoteFlagRow& row) {
                            return std::has_single_bit(row.mask32);
                          }));
static_assert(std::popcount(std::accumulate(
                  std::begin(NoteFlagTable), std::end(NoteFlagTable),
                  uint32_t{0}, [](uint32_t bits, const NoteFlagRow& row) {
                    return bits | row.mask32;
                  })) == NoteFlagRowCount);

// Row order is the order in which the dialog reads the values and the
// engine tests them, entry level first.
constexpr ValueCriterionRow ValueCriterionTable[ValueCriterionCount] = {
    // box, edit, enable word, value word, default, minimum, maximum, range
    // error, level, host field, field width, searchOnly
    {IDC_CRITERIA_DURATION_BOX, IDC_CRITERIA_DURATION_EDIT, L::DurationEnabled,
     L::Duration, 1024, 1, 8192, "The duration value is out of range.",
     CriterionLevel::Entry, HostEntryLayout::Duration, 4, true},
    {IDC_CRITERIA_POSITION_BOX, IDC_CRITERIA_POSITION_EDIT, L::PositionEnabled,
     L::Position, 0, 0, 32000, "The position value is out of range.",
     CriterionLevel::Entry, HostEntryLayout::Position, 4, true},
    {IDC_CRITERIA_DISPLACEMENT_BOX, IDC_CRITERIA_DISPLACEMENT_EDIT,
     L::DisplacementEnabled, L::Displacement, 0, -100, 100,
     "The displacement value is out of range.", CriterionLevel::Note,
     HostNoteLayout::Displacement, 2, false},
    {IDC_CRITERIA_RAISE_LOWER_BOX, IDC_CRITERIA_RAISE_LOWER_EDIT,
     L::RaiseLowerEnabled, L::RaiseLower, 0, -5, 5,
     "The raise/lower value is out of range.", CriterionLevel::Note,
     HostNoteLayout::RaiseLower, 2, false},
};

// The replace page offers only criteria of 16-bit fields.
static_assert(std::all_of(std::begin(ValueCriterionTable),
                          std::end(ValueCriterionTable),
                          [](const ValueCriterionRow& row) {
                            return row.searchOnly || row.fieldWidth == 2;
                          }));

int16_t optionWord(const EntryOptions& record, size_t offset) {
  return readI16(record.bytes, offset);
}

void setOptionWord(EntryOptions& record, size_t offset, int16_t value) {
  writeI16(record.bytes, offset, value);
}

void resetEntryOptions(EntryOptions* record) {
  if (record == nullptr) return;
  for (const EntryFlagRow& row : EntryFlagTable) {
    setOptionWord(*record, row.optionOffset, TriIgnore);
  }
  for (const NoteFlagRow& row : NoteFlagTable) {
    setOptionWord(*record, row.optionOffset, TriIgnore);
  }
  for (const ValueCriterionRow& row : ValueCriterionTable) {
    setOptionWord(*record, row.enabledOffset, 0);
    setOptionWord(*record, row.valueOffset, row.defaultValue);
  }
  setOptionWord(*record, L::MatchAll, 1);
  setOptionWord(*record, L::DialogLeft, INT16_MIN);
  setOptionWord(*record, L::DialogTop, INT16_MIN);
}

int16_t checkStateForOption(int16_t option) {
  switch (option) {
    case TriOff:
      return CheckClear;
    case TriOn:
      return CheckChecked;
    default:
      return CheckMixed;
  }
}

bool optionForCheckState(int16_t state, int16_t* option) {
  switch (state) {
    case CheckClear:
      *option = TriOff;
      return true;
    case CheckChecked:
      *option = TriOn;
      return true;
    case CheckMixed:
      *option = TriIgnore;
      return true;
    default:
      return false;
  }
}
