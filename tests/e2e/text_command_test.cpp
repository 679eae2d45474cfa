// The text command as a person uses it: the options dialog with its checks,
// then the results dialog stepping through matches, replacing one by one or
// all at once, and the document it leaves.
#include <algorithm>
#include <string>
#include <vector>

#include "host/host_records.h"
#include "host/host_tags.h"
#include "simhost/sim_document.h"
#include "tests/e2e/e2e_support.h"
#include "textsearch/text_prefs.h"

namespace {

constexpr uint32_t Options = IDD_TEXT_OPTIONS;
constexpr uint32_t Results = IDD_TEXT_RESULTS;

using Lines = std::vector<std::string>;

std::vector<int> visibleButtons(HWND d) {
  std::vector<int> ids;
  for (int id : {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES_TO_ALL,
                 IDC_RESULTS_NEXT, IDC_RESULTS_OK, IDC_RESULTS_CANCEL}) {
    if (isShown(d, id)) ids.push_back(id);
  }
  return ids;
}

// The options a person gives: search string, replace string or none.
std::vector<UserStep> fillOptions(const std::string& search,
                                  const char* replace) {
  std::vector<UserStep> steps = {typeText(IDC_OPTIONS_SEARCH_EDIT, search)};
  if (replace != nullptr) {
    steps.push_back(setCheck(IDC_OPTIONS_REPLACE_BOX, 1));
    steps.push_back(typeText(IDC_OPTIONS_REPLACE_EDIT, replace));
  }
  steps.push_back(click(IDC_OPTIONS_GO));
  return steps;
}

}  // namespace

class TextCommandTest : public CommandTest {
 protected:
  uint32_t invoke() {
    return low16(callChecked(plugin().invoke, "FinaleExtensionInvoke",
                             {argument(hostWindow), 1, 0, 0}));
  }
  // Runs the command: the options steps, then the results steps.
  uint32_t run(std::vector<UserStep> options, std::vector<UserStep> results) {
    scriptedUser().expectDialog(Options, std::move(options));
    if (!results.empty()) {
      scriptedUser().expectDialog(Results, std::move(results));
    }
    return invoke();
  }
};

TEST_F(TextCommandTest, OptionsOpenWithTheDefaults) {
  struct {
    std::string search, replace;
    bool replaceEnabled;
    int checks[10];
  } seen{};
  run({look([&](HWND d) {
         seen.search = controlText(d, IDC_OPTIONS_SEARCH_EDIT);
         seen.replace = controlText(d, IDC_OPTIONS_REPLACE_EDIT);
         seen.replaceEnabled =
             IsWindowEnabled(GetDlgItem(d, IDC_OPTIONS_REPLACE_EDIT));
         int i = 0;
         for (int id :
              {IDC_OPTIONS_CASE_BOX, IDC_OPTIONS_TAGS_BOX,
               IDC_OPTIONS_PAGE_TEXT_BLOCKS, IDC_OPTIONS_MEASURE_TEXT_BLOCKS,
               IDC_OPTIONS_TEXT_EXPRESSIONS, IDC_OPTIONS_STAFF_NAMES,
               IDC_OPTIONS_GROUP_NAMES, IDC_OPTIONS_TEXT_REPEATS,
               IDC_OPTIONS_ENDING_REPEATS, IDC_OPTIONS_LYRICS}) {
           seen.checks[i++] = static_cast<int>(IsDlgButtonChecked(d, id));
         }
       }),
       click(IDC_OPTIONS_CANCEL)},
      {});
  EXPECT_EQ(seen.search, "");
  EXPECT_EQ(seen.replace, "");
  EXPECT_FALSE(seen.replaceEnabled);
  const int expected[10] = {0, 0, 1, 1, 1, 1, 1, 1, 0, 0};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(seen.checks[i], expected[i]) << i;
  EXPECT_EQ(scriptedUser().dialogsRun, std::vector<uint32_t>{Options});
  // The boxes are set through the host in this order, and no others.
  std::vector<uint32_t> set;
  for (const ServiceCall& call : simHost().calls) {
    if (call.ordinal == 58) set.push_back(call.args[1]);
  }
  EXPECT_EQ(set, (std::vector<uint32_t>{
                     IDC_OPTIONS_REPLACE_BOX, IDC_OPTIONS_CASE_BOX,
                     IDC_OPTIONS_TAGS_BOX, IDC_OPTIONS_PAGE_TEXT_BLOCKS,
                     IDC_OPTIONS_MEASURE_TEXT_BLOCKS,
                     IDC_OPTIONS_TEXT_EXPRESSIONS, IDC_OPTIONS_STAFF_NAMES,
                     IDC_OPTIONS_GROUP_NAMES, IDC_OPTIONS_TEXT_REPEATS,
                     IDC_OPTIONS_ENDING_REPEATS, IDC_OPTIONS_LYRICS}));
}

