// The text command on a Japanese system (ANSI code page 932), where a
// katakana's trail byte can look like an ASCII letter or a caret: such a
// byte is never matched, folded, replaced or read as a tag, and the results
// dialog draws the text in a font of the code page's character set. Run
// with LANG and LC_ALL of ja_JP.UTF-8.
// And on a system set to UTF-8 (65001), where a character is one to four
// bytes: the 50-byte cuts of what the user types never leave part of a
// character, and Greek and Japanese texts are searched, replaced and shown
// whole. Run with LANG and LC_ALL of hi_IN.UTF-8.
// Under any other code page the tests say so and skip.
// On each, fifty bytes of letters typed with the keyboard alone reach both
// edits and the stored record whole: ASCII on any code page, katakana under
// 932, Greek under UTF-8.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/host_tags.h"
#include "tests/e2e/e2e_support.h"
#include "textsearch/text_prefs.h"

namespace {

constexpr uint32_t Options = IDD_TEXT_OPTIONS;
constexpr uint32_t Results = IDD_TEXT_RESULTS;

// Katakana whose trail bytes are 'A', 'a' and '^'.
// clang-format off
#define KA "\x83" "A"
#define Ka "\x83" "a"
#define KCaret "\x83" "^"
// clang-format on
const char Verse[] = KA "a" KCaret "a(b)" Ka;

using Lines = std::vector<std::string>;

HFONT controlFont(HWND dialog, int id) {
  return reinterpret_cast<HFONT>(
      SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0));
}

// The font that draws a control.
UserStep readFont(int id, LOGFONTA* font) {
  return look([id, font](HWND d) {
    GetObjectA(controlFont(d, id), sizeof *font, font);
  });
}

// The pixels of one character drawn with a font into a memory DC.
std::vector<uint32_t> drawnPixels(HFONT font, wchar_t character) {
  constexpr int Side = 32;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateBitmap(Side, Side, 1, 32, nullptr);
  SelectObject(dc, bitmap);
  SelectObject(dc, font);
  PatBlt(dc, 0, 0, Side, Side, WHITENESS);
  TextOutW(dc, 2, 2, &character, 1);
  std::vector<uint32_t> pixels(Side * Side);
  GetBitmapBits(bitmap, Side * Side * 4, pixels.data());
  DeleteDC(dc);  // before the bitmap and font it holds
  DeleteObject(bitmap);
  return pixels;
}

// The letters that a control's font draws as it draws a code point that
// no font has (U+0378, unassigned): a box, a blank or nothing.
UserStep findUndrawn(int id, const std::wstring& letters,
                     std::wstring* undrawn) {
  return look([=](HWND d) {
    const auto nothing = drawnPixels(controlFont(d, id), L'\x0378');
    for (wchar_t letter : letters) {
      if (drawnPixels(controlFont(d, id), letter) == nothing) {
        undrawn->push_back(letter);
      }
    }
  });
}

