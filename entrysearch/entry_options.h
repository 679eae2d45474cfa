// EntryOptions: the 112-byte record of the note-entry command, in two
// instances (search and replace). It is also the stored format of the
// "SearchOptions" and "ReplaceOptions" registry values, so it is kept as raw
// bytes: little-endian signed 16-bit words at fixed offsets, no padding.
// The three constant tables here tie its words to the host's records and to
// the criteria dialog's controls; the file holds no state (the stored pair
// lives with the settings, the working copies with the dialog).
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t EntryOptionsSize = 112;

struct EntryOptions {
  uint8_t bytes[EntryOptionsSize];
};
static_assert(sizeof(EntryOptions) == EntryOptionsSize,
              "EntryOptions is stored byte for byte");

namespace EntryOptionsLayout {
constexpr size_t EntryFlagOptions = 0;  // 34 TriState words, one per row
constexpr size_t DurationEnabled = 68;  // value criteria: ValueCriterionTable
constexpr size_t Duration = 70;
constexpr size_t PositionEnabled = 72;
constexpr size_t Position = 74;
constexpr size_t NoteFlagOptions = 76;  // 10 TriState words, one per row
constexpr size_t DisplacementEnabled = 96;
constexpr size_t Displacement = 98;
constexpr size_t RaiseLowerEnabled = 100;
constexpr size_t RaiseLower = 102;
constexpr size_t MatchAll = 104;    // 1 AND, 0 OR
constexpr size_t NoteLevel = 106;   // replace record: search has note criteria
constexpr size_t DialogLeft = 108;  // criteria dialog's WindowPosition
constexpr size_t DialogTop = 110;
}  // namespace EntryOptionsLayout

int16_t optionWord(const EntryOptions& record, size_t offset);
void setOptionWord(EntryOptions& record, size_t offset, int16_t value);

// An option word of a flag row.
enum TriState : int16_t { TriIgnore = 0, TriOff = 1, TriOn = 2 };

// States of a three-state check box as the host's dialog services see them.
enum CheckState : int16_t { CheckClear = 0, CheckChecked = 1, CheckMixed = 2 };

// One row per entry flag: which check box shows it, where its option word
// lies, and which bits of the entry's `flags` (or, when mask32 is 0, of
// `flags2`) it stands for.
struct __attribute__((packed)) EntryFlagRow {
  int16_t controlId;
  uint32_t optionOffset;
  uint32_t mask32;
  uint16_t mask16;
  int16_t dangerous;
  int16_t searchOnly;
};
static_assert(sizeof(EntryFlagRow) == 16, "EntryFlagRow is 16 bytes");

// One row per note flag, tied to the note's 32-bit `flags`.
struct __attribute__((packed)) NoteFlagRow {
  int16_t controlId;
  uint32_t optionOffset;
  uint32_t mask32;
  int16_t dangerous;
  int16_t searchOnly;
};
static_assert(sizeof(NoteFlagRow) == 14, "NoteFlagRow is 14 bytes");

constexpr size_t EntryFlagRowCount = 34;
constexpr size_t NoteFlagRowCount = 10;
extern const EntryFlagRow EntryFlagTable[EntryFlagRowCount];
extern const NoteFlagRow NoteFlagTable[NoteFlagRowCount];

// The host record a criterion is tested on: each entry, or each of its notes.
enum class CriterionLevel : int16_t { Entry, Note };

// One row per value criterion (duration, position, displacement,
// raise/lower): its check box and edit, its enable word and value word, the
// value's default and valid range, and the field of the host record it
// stands for. An enabled criterion holds when the field, read as a signed
// number of its width, equals the value word; an enabled replace record
// stores the value word into the field, unless the row is search-only,
// whose controls are then on the search page alone.
struct ValueCriterionRow {
  int16_t boxId;
  int16_t editId;
  size_t enabledOffset;  // in EntryOptions: 0 off, anything else on
  size_t valueOffset;    // in EntryOptions
  int16_t defaultValue;
  int16_t minimum;  // the valid range, inclusive; checked only when enabled
  int16_t maximum;
  const char* rangeError;  // the dialog's message for a value outside it
  CriterionLevel level;
  size_t fieldOffset;  // in HostEntry or HostNote
  size_t fieldWidth;   // 2 or 4 bytes, signed
  bool searchOnly;
};

constexpr size_t ValueCriterionCount = 4;
extern const ValueCriterionRow ValueCriterionTable[ValueCriterionCount];

// Sets every field to its default. `noteLevel` is left alone, so resetting
// the replace page keeps what the search page asked for. Null is accepted.
void resetEntryOptions(EntryOptions* record);

// The check box state that shows an option word: Ignore and any value that
// is not a TriState show as indeterminate.
int16_t checkStateForOption(int16_t option);

// The option word that a check box state stands for. Answers false, leaving
// *option untouched, for a state that is not one of the three.
bool optionForCheckState(int16_t state, int16_t* option);