TEST_F(TextCommandTest, OptionsAreValidatedInOrder) {
  struct Case {
    const char* name;
    std::vector<UserStep> steps;
    std::vector<int> answers;
    std::vector<std::string> titles;  // boxes shown, in order
    bool accepted;
  };
  std::vector<UserStep> noElements;
  for (int id = IDC_OPTIONS_PAGE_TEXT_BLOCKS; id <= IDC_OPTIONS_LYRICS; ++id)
    noElements.push_back(setCheck(id, 0));
  noElements.push_back(click(IDC_OPTIONS_GO));
  const Case cases[] = {
      {"no elements, empty string",
       noElements,
       {IDOK},
       {"No search elements"},
       false},
      {"empty string",
       {click(IDC_OPTIONS_GO)},
       {IDOK},
       {"Empty search string error"},
       false},
      {"lyrics, replace, lengths differ, No",
       {setCheck(IDC_OPTIONS_LYRICS, 1), setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
        typeText(IDC_OPTIONS_SEARCH_EDIT, "ab"),
        typeText(IDC_OPTIONS_REPLACE_EDIT, "abc"), click(IDC_OPTIONS_GO)},
       {IDNO},
       {"Lyrics Replacement Warning"},
       false},
      {"lyrics, replace, lengths differ, Yes",
       {setCheck(IDC_OPTIONS_LYRICS, 1), setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
        typeText(IDC_OPTIONS_SEARCH_EDIT, "ab"),
        typeText(IDC_OPTIONS_REPLACE_EDIT, "abc"), click(IDC_OPTIONS_GO)},
       {IDYES},
       {"Lyrics Replacement Warning"},
       true},
      {"lyrics without replace",
       {setCheck(IDC_OPTIONS_LYRICS, 1), setCheck(IDC_OPTIONS_REPLACE_BOX, 0),
        typeText(IDC_OPTIONS_SEARCH_EDIT, "ab"), click(IDC_OPTIONS_GO)},
       {},
       {},
       true},
      {"replace without lyrics",
       {setCheck(IDC_OPTIONS_LYRICS, 0), setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
        typeText(IDC_OPTIONS_SEARCH_EDIT, "ab"),
        typeText(IDC_OPTIONS_REPLACE_EDIT, "abc"), click(IDC_OPTIONS_GO)},
       {},
       {},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    scriptedUser().reset();
    for (int answer : c.answers) scriptedUser().answerMessageBox(answer);
    std::vector<UserStep> steps = c.steps;
    if (!c.accepted) steps.push_back(click(IDC_OPTIONS_CANCEL));
    run(steps, c.accepted ? std::vector<UserStep>{click(IDC_RESULTS_OK)}
                          : std::vector<UserStep>{});
    std::vector<std::string> titles;
    for (const MessageBoxSeen& box : scriptedUser().boxes) {
      titles.push_back(box.title);
    }
    EXPECT_EQ(titles, c.titles);
    EXPECT_EQ(scriptedUser().dialogsRun.size(), c.accepted ? 2u : 1u);
  }
}

TEST_F(TextCommandTest, ValidationMessagesAndFocus) {
  int focusAfterElements = 0, focusAfterEmpty = 0;
  DWORD selectionEnd = 0;
  scriptedUser().answerMessageBox(IDOK);
  scriptedUser().answerMessageBox(IDOK);
  std::vector<UserStep> steps;
  for (int id = IDC_OPTIONS_PAGE_TEXT_BLOCKS; id <= IDC_OPTIONS_TEXT_REPEATS;
       ++id)
    steps.push_back(setCheck(id, 0));
  steps.push_back(click(IDC_OPTIONS_GO));
  steps.push_back(
      look([&](HWND) { focusAfterElements = GetDlgCtrlID(GetFocus()); }));
  steps.push_back(setCheck(IDC_OPTIONS_PAGE_TEXT_BLOCKS, 1));
  steps.push_back(click(IDC_OPTIONS_GO));
  steps.push_back(look([&](HWND d) {
    focusAfterEmpty = GetDlgCtrlID(GetFocus());
    DWORD start = 0;
    SendDlgItemMessageA(d, IDC_OPTIONS_SEARCH_EDIT, EM_GETSEL,
                        reinterpret_cast<WPARAM>(&start),
                        reinterpret_cast<LPARAM>(&selectionEnd));
  }));
  steps.push_back(click(IDC_OPTIONS_CANCEL));
  run(steps, {});
  ASSERT_EQ(scriptedUser().boxes.size(), 2u);
  EXPECT_EQ(scriptedUser().boxes[0].text,
            "At least one search element must be selected.");
  EXPECT_EQ(scriptedUser().boxes[0].icon, BoxIcon::Error);
  EXPECT_EQ(scriptedUser().boxes[1].text,
            "You must enter a search string before starting a search.");
  EXPECT_EQ(scriptedUser().boxes[1].icon, BoxIcon::Error);
  EXPECT_EQ(focusAfterElements, IDC_OPTIONS_GO)
      << "the focus stays on the button clicked";
  EXPECT_EQ(focusAfterEmpty, IDC_OPTIONS_SEARCH_EDIT);
}

TEST_F(TextCommandTest, ReplaceBoxEnablesAndFocusesTheReplaceEdit) {
  bool enabledOn = false, enabledOff = true;
  int focusOn = 0, focusOff = 0;
  DWORD start = 1, end = 0;
  run({typeText(IDC_OPTIONS_SEARCH_EDIT, "x"), look([](HWND d) {
         SetDlgItemTextA(d, IDC_OPTIONS_REPLACE_EDIT, "old");
         SetFocus(GetDlgItem(d, IDC_OPTIONS_SEARCH_EDIT));
       }),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1), look([&](HWND d) {
         enabledOn = IsWindowEnabled(GetDlgItem(d, IDC_OPTIONS_REPLACE_EDIT));
         focusOn = GetDlgCtrlID(GetFocus());
         SendDlgItemMessageA(d, IDC_OPTIONS_REPLACE_EDIT, EM_GETSEL,
                             reinterpret_cast<WPARAM>(&start),
                             reinterpret_cast<LPARAM>(&end));
       }),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 0), look([&](HWND d) {
         enabledOff = IsWindowEnabled(GetDlgItem(d, IDC_OPTIONS_REPLACE_EDIT));
         focusOff = GetDlgCtrlID(GetFocus());
       }),
       click(IDC_OPTIONS_CANCEL)},
      {});
  EXPECT_TRUE(enabledOn);
  EXPECT_EQ(focusOn, IDC_OPTIONS_REPLACE_EDIT);
  EXPECT_EQ(start, 0u);
  EXPECT_EQ(end, 3u);
  EXPECT_FALSE(enabledOff);
  EXPECT_EQ(focusOff, IDC_OPTIONS_REPLACE_BOX)
      << "unchecking does not move the focus";
}