// The text command's two dialogs, run by the scripted user.
class CodePageRun : public CommandTest {
 protected:
  void run(std::vector<UserStep> options, std::vector<UserStep> results) {
    scriptedUser().expectDialog(Options, std::move(options));
    scriptedUser().expectDialog(Results, std::move(results));
    callChecked(plugin().invoke, "FinaleExtensionInvoke",
                {argument(hostWindow), 1, 0, 0});
  }
  // The search and replace strings as the plug-in stores them at its end.
  std::pair<std::string, std::string> storedStrings() {
    namespace L = TextSearchPrefsLayout;
    callChecked(plugin().terminate, "FinaleExtensionTerminate", {0});
    Bytes prefs = readSettingsValue("TextSearchPrefs").bytes;
    prefs.resize(TextSearchPrefsSize);
    const char* search = reinterpret_cast<const char*>(&prefs[L::SearchString]);
    const char* replace =
        reinterpret_cast<const char*>(&prefs[L::ReplaceString]);
    return {std::string(search, strnlen(search, TextFieldSize)),
            std::string(replace, strnlen(replace, TextFieldSize))};
  }
  // Keys alone: the search string where the dialog opens, Tab and Space
  // check "&Case sensitive", Alt+R goes to the replace edit, the
  // replacement, Enter for "GO!", Escape from the results. Fifty bytes each
  // reach the edits and the stored record whole; `more`, typed after each,
  // is refused.
  void typeFiftyBytes(const std::string& search, const std::string& replace,
                      const std::string& more = "") {
    ASSERT_EQ(search.size(), TextMaxChars);
    ASSERT_EQ(replace.size(), TextMaxChars);
    std::pair<std::string, std::string> shown;
    UINT caseBox = 0;
    run({typeText(search + more), press(VK_TAB), press(VK_SPACE), pressAlt('r'),
         typeText(replace + more), look([&](HWND d) {
           shown = {controlText(d, IDC_OPTIONS_SEARCH_EDIT),
                    controlText(d, IDC_OPTIONS_REPLACE_EDIT)};
           caseBox = IsDlgButtonChecked(d, IDC_OPTIONS_CASE_BOX);
         }),
         press(VK_RETURN)},
        {press(VK_ESCAPE)});
    EXPECT_EQ(caseBox, 1u);
    EXPECT_EQ(shown, std::make_pair(search, replace));
    EXPECT_EQ(storedStrings(), std::make_pair(search, replace));
  }
  // The user's text is drawn in `face` at the templates' 8 points: the two
  // edits in the templates' weight, and the results' line in bold and in
  // `lineCharset`.
  void expectUserTextFonts(const char* face, BYTE lineCharset) {
    LOGFONTA dialog{}, search{}, replace{}, line{};
    run({typeText(IDC_OPTIONS_SEARCH_EDIT, "a"), look([&](HWND d) {
           GetObjectA(
               reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0)),
               sizeof dialog, &dialog);
         }),
         readFont(IDC_OPTIONS_SEARCH_EDIT, &search),
         readFont(IDC_OPTIONS_REPLACE_EDIT, &replace), click(IDC_OPTIONS_GO)},
        {readFont(IDC_RESULTS_LINE_3, &line), press(VK_ESCAPE)});
    HDC screen = GetDC(nullptr);
    const LONG height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    for (const LOGFONTA* font : {&search, &replace, &line}) {
      EXPECT_STREQ(font->lfFaceName, face);
      EXPECT_EQ(font->lfHeight, height);
    }
    EXPECT_EQ(search.lfWeight, dialog.lfWeight);
    EXPECT_EQ(replace.lfWeight, dialog.lfWeight);
    // The edits keep the template's font where its face is the one, and
    // otherwise get the code page's character set too.
    const BYTE editCharset =
        strcmp(face, dialog.lfFaceName) == 0 ? dialog.lfCharSet : lineCharset;
    EXPECT_EQ(search.lfCharSet, editCharset);
    EXPECT_EQ(replace.lfCharSet, editCharset);
    EXPECT_EQ(line.lfWeight, FW_BOLD);
    EXPECT_EQ(line.lfCharSet, lineCharset);
    // Upright, plain, of default precision and quality, a Swiss face.
    EXPECT_EQ(
        std::vector<int>({line.lfEscapement, line.lfOrientation, line.lfItalic,
                          line.lfUnderline, line.lfStrikeOut,
                          line.lfOutPrecision, line.lfClipPrecision,
                          line.lfQuality, line.lfPitchAndFamily}),
        std::vector<int>({0, 0, 0, 0, 0, 0, 0, 0, FF_SWISS}));
  }
};

}  // namespace

TEST_F(CodePageRun, FiftyTypedBytesOfAsciiReachTheEditsWhole) {
  typeFiftyBytes("Allegro ma non troppo, un poco maestoso, cantabile",
                 "Andante con moto e molto espressivo, sempre legato", "!!");
}

TEST_F(CodePageRun, UserTextInTheDialogFaceOnASingleByteSystem) {
  if (GetACP() == 932 || GetACP() == CP_UTF8) GTEST_SKIP();
  expectUserTextFonts("MS Sans Serif", ANSI_CHARSET);
}

class CodePageTest : public CodePageRun {
 protected:
  void SetUp() override {
    CodePageRun::SetUp();
    if (GetACP() != 932) {
      GTEST_SKIP() << "needs code page 932 (LANG=ja_JP.UTF-8), not "
                   << GetACP();
    }
    score.addLyrics(TagVerseLyrics, 1, Verse);
    score.addLyrics(TagVerseLyrics, 2, "^font(x)" Ka KA);
  }
  std::string verse(uint16_t number) {
    return score.recordText({TagVerseLyrics, number, 0, 0});
  }
};

TEST_F(CodePageTest, FindModeSeesOnlyWholeLetters) {
  std::vector<Lines> seen;
  LOGFONTA line{};
  run({setCheck(IDC_OPTIONS_LYRICS, 1), typeText(IDC_OPTIONS_SEARCH_EDIT, "a"),
       click(IDC_OPTIONS_GO)},
      {readLines(&seen), readFont(IDC_RESULTS_LINE_3, &line),
       click(IDC_RESULTS_NEXT), readLines(&seen), click(IDC_RESULTS_NEXT),
       readLines(&seen), click(IDC_RESULTS_OK)});
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], (Lines{"Match was found in", "verse lyrics #1", Verse,
                            "at position 3", "", ""}));
  EXPECT_EQ(seen[1][3], "at position 6") << "behind the caret of a katakana";
  EXPECT_EQ(seen[2][2], "2 instance(s) found");
  EXPECT_EQ(line.lfCharSet, SHIFTJIS_CHARSET);
}

