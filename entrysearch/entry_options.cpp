#include "entrysearch/entry_options.h"

#include "host/byte_access.h"

namespace L = EntryOptionsLayout;

// Row order is the order of the option words in the record and the order in
// which criteria are tested; it is not the on-screen order of the boxes.
const EntryFlagRow EntryFlagTable[EntryFlagRowCount] = {
    // controlId, optionOffset, mask32, mask16, dangerous, searchOnly
    {116, 0, 0x80000000u, 0, 1, 1},   // Legality
    {117, 2, 0x40000000u, 0, 0, 0},   // Note/Rest
    {118, 4, 0x20000000u, 0, 1, 1},   // V2 Launch
    {119, 6, 0x10000000u, 0, 1, 1},   // Voice 2
    {120, 8, 0x04000000u, 0, 1, 0},   // Chord
    {121, 10, 0x02000000u, 0, 1, 0},  // Clef Change (its box is never shown)
    {122, 12, 0x01000000u, 0, 0, 0},  // Float Rest
    {124, 14, 0x00800000u, 0, 0, 0},  // Grace
    {125, 16, 0x00400000u, 0, 1, 0},  // Note Detail
    {126, 18, 0x00200000u, 0, 1, 0},  // Articulation
    {128, 20, 0x00100000u, 0, 1, 0},  // Lyrics
    {129, 22, 0x00080000u, 0, 1, 0},  // Tuplet
    {130, 24, 0x00040000u, 0, 1, 0},  // V2 Tup Para
    {131, 26, 0x00020000u, 0, 1, 0},  // Perf Data
    {133, 28, 0x00008000u, 0, 0, 0},  // Ignore (a host flag)
    {134, 30, 0x00004000u, 0, 1, 0},  // Beam Ext
    {135, 32, 0x00002000u, 0, 0, 0},  // Flip Tie
    {136, 34, 0x00001000u, 0, 1, 0},  // Special
    {137, 36, 0x00000800u, 0, 0, 0},  // Beam/Beat
    {138, 38, 0x00000400u, 0, 1, 0},  // Sec Beam
    {139, 40, 0x00000100u, 0, 0, 0},  // Freeze Stem
    {140, 42, 0x00000080u, 0, 1, 0},  // Stem Detail
    {141, 44, 0x00000040u, 0, 0, 0},  // Cross Up
    {142, 46, 0x00000010u, 0, 0, 0},  // Reverse Up
    {143, 48, 0x00000008u, 0, 0, 0},  // Reverse Dn
    {144, 50, 0x00000004u, 0, 0, 0},  // Double Stem
    {145, 52, 0x00000002u, 0, 0, 0},  // Split Stem
    {146, 54, 0x00000001u, 0, 0, 0},  // Up/Down
    {127, 56, 0, 0x0001, 1, 0},       // Staff Expr
    {149, 58, 0, 0x0008, 1, 1},       // Is Tuplet
    {148, 60, 0, 0x0020, 1, 0},       // Slur
    {147, 62, 0, 0x0040, 0, 0},       // No Ledger
    {132, 64, 0, 0x0100, 0, 0},       // Slash Grace
    {123, 66, 0, 0x0200, 0, 0},       // Flat Beam
};

const NoteFlagRow NoteFlagTable[NoteFlagRowCount] = {
    // controlId, optionOffset, mask32, dangerous, searchOnly
    {156, 76, 0x80000000u, 1, 1},  // Legality
    {157, 78, 0x40000000u, 1, 0},  // Tie Start
    {158, 80, 0x20000000u, 1, 0},  // Tie End
    {159, 82, 0x10000000u, 1, 0},  // Cross Note
    {160, 84, 0x08000000u, 0, 0},  // Upstem 2nd
    {161, 86, 0x02000000u, 0, 0},  // Upstem Split
    {162, 88, 0x04000000u, 0, 0},  // Downstem 2nd
    {163, 90, 0x01000000u, 0, 0},  // Accidental
    {164, 92, 0x00800000u, 0, 0},  // (Accidental)
    {165, 94, 0x00000002u, 0, 0},  // Freeze Accidental
};

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
  setOptionWord(*record, L::DurationEnabled, 0);
  setOptionWord(*record, L::Duration, 1024);
  setOptionWord(*record, L::PositionEnabled, 0);
  setOptionWord(*record, L::Position, 0);
  setOptionWord(*record, L::DisplacementEnabled, 0);
  setOptionWord(*record, L::Displacement, 0);
  setOptionWord(*record, L::RaiseLowerEnabled, 0);
  setOptionWord(*record, L::RaiseLower, 0);
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