TEST_F(TextCommandTest, FindModeStepsThroughEveryMatch) {
  score.addPageText(0, 0, "Allegro");
  score.addTextExpression(1, "allegro ma non troppo");
  score.addStaff(1, "Flute", "Fl. allegro");
  std::vector<Lines> seen;
  std::vector<std::vector<int>> buttons;
  auto buttonsNow = look([&](HWND d) { buttons.push_back(visibleButtons(d)); });
  run(fillOptions("allegro", nullptr),
      {readLines(&seen), buttonsNow, click(IDC_RESULTS_NEXT), readLines(&seen),
       click(IDC_RESULTS_NEXT), readLines(&seen), click(IDC_RESULTS_NEXT),
       readLines(&seen), buttonsNow, click(IDC_RESULTS_OK)});
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0],
            (Lines{"Match was found in", "page text block #1 [All pages]",
                   "Allegro", "at position 1", "", ""}));
  EXPECT_EQ(seen[1][1], "text expression entry #1");
  EXPECT_EQ(seen[2][1], "abbreviated staff name #1");
  EXPECT_EQ(seen[2][3], "at position 5");
  EXPECT_EQ(seen[3],
            (Lines{"Search result:", "", "3 instance(s) found", "", "", ""}));
  EXPECT_EQ(buttons[0],
            (std::vector<int>{IDC_RESULTS_NEXT, IDC_RESULTS_CANCEL}));
  EXPECT_EQ(buttons[1], std::vector<int>{IDC_RESULTS_OK});
}