TEST_F(CodePageTest, UserTextInTheCodePagesCharacterSet) {
  expectUserTextFonts("MS Sans Serif", SHIFTJIS_CHARSET);
}

TEST_F(CodePageTest, YesToAllChangesNoKatakana) {
  std::vector<Lines> seen;
  run({setCheck(IDC_OPTIONS_LYRICS, 1), typeText(IDC_OPTIONS_SEARCH_EDIT, "a"),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
       typeText(IDC_OPTIONS_REPLACE_EDIT, "b"), click(IDC_OPTIONS_GO)},
      {click(IDC_RESULTS_YES_TO_ALL), readLines(&seen), click(IDC_RESULTS_OK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0][2], "2 instance(s) found");
  EXPECT_EQ(seen[0][4], "2 instance(s) replaced");
  EXPECT_EQ(verse(1), KA "b" KCaret "b(b)" Ka);
  EXPECT_EQ(verse(2), "^font(x)" Ka KA);
}

TEST_F(CodePageTest, DoubleByteSearchStringMatchesOnlyItself) {
  std::vector<Lines> seen;
  run({setCheck(IDC_OPTIONS_LYRICS, 1), typeText(IDC_OPTIONS_SEARCH_EDIT, Ka),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
       typeText(IDC_OPTIONS_REPLACE_EDIT, "xy"), click(IDC_OPTIONS_GO)},
      {click(IDC_RESULTS_YES_TO_ALL), readLines(&seen), click(IDC_RESULTS_OK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0][4], "2 instance(s) replaced") << "not folded to " KA;
  EXPECT_EQ(verse(1), KA "a" KCaret "a(b)xy");
  EXPECT_EQ(verse(2), "^font(x)xy" KA);
}

TEST_F(CodePageTest, EveryEndingLeavesNothingBehind) {
  score = SimDocument(1, 1);
  expectEveryEndingLeavesNothing(hostWindow, score, Ka KCaret);
}

TEST_F(CodePageTest, FiftyTypedBytesOfKatakanaReachTheEditsWhole) {
  std::string katakana = KA;  // and 24 more, trail bytes 'A', 'a' and '^'
  for (int i = 0; i < 8; ++i) katakana += Ka KCaret KA;
  typeFiftyBytes(katakana, katakana);
}

// UTF-8: e acute and e grave; a Greek, a Japanese and a Hindi direction.
#define EACUTE "\xC3\xA9"
#define EGRAVE "\xC3\xA8"
const char Greek[] = "\xCE\xB1\xCF\x81\xCE\xB3\xCE\xAC dolce";         // arga
const char Japanese[] = "\xE3\x82\x86\xE3\x81\xA3\xE3\x81\x8F dolce";  // yukku
const char Hindi[] =
    "\xE0\xA4\xA7\xE0\xA5\x80\xE0\xA4\xAE\xE0\xA5\x87";             // dhime
const char Sweetly[] = "\xCE\xB3\xCE\xBB\xCF\x85\xCE\xBA\xCE\xAC";  // glyka

class Utf8CodePageTest : public CodePageRun {
 protected:
  void SetUp() override {
    CodePageRun::SetUp();
    if (GetACP() != CP_UTF8) {
      GTEST_SKIP() << "needs code page 65001 (LANG=hi_IN.UTF-8), not "
                   << GetACP();
    }
  }
  std::string expression(uint16_t number) {
    return score.recordText({TagTextExpression, number, 0, 0}, 12);
  }
};

// 49 letters and a two-byte one are 51 bytes: the search string and the
// replacement typed are cut to the 49 letters, never to half a letter.
TEST_F(Utf8CodePageTest, UserTextInALinkedFace) {
  expectUserTextFonts("MS Shell Dlg 2", DEFAULT_CHARSET);
}

TEST_F(Utf8CodePageTest, FiftyByteCutsKeepWholeCharacters) {
  const std::string qs(49, 'q');
  const std::string rs(49, 'r');
  score.addTextExpression(1, qs + EGRAVE "z");
  score.addTextExpression(2, "abc");
  std::vector<Lines> seen;
  run({typeText(IDC_OPTIONS_SEARCH_EDIT, qs + EACUTE),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
       typeText(IDC_OPTIONS_REPLACE_EDIT, "X"), click(IDC_OPTIONS_GO)},
      {click(IDC_RESULTS_YES_TO_ALL), readLines(&seen), click(IDC_RESULTS_OK)});
  EXPECT_EQ(storedStrings(), std::make_pair(qs, std::string("X")));
  run({typeText(IDC_OPTIONS_SEARCH_EDIT, "b"),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
       typeText(IDC_OPTIONS_REPLACE_EDIT, rs + EACUTE), click(IDC_OPTIONS_GO)},
      {click(IDC_RESULTS_YES_TO_ALL), readLines(&seen), click(IDC_RESULTS_OK)});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0][4], "1 instance(s) replaced");
  EXPECT_EQ(expression(1), "X" EGRAVE "z");
  EXPECT_EQ(expression(2), "a" + rs + "c");
  EXPECT_EQ(storedStrings(), std::make_pair(std::string("b"), rs));
}

