// TextSearchPrefs: the 132-byte record of the text command, also the stored
// format of the "TextSearchPrefs" registry value: two 51-byte string fields,
// then little-endian signed 16-bit words, no padding.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t TextSearchPrefsSize = 132;
constexpr size_t TextFieldSize = 51;  // at most 50 characters and a NUL
constexpr size_t TextMaxChars = 50;

struct TextSearchPrefs {
  uint8_t bytes[TextSearchPrefsSize];
};
static_assert(sizeof(TextSearchPrefs) == TextSearchPrefsSize,
              "TextSearchPrefs is stored byte for byte");

namespace TextSearchPrefsLayout {
constexpr size_t SearchString = 0;
constexpr size_t ReplaceString = 51;
constexpr size_t ReplaceEnabled = 102;
constexpr size_t CaseSensitive = 104;
constexpr size_t SearchTags = 106;
constexpr size_t ElementSwitches = 108;  // 8 words, in TextElementKind order
constexpr size_t ElementSwitchCount = 8;
constexpr size_t PageTextBlocks = 108;
constexpr size_t MeasureTextBlocks = 110;
constexpr size_t TextExpressions = 112;
constexpr size_t StaffNames = 114;
constexpr size_t GroupNames = 116;
constexpr size_t TextRepeats = 118;
constexpr size_t EndingRepeats = 120;
constexpr size_t Lyrics = 122;
constexpr size_t OptionsDialogLeft = 124;
constexpr size_t OptionsDialogTop = 126;
constexpr size_t ResultsDialogLeft = 128;
constexpr size_t ResultsDialogTop = 130;
}  // namespace TextSearchPrefsLayout

static_assert(TextSearchPrefsLayout::ReplaceString ==
                  TextSearchPrefsLayout::SearchString + TextFieldSize,
              "the two strings are adjacent fixed fields");
static_assert(TextSearchPrefsLayout::Lyrics ==
                  TextSearchPrefsLayout::ElementSwitches +
                      2 * (TextSearchPrefsLayout::ElementSwitchCount - 1),
              "one word per element switch");

int16_t prefsWord(const TextSearchPrefs& prefs, size_t offset);
void setPrefsWord(TextSearchPrefs& prefs, size_t offset, int16_t value);

// Writes the defaults: empty strings (only their first byte is set), the
// first six element kinds on, everything else off, both dialogs unplaced.
void resetTextSearchPrefs(TextSearchPrefs* prefs);