TEST_F(TextCommandTest, ReplaceNoYesNoReplacesOnlyTheSecond) {
  score.addTextExpression(1, "pp");
  score.addTextExpression(2, "pp dolce");
  score.addTextExpression(3, "sempre pp");
  std::vector<Lines> seen;
  std::vector<int> buttons;
  run(fillOptions("pp", "p"),
      {readLines(&seen), look([&](HWND d) { buttons = visibleButtons(d); }),
       click(IDC_RESULTS_NO), click(IDC_RESULTS_YES), click(IDC_RESULTS_NO),
       readLines(&seen), click(IDC_RESULTS_OK)});
  EXPECT_EQ(seen[0][5], "Replace?");
  EXPECT_EQ(buttons,
            (std::vector<int>{IDC_RESULTS_YES, IDC_RESULTS_NO,
                              IDC_RESULTS_YES_TO_ALL, IDC_RESULTS_CANCEL}));
  EXPECT_EQ(seen[1][2], "3 instance(s) found");
  EXPECT_EQ(seen[1][4], "1 instance(s) replaced");
  const RecordKey second{TagTextExpression, 2, 0, 0};
  EXPECT_EQ(score.recordText(second, 12), "p dolce");
  EXPECT_EQ(score.record(second)->size(), 7u + 15u) << "header, text, 3 bytes";
  EXPECT_EQ(score.recordText({TagTextExpression, 1, 0, 0}, 12), "pp");
  EXPECT_EQ(score.recordText({TagTextExpression, 3, 0, 0}, 12), "sempre pp");
}

TEST_F(TextCommandTest, AfterYesThenNoTheSearchGoesOnBehindTheMatch) {
  const struct {
    const char* text;
    const char* replace;
    std::vector<int> answers;
    const char* result;
    const char* found;
  } cases[] = {
      {"xxxx",
       "yy",
       {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES, IDC_RESULTS_NO},
       "yyxyyx",
       "4 instance(s) found"},
      {"xx", "", {IDC_RESULTS_YES, IDC_RESULTS_NO}, "x", "2 instance(s) found"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.replace);
    score = SimDocument();
    score.addTextExpression(1, c.text);
    std::vector<Lines> seen;
    std::vector<UserStep> steps;
    for (int answer : c.answers) steps.push_back(click(answer));
    steps.push_back(readLines(&seen));
    steps.push_back(click(IDC_RESULTS_OK));
    run(fillOptions("x", c.replace), steps);
    EXPECT_EQ(score.recordText({TagTextExpression, 1, 0, 0}, 12), c.result);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0][2], c.found);
  }
}

TEST_F(TextCommandTest, CaseAndTagBoxesCountEachForItself) {
  // "font" in a tag, "Font" and "font" outside it.
  score.addPageText(0, 0, "^font(x)Font font");
  const struct {
    int caseSensitive, searchTags;
    const char* found;
  } cases[] = {{1, 0, "1 instance(s) found"}, {0, 1, "3 instance(s) found"}};
  const UserStep toTheSummary = look([](HWND d) {
    for (int i = 0; i < 5 && isShown(d, IDC_RESULTS_NEXT); ++i) {
      SendDlgItemMessageA(d, IDC_RESULTS_NEXT, BM_CLICK, 0, 0);
    }
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caseSensitive);
    std::vector<Lines> seen;
    std::vector<UserStep> options = fillOptions("font", nullptr);
    options.insert(options.begin(),
                   {setCheck(IDC_OPTIONS_CASE_BOX, c.caseSensitive),
                    setCheck(IDC_OPTIONS_TAGS_BOX, c.searchTags)});
    run(options, {toTheSummary, readLines(&seen), click(IDC_RESULTS_OK)});
    // Reopened, the boxes show what was chosen.
    run({click(IDC_OPTIONS_GO)},
        {toTheSummary, readLines(&seen), click(IDC_RESULTS_OK)});
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0][2], c.found);
    EXPECT_EQ(seen[1][2], c.found);
  }
}

