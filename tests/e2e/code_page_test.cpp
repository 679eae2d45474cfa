// The text command on a Japanese system (ANSI code page 932), where a
// katakana's trail byte can look like an ASCII letter or a caret: such a
// byte is never matched, folded, replaced or read as a tag, and the results
// dialog draws the text in a font of the code page's character set. Run
// with LANG and LC_ALL of ja_JP.UTF-8.
// And on a system set to UTF-8 (65001), where a character is one to four
// bytes: strings of more than 50 bytes, typed in fewer characters, are
// refused, and Greek and Japanese texts are searched, replaced and shown
// whole. Run with LANG and LC_ALL of hi_IN.UTF-8.
// And on Cyrillic (1251) and Greek (1253) systems, whose words are shown
// in the system's own character set, not read as Western letters. Run
// with LANG and LC_ALL of ru_RU.UTF-8 and el_GR.UTF-8.
// Under any other code page the tests say so and skip.
// On each, fifty bytes of letters typed with the keyboard alone reach both
// edits and the stored record whole: ASCII on any code page, katakana under
// 932, Greek under UTF-8; and on any, a string longer than its field, as a
// program puts it into an edit, is refused.
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "host/host_tags.h"
#include "plugin/ansi_code_page.h"
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
  // No steps for the results: they are not to open.
  void run(std::vector<UserStep> options, std::vector<UserStep> results) {
    scriptedUser().expectDialog(Options, std::move(options));
    if (!results.empty()) {
      scriptedUser().expectDialog(Results, std::move(results));
    }
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
  // Strings put into both edits, typed or as a program sets them, then
  // "GO!": taken whole, or refused with `refusal`'s box for the first edit
  // whose text is longer than its field's 50 bytes, that edit's text then
  // selected, the dialog open and nothing stored.
  struct Filled {
    std::string search, replace;
    bool typed;
    const char* refusal;  // null: taken
    int edit;             // refused
  };
  void expectFilled(const std::vector<Filled>& rows) {
    for (const Filled& row : rows) {
      SCOPED_TRACE(row.search + " / " + row.replace);
      RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QZPlugins");
      callChecked(plugin().init, "FinaleExtensionInit", {0, 0});
      scriptedUser().boxes.clear();
      scriptedUser().answerMessageBox(IDOK);
      auto fill = [&row](int id, const std::string& text) {
        return row.typed ? typeText(id, text) : look([id, text](HWND d) {
          SetDlgItemTextA(d, id, text.c_str());
        });
      };
      HWND options = nullptr;
      int focus = 0;
      DWORD start = 1, end = 0;
      std::vector<UserStep> steps = {
          fill(IDC_OPTIONS_SEARCH_EDIT, row.search),
          setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
          fill(IDC_OPTIONS_REPLACE_EDIT, row.replace), click(IDC_OPTIONS_GO)};
      if (row.refusal != nullptr) {
        steps.push_back(look([&](HWND d) {
          options = d;
          focus = GetDlgCtrlID(GetFocus());
          SendDlgItemMessageW(d, row.edit, EM_GETSEL,
                              reinterpret_cast<WPARAM>(&start),
                              reinterpret_cast<LPARAM>(&end));
          end -= GetWindowTextLengthW(GetDlgItem(d, row.edit));
        }));
        steps.push_back(click(IDC_OPTIONS_CANCEL));
      }
      run(steps, row.refusal != nullptr ? std::vector<UserStep>()
                                        : std::vector{press(VK_ESCAPE)});
      const auto& boxes = scriptedUser().boxes;
      if (row.refusal == nullptr) {
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(storedStrings(), std::make_pair(row.search, row.replace));
        continue;
      }
      ASSERT_EQ(boxes.size(), 1u);
      EXPECT_EQ(boxes[0].title, row.refusal);
      EXPECT_EQ(boxes[0].owner, options);
      EXPECT_EQ(boxes[0].icon, BoxIcon::Error);
      EXPECT_EQ(focus, row.edit);
      EXPECT_EQ(std::make_pair(start, end), std::make_pair(0ul, 0ul));
      EXPECT_EQ(storedStrings(), std::make_pair(std::string(), std::string()));
    }
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
    // The edits keep the template's font where its face and the ANSI set
    // are the ones, and otherwise get the code page's character set too.
    const BYTE editCharset =
        strcmp(face, dialog.lfFaceName) == 0 && lineCharset == ANSI_CHARSET
            ? dialog.lfCharSet
            : lineCharset;
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

TEST_F(CodePageRun, StringsLongerThanTheirFieldsAreRefused) {
  const std::string fifty(50, 'f'), more = fifty + "+";
  expectFilled(
      {{fifty, fifty, false, nullptr, 0},
       {more, "r", false, "Search string too long", IDC_OPTIONS_SEARCH_EDIT},
       {"s", more + more, false, "Replace string too long",
        IDC_OPTIONS_REPLACE_EDIT},
       {"", more, false, "Replace string too long", IDC_OPTIONS_REPLACE_EDIT}});
}

TEST_F(CodePageRun, UserTextInTheDialogFaceOnASingleByteSystem) {
  if (GetACP() != 1252) GTEST_SKIP();
  expectUserTextFonts("MS Sans Serif", ANSI_CHARSET);
}

TEST(FontCharsetTest, EachCodePageTakesItsOwnCharacterSet) {
  const std::pair<uint32_t, BYTE> rows[] = {
      {1250, EASTEUROPE_CHARSET}, {1251, RUSSIAN_CHARSET},
      {1252, ANSI_CHARSET},       {1253, GREEK_CHARSET},
      {1254, TURKISH_CHARSET},    {1255, HEBREW_CHARSET},
      {1256, ARABIC_CHARSET},     {1257, BALTIC_CHARSET},
      {1258, VIETNAMESE_CHARSET}, {874, THAI_CHARSET},
      {932, SHIFTJIS_CHARSET},    {936, GB2312_CHARSET},
      {949, HANGUL_CHARSET},      {950, CHINESEBIG5_CHARSET},
      {1361, JOHAB_CHARSET},      {65001, DEFAULT_CHARSET},
      {437, DEFAULT_CHARSET}};  // a code page Windows gives no set
  for (const auto& [codePage, charset] : rows) {
    const CharacterForm form = charactersOfCodePage(codePage, nullptr, 0).form;
    EXPECT_EQ(fontCharsetOf(form, codePage), charset) << codePage;
  }
}

// A Russian and a Greek verse, in their code pages' bytes: "Privet mir" and
// "Geia sou kosme", whose last word is replaced by "svet" and "file".
struct SingleByteSystem {
  UINT codePage;
  BYTE charset;
  const char *text, *search, *replacement, *replaced;
};
const SingleByteSystem SingleByteSystems[] = {
    {1251, RUSSIAN_CHARSET, "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0",
     "\xEC\xE8\xF0", "\xF1\xE2\xE5\xF2",
     "\xCF\xF0\xE8\xE2\xE5\xF2 \xF1\xE2\xE5\xF2"},
    {1253, GREEK_CHARSET, "\xC3\xE5\xE9\xE1 \xF3\xEF\xF5 \xEA\xFC\xF3\xEC\xE5",
     "\xEA\xFC\xF3\xEC\xE5", "\xF6\xDF\xEB\xE5",
     "\xC3\xE5\xE9\xE1 \xF3\xEF\xF5 \xF6\xDF\xEB\xE5"}};

class SingleByteCodePageTest : public CodePageRun {
 protected:
  void SetUp() override {
    CodePageRun::SetUp();
    for (const SingleByteSystem& s : SingleByteSystems) {
      if (s.codePage == GetACP()) system = &s;
    }
    if (system == nullptr) {
      GTEST_SKIP() << "needs code page 1251 or 1253, not " << GetACP();
    }
  }
  const SingleByteSystem* system = nullptr;
};

TEST_F(SingleByteCodePageTest, UserTextInTheSystemsCharacterSet) {
  expectUserTextFonts("MS Sans Serif", system->charset);
}

TEST_F(SingleByteCodePageTest, YesToAllOverTheSystemsWords) {
  score.addTextExpression(1, system->text);
  std::vector<Lines> seen;
  LOGFONTA line{};
  run({typeText(IDC_OPTIONS_SEARCH_EDIT, system->search),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
       typeText(IDC_OPTIONS_REPLACE_EDIT, system->replacement),
       click(IDC_OPTIONS_GO)},
      {readLines(&seen), readFont(IDC_RESULTS_LINE_3, &line),
       click(IDC_RESULTS_YES_TO_ALL), readLines(&seen), click(IDC_RESULTS_OK)});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0][2], system->text);
  EXPECT_EQ(line.lfCharSet, system->charset);
  EXPECT_EQ(seen[1][4], "1 instance(s) replaced");
  EXPECT_EQ(score.recordText({TagTextExpression, 1, 0, 0}, 12),
            system->replaced);
}