TEST_F(Utf8CodePageTest, AHostCountingCharactersGivesUpTo151Bytes) {
  simHost().textLimitInCharacters = true;
  std::string ka, kha, shown;  // 50 letters of three bytes each
  for (int i = 0; i < 50; ++i) ka += "\xE0\xA4\x95", kha += "\xE0\xA4\x96";
  run({typeText(IDC_OPTIONS_SEARCH_EDIT, ka),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
       typeText(IDC_OPTIONS_REPLACE_EDIT, kha),
       look([&](HWND d) { shown = controlText(d, IDC_OPTIONS_REPLACE_EDIT); }),
       click(IDC_OPTIONS_GO)},
      {press(VK_ESCAPE)});
  ASSERT_EQ(shown, kha) << "the edit holds 50 characters";
  EXPECT_EQ(storedStrings(),
            std::make_pair(ka.substr(0, 48), kha.substr(0, 48)));
}

TEST_F(Utf8CodePageTest, YesToAllOverGreekJapaneseAndHindiTexts) {
  score.addTextExpression(1, Greek);
  score.addTextExpression(2, Japanese);
  score.addTextExpression(3, Hindi);
  std::vector<Lines> seen;
  LOGFONTA search{}, replace{}, line{};
  std::wstring undrawn;
  run({typeText(IDC_OPTIONS_SEARCH_EDIT, "DOLCE"),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
       typeText(IDC_OPTIONS_REPLACE_EDIT, Sweetly),
       readFont(IDC_OPTIONS_SEARCH_EDIT, &search),
       readFont(IDC_OPTIONS_REPLACE_EDIT, &replace), click(IDC_OPTIONS_GO)},
      {readLines(&seen), readFont(IDC_RESULTS_LINE_3, &line),
       findUndrawn(IDC_RESULTS_LINE_3, L"\x03B1\x0927\x3086", &undrawn),
       click(IDC_RESULTS_YES_TO_ALL), readLines(&seen), click(IDC_RESULTS_OK)});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], (Lines{"Match was found in", "text expression entry #1",
                            Greek, "at position 10", "", "Replace?"}));
  // A face that Windows links other scripts' fonts to, in every control
  // that shows the user's text: alpha, dha and yu are drawn.
  for (const LOGFONTA& font : {search, replace, line}) {
    EXPECT_STREQ(font.lfFaceName, "MS Shell Dlg 2");
  }
  EXPECT_EQ(line.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(line.lfWeight, FW_BOLD);
  EXPECT_EQ(undrawn, L"");
  EXPECT_EQ(seen[1][2], "2 instance(s) found");
  EXPECT_EQ(expression(1), std::string(Greek, 9) + Sweetly);
  EXPECT_EQ(expression(2), std::string(Japanese, 10) + Sweetly);
  EXPECT_EQ(expression(3), Hindi);
}

TEST_F(Utf8CodePageTest, EveryEndingLeavesNothingBehind) {
  score = SimDocument(1, 1);
  expectEveryEndingLeavesNothing(hostWindow, score, Sweetly);
}

TEST_F(Utf8CodePageTest, FiftyTypedBytesOfGreekReachTheEditsWhole) {
  // Alpha to omega with the final sigma: 25 letters of two bytes.
  const std::string greek =
      "\xCE\xB1\xCE\xB2\xCE\xB3\xCE\xB4\xCE\xB5\xCE\xB6\xCE\xB7\xCE\xB8"
      "\xCE\xB9\xCE\xBA\xCE\xBB\xCE\xBC\xCE\xBD\xCE\xBE\xCE\xBF\xCF\x80"
      "\xCF\x81\xCF\x82\xCF\x83\xCF\x84\xCF\x85\xCF\x86\xCF\x87\xCF\x88"
      "\xCF\x89";
  typeFiftyBytes(greek, greek);
}