TEST_F(TextCommandTest, YesToAllReplacesEverythingAndHidesTheQuestion) {
  score.addPageText(1, 0, "Fine");
  score.addStaff(1, "Fine Horn", "Fine");
  score.addTextRepeat(1, "D.C. al Fine");
  score.addLyrics(TagVerseLyrics, 3, "Fine fine");
  std::vector<Lines> seen;
  bool questionShown = true;
  // What a host that pumps messages while it stores a record lets a person
  // press during the replacements: nothing.
  HWND results = nullptr;
  std::vector<std::vector<int>> pressable;
  simHost().duringWrite = [&] { pressable.push_back(visibleButtons(results)); };
  scriptedUser().expectDialog(
      Options,
      {setCheck(IDC_OPTIONS_LYRICS, 1),
       typeText(IDC_OPTIONS_SEARCH_EDIT, "Fine"),
       setCheck(IDC_OPTIONS_REPLACE_BOX, 1),
       typeText(IDC_OPTIONS_REPLACE_EDIT, "Coda"), click(IDC_OPTIONS_GO)});
  scriptedUser().expectDialog(
      Results,
      {look([&](HWND d) { results = d; }), click(IDC_RESULTS_YES_TO_ALL),
       readLines(&seen),
       look([&](HWND d) { questionShown = isShown(d, IDC_RESULTS_LINE_6); }),
       click(IDC_RESULTS_OK)});
  invoke();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0][2], "6 instance(s) found");
  EXPECT_EQ(seen[0][4], "6 instance(s) replaced");
  EXPECT_FALSE(questionShown);
  EXPECT_EQ(pressable, std::vector<std::vector<int>>(6));
  EXPECT_EQ(score.textBlock(1), "Coda");
  EXPECT_EQ(score.textBlock(2), "Coda Horn");
  EXPECT_EQ(score.textBlock(3), "Coda");
  EXPECT_EQ(score.recordText({TagTextRepeatText, 1, 0, 0}), "D.C. al Coda");
  EXPECT_EQ(score.recordText({TagVerseLyrics, 3, 0, 0}), "Coda Coda")
      << "case-insensitive search; the replacement is inserted as typed";
}