// UTF-8: e acute and e grave; a Greek, a Japanese and a Hindi direction.
#define EACUTE "\xC3\xA9"
#define EGRAVE "\xC3\xA8"
#define ALPHA "\xCE\xB1"
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

TEST_F(Utf8CodePageTest, UserTextInALinkedFace) {
  expectUserTextFonts("MS Shell Dlg 2", DEFAULT_CHARSET);
}

// Characters of two and three bytes, typed (an edit counts its limit in
// characters) or put in by a program, past 50 bytes; and 50 bytes, taken
// whole, also from a host that counts its limit in characters.
TEST_F(Utf8CodePageTest, StringsLongerThanTheirFieldsAreRefused) {
  simHost().textLimitInCharacters = true;
  std::string ka, greek;  // 17 letters of three bytes, 26 of two
  for (int i = 0; i < 17; ++i) ka += "\xE0\xA4\x95";
  for (int i = 0; i < 26; ++i) greek += ALPHA;
  const std::string fifty = std::string(48, 'q') + EACUTE;
  expectFilled(
      {{fifty, fifty.substr(2) + "rr", false, nullptr, 0},
       {ka.substr(3), greek.substr(2), true, nullptr, 0},
       {fifty + "q", "r", false, "Search string too long",
        IDC_OPTIONS_SEARCH_EDIT},
       {greek, "r", true, "Search string too long", IDC_OPTIONS_SEARCH_EDIT},
       {"s", ka, true, "Replace string too long", IDC_OPTIONS_REPLACE_EDIT}});
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
