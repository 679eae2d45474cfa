// The text preferences record, the menu table and the defaults of all three
// settings records.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "host/byte_access.h"
#include "plugin/menu_table.h"
#include "plugin/settings.h"
#include "textsearch/text_prefs.h"

namespace T = TextSearchPrefsLayout;

TEST(TextSearchPrefs, ResetWritesTheDefaults) {
  TextSearchPrefs prefs;
  memset(prefs.bytes, 0x77, sizeof prefs.bytes);
  resetTextSearchPrefs(&prefs);
  EXPECT_EQ(prefs.bytes[T::SearchString], 0);
  EXPECT_EQ(prefs.bytes[T::ReplaceString], 0);
  // Only the first byte of each string is cleared.
  EXPECT_EQ(prefs.bytes[T::SearchString + 1], 0x77);
  EXPECT_EQ(prefs.bytes[T::ReplaceString + 50], 0x77);
  const struct {
    size_t offset;
    int16_t value;
  } defaults[] = {
      {T::ReplaceEnabled, 0},
      {T::CaseSensitive, 0},
      {T::SearchTags, 0},
      {T::PageTextBlocks, 1},
      {T::MeasureTextBlocks, 1},
      {T::TextExpressions, 1},
      {T::StaffNames, 1},
      {T::GroupNames, 1},
      {T::TextRepeats, 1},
      {T::EndingRepeats, 0},
      {T::Lyrics, 0},
      {T::OptionsDialogLeft, -32768},
      {T::OptionsDialogTop, -32768},
      {T::ResultsDialogLeft, -32768},
      {T::ResultsDialogTop, -32768},
  };
  for (const auto& d : defaults) {
    EXPECT_EQ(prefsWord(prefs, d.offset), d.value) << "offset " << d.offset;
  }
  EXPECT_EQ(T::ResultsDialogTop + 2, TextSearchPrefsSize);
}

TEST(Settings, ApplyDefaultsResetsAllThreeRecords) {
  EntryOptions search, replace;
  TextSearchPrefs text;
  memset(&search, 0x11, sizeof search);
  memset(&replace, 0x22, sizeof replace);
  memset(&text, 0x33, sizeof text);
  applyDefaults(&search, &replace, &text);
  EXPECT_EQ(optionWord(search, EntryOptionsLayout::MatchAll), 1);
  EXPECT_EQ(optionWord(replace, EntryOptionsLayout::Duration), 1024);
  EXPECT_EQ(prefsWord(text, T::PageTextBlocks), 1);
  EXPECT_EQ(text.bytes[T::SearchString], 0);
}

TEST(MenuTable, FillsOnlyTheTwoItems) {
  for (int16_t index : {int16_t{-1}, int16_t{2}, int16_t{INT16_MAX}}) {
    std::vector<uint8_t> item(196, 0xEE);
    EXPECT_FALSE(fillMenuItem(index, item.data())) << index;
    EXPECT_EQ(item, std::vector<uint8_t>(196, 0xEE)) << index;
  }
  EXPECT_FALSE(fillMenuItem(0, nullptr));
  std::vector<uint8_t> item(196, 0xEE);
  ASSERT_TRUE(fillMenuItem(1, item.data()));
  EXPECT_STREQ(reinterpret_cast<const char*>(item.data() + 64),
               "Search/Replace - Text");
  // Every text leaves at least one NUL in its 64-byte field.
  for (size_t field : {0u, 64u, 128u}) EXPECT_EQ(item[field + 63], 0);
}