TEST_F(TextCommandTest, SummaryCountsPast16Bits) {
  // 32,768 one-letter matches, one past 16 bits, replaced by Yes to All.
  // Every match is shown on its way (about 0.4 ms each), so no more.
  score.addLyrics(TagVerseLyrics, 1, std::string(16384, 'a'));
  score.addLyrics(TagVerseLyrics, 2, std::string(16384, 'a'));
  std::vector<UserStep> options = fillOptions("a", "b");
  options.insert(options.begin(), setCheck(IDC_OPTIONS_LYRICS, 1));
  std::vector<Lines> seen;
  run(options,
      {click(IDC_RESULTS_YES_TO_ALL), readLines(&seen), click(IDC_RESULTS_OK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0][2], "32768 instance(s) found");
  EXPECT_EQ(seen[0][4], "32768 instance(s) replaced");
  const std::string lyrics = score.recordText({TagVerseLyrics, 2, 0, 0});
  EXPECT_EQ(std::count(lyrics.begin(), lyrics.end(), 'b'), 16384);
}

TEST_F(TextCommandTest, CancelKeepsAnEarlierReplacement) {
  score.addTextExpression(1, "rit.");
  score.addTextExpression(2, "rit.");
  run(fillOptions("rit.", "rall."),
      {click(IDC_RESULTS_YES), click(IDC_RESULTS_CANCEL)});
  EXPECT_EQ(score.recordText({TagTextExpression, 1, 0, 0}, 12), "rall.");
  EXPECT_EQ(score.recordText({TagTextExpression, 2, 0, 0}, 12), "rit.");
}

TEST_F(TextCommandTest, EveryKindReportsItsLocation) {
  score.addMeasureRecords(8);
  score.addStaffSystems(2);
  score.addPageText(2, 0, "x page");
  score.addMeasureText(1, 3, 0, "no");
  score.addMeasureText(1, 3, 1, "x measure");
  score.addTextExpression(0, "x expression");
  score.addStaff(0, "x staff", "none");
  score.addGroup(0, 1, "none", "none");
  score.addGroup(0, 2, "x group", "none");
  score.addGroup(2, 1, "none", "x group");
  score.addTextRepeat(1, "x repeat");
  score.addEndingRepeat(7, "x ending");
  score.addLyrics(TagVerseLyrics, 1, "x verse");
  score.addLyrics(TagChorusLyrics, LastLyricNumber, "x chorus");
  score.addLyrics(TagSectionLyrics, 12, "x section");
  std::vector<Lines> seen;
  std::vector<UserStep> steps;
  for (int i = 0; i < 11; ++i) {
    steps.push_back(readLines(&seen));
    steps.push_back(click(IDC_RESULTS_NEXT));
  }
  steps.push_back(readLines(&seen));
  steps.push_back(click(IDC_RESULTS_OK));
  scriptedUser().expectDialog(
      Options,
      {setCheck(IDC_OPTIONS_ENDING_REPEATS, 1), setCheck(IDC_OPTIONS_LYRICS, 1),
       typeText(IDC_OPTIONS_SEARCH_EDIT, "x "), click(IDC_OPTIONS_GO)});
  scriptedUser().expectDialog(Results, steps);
  invoke();
  std::vector<std::string> where;
  for (const Lines& lines : seen) where.push_back(lines[1]);
  EXPECT_EQ(where, (std::vector<std::string>{
                       "page text block #1 on page 2",
                       "measure text block #2 in measure 3, staff 1",
                       "text expression entry #0", "full staff name #0",
                       "full group name #2 in the global staff set",
                       "abbreviated group name #1 in staff system 2",
                       "text repeat entry #1", "ending repeat in measure #7",
                       "verse lyrics #1", "chorus lyrics #1000",
                       "section lyrics #12", ""}));
  EXPECT_EQ(seen[11][2], "11 instance(s) found");
}

TEST_F(TextCommandTest, HiddenTagsMoveTheShownPositionBack) {
  score.addTextExpression(1, "^font(Arial)abc");
  std::vector<Lines> seen;
  run(fillOptions("font", nullptr),
      {readLines(&seen), click(IDC_RESULTS_CANCEL)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0][2], "abc");
  EXPECT_EQ(seen[0][3], "at position -10");
}

TEST_F(TextCommandTest, NoMatchOpensOnTheSummary) {
  score.addPageText(0, 0, "Andante");
  // Find mode, then replace mode: every line is written, none keeps the
  // template's text.
  for (const char* replace : {static_cast<const char*>(nullptr), "Vivace"}) {
    std::vector<Lines> seen;
    std::vector<int> buttons;
    run(fillOptions("Presto", replace),
        {readLines(&seen), look([&](HWND d) { buttons = visibleButtons(d); }),
         click(IDC_RESULTS_OK)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (Lines{"Search result:", "", "0 instance(s) found", "",
                              replace ? "0 instance(s) replaced" : "", ""}));
    EXPECT_EQ(buttons, std::vector<int>{IDC_RESULTS_OK});
  }
}

TEST_F(TextCommandTest, BothDialogsReopenWhereTheyWereLeft) {
  auto moveTo = [](int x, int y) {
    return look([x, y](HWND d) {
      RECT r;
      GetWindowRect(d, &r);
      MoveWindow(d, x, y, r.right - r.left, r.bottom - r.top, TRUE);
    });
  };
  RECT options{}, results{};
  std::string search;
  UINT pageBlocks = BST_CHECKED;
  run({moveTo(150, 60), typeText(IDC_OPTIONS_SEARCH_EDIT, "abc"),
       click(IDC_OPTIONS_CANCEL)},
      {});
  run({look([&](HWND d) {
         GetWindowRect(d, &options);
         search = controlText(d, IDC_OPTIONS_SEARCH_EDIT);
       }),
       setCheck(IDC_OPTIONS_PAGE_TEXT_BLOCKS, 0),
       typeText(IDC_OPTIONS_SEARCH_EDIT, "zzz"), click(IDC_OPTIONS_GO)},
      {moveTo(300, 200), click(IDC_RESULTS_OK)});
  run({look([&](HWND d) {
         pageBlocks = IsDlgButtonChecked(d, IDC_OPTIONS_PAGE_TEXT_BLOCKS);
       }),
       click(IDC_OPTIONS_GO)},
      {look([&](HWND d) { GetWindowRect(d, &results); }),
       click(IDC_RESULTS_OK)});
  EXPECT_EQ(options.left, 150);
  EXPECT_EQ(options.top, 60);
  EXPECT_EQ(search, "") << "Cancel keeps the strings";
  EXPECT_EQ(pageBlocks, 0u) << "GO keeps the first element box too";
  EXPECT_EQ(results.left, 300);
  EXPECT_EQ(results.top, 200);
}

TEST_F(TextCommandTest, StoredPrefsOfAnyBytesStillWork) {
  // A registry value may hold anything: strings without terminators,
  // switches of any value, positions off the screen.
  namespace L = TextSearchPrefsLayout;
  std::vector<uint8_t> stored(TextSearchPrefsSize, 'q');
  for (size_t offset = L::ReplaceEnabled; offset < L::OptionsDialogLeft;
       offset += 2) {
    stored[offset] = 0x7F;
    stored[offset + 1] = 0x80;  // -32641: on, as any non-zero word
  }
  const uint8_t offScreen[8] = {0x10, 0x27, 0x10, 0x27, 0xFF, 0x7F, 0, 0};
  std::copy(offScreen, offScreen + 8, stored.begin() + L::OptionsDialogLeft);
  writeSettingsValue("TextSearchPrefs", stored);
  callChecked(plugin().init, "FinaleExtensionInit", {0, 0});
  score.addTextExpression(1, std::string(60, 'q'));

  std::string search, replace;
  bool replaceEnabled = false;
  RECT place{};
  std::vector<Lines> seen;
  run({look([&](HWND d) {
         search = controlText(d, IDC_OPTIONS_SEARCH_EDIT);
         replace = controlText(d, IDC_OPTIONS_REPLACE_EDIT);
         replaceEnabled =
             IsWindowEnabled(GetDlgItem(d, IDC_OPTIONS_REPLACE_EDIT));
         GetWindowRect(d, &place);
       }),
       click(IDC_OPTIONS_GO)},
      {readLines(&seen), click(IDC_RESULTS_YES_TO_ALL), readLines(&seen),
       click(IDC_RESULTS_OK)});
  EXPECT_EQ(search, std::string(50, 'q'));
  EXPECT_EQ(replace, std::string(50, 'q'));
  EXPECT_TRUE(replaceEnabled);
  EXPECT_LT(place.left, 1024) << "a position off the screen is not used";
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0][1], "text expression entry #1");
  EXPECT_EQ(seen[1][2], "1 instance(s) found");
  EXPECT_EQ(seen[1][4], "1 instance(s) replaced");
}

TEST_F(TextCommandTest, BoldFontIsReleasedWhenTheResultsClose) {
  score.addTextExpression(1, "abc");
  for (int closeWith : {IDC_RESULTS_CANCEL, IDC_RESULTS_OK}) {
    SCOPED_TRACE(closeWith);
    scriptedUser().reset();
    HGDIOBJ font = nullptr;
    LOGFONTA logical = {};
    std::vector<UserStep> results = {look([&](HWND d) {
      font = reinterpret_cast<HGDIOBJ>(
          SendDlgItemMessageA(d, IDC_RESULTS_LINE_3, WM_GETFONT, 0, 0));
      GetObjectA(font, sizeof logical, &logical);
    })};
    if (closeWith == IDC_RESULTS_OK)
      results.push_back(click(IDC_RESULTS_NEXT));  // on to the summary
    results.push_back(click(closeWith));
    run(fillOptions("abc", nullptr), results);
    EXPECT_EQ(logical.lfWeight, FW_BOLD);
    EXPECT_STREQ(logical.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(GetObjectType(font), 0u);
  }
}
