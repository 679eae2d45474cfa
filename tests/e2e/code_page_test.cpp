// The text command on a Japanese system (ANSI code page 932), where a
// katakana's trail byte can look like an ASCII letter or a caret: such a
// byte is never matched, folded, replaced or read as a tag, and the results
// dialog draws the text in a font of the code page's character set. Run
// with LANG and LC_ALL of ja_JP.UTF-8; under any other code page the tests
// say so and skip.
#include <string>
#include <vector>

#include "host/host_tags.h"
#include "tests/e2e/e2e_support.h"

namespace {

constexpr uint32_t Options = 20129;
constexpr uint32_t Results = 20130;

// Katakana whose trail bytes are 'A', 'a' and '^'.
// clang-format off
#define KA "\x83" "A"
#define Ka "\x83" "a"
#define KCaret "\x83" "^"
// clang-format on
const char Verse[] = KA "a" KCaret "a(b)" Ka;

using Lines = std::vector<std::string>;

// The character set of the font that draws the text line.
UserStep readTextCharset(int* charset) {
  return look([charset](HWND d) {
    LOGFONTA font{};
    const HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(
        SendDlgItemMessageA(d, 107, WM_GETFONT, 0, 0));
    if (GetObjectA(handle, sizeof font, &font) == sizeof font) {
      *charset = font.lfCharSet;
    }
  });
}

}  // namespace

class CodePageTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    if (GetACP() != 932) {
      GTEST_SKIP() << "needs code page 932 (LANG=ja_JP.UTF-8), not "
                   << GetACP();
    }
    score.addLyrics(TagVerseLyrics, 1, Verse);
    score.addLyrics(TagVerseLyrics, 2, "^font(x)" Ka KA);
  }
  void run(std::vector<UserStep> options, std::vector<UserStep> results) {
    scriptedUser().expectDialog(Options, std::move(options));
    scriptedUser().expectDialog(Results, std::move(results));
    callChecked(plugin().invoke, "FinaleExtensionInvoke",
                {argument(hostWindow), 1, 0, 0});
  }
  std::string verse(uint16_t number) {
    return score.recordText({TagVerseLyrics, number, 0, 0});
  }
};

TEST_F(CodePageTest, FindModeSeesOnlyWholeLetters) {
  std::vector<Lines> seen;
  int charset = -1;
  run({setCheck(115, 1), typeText(101, "a"), click(1)},
      {readLines(&seen), readTextCharset(&charset), click(104),
       readLines(&seen), click(104), readLines(&seen), click(1)});
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], (Lines{"Match was found in", "verse lyrics #1", Verse,
                            "at position 3", "", ""}));
  EXPECT_EQ(seen[1][3], "at position 6") << "behind the caret of a katakana";
  EXPECT_EQ(seen[2][2], "2 instance(s) found");
  EXPECT_EQ(charset, SHIFTJIS_CHARSET);
}

TEST_F(CodePageTest, YesToAllChangesNoKatakana) {
  std::vector<Lines> seen;
  run({setCheck(115, 1), typeText(101, "a"), setCheck(105, 1),
       typeText(106, "b"), click(1)},
      {click(103), readLines(&seen), click(1)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0][2], "2 instance(s) found");
  EXPECT_EQ(seen[0][4], "2 instance(s) replaced");
  EXPECT_EQ(verse(1), KA "b" KCaret "b(b)" Ka);
  EXPECT_EQ(verse(2), "^font(x)" Ka KA);
}

TEST_F(CodePageTest, DoubleByteSearchStringMatchesOnlyItself) {
  std::vector<Lines> seen;
  run({setCheck(115, 1), typeText(101, Ka), setCheck(105, 1),
       typeText(106, "xy"), click(1)},
      {click(103), readLines(&seen), click(1)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0][4], "2 instance(s) replaced") << "not folded to " KA;
  EXPECT_EQ(verse(1), KA "a" KCaret "a(b)xy");
  EXPECT_EQ(verse(2), "^font(x)xy" KA);
}
