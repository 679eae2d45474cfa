// The note-entry command as a person uses it: the two-page criteria dialog
// with its checks, messages, colours and remembered place, and the whole
// command changing the score and reporting the count.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "entrysearch/entry_options.h"
#include "host/byte_access.h"
#include "simhost/screenshot.h"
#include "simhost/sim_document.h"
#include "tests/e2e/e2e_support.h"

namespace {

constexpr uint32_t Dialog = IDD_ENTRY_CRITERIA;
constexpr COLORREF DarkRed = RGB(128, 0, 0);
constexpr uint32_t ChordFlag = 0x04000000u;  // the host's flag bits
constexpr uint16_t SlurFlag = 0x0020;

bool enabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id));
}
int checkOf(HWND dialog, int id) {
  return static_cast<int>(IsDlgButtonChecked(dialog, id));
}
int focusId() { return static_cast<int16_t>(GetDlgCtrlID(GetFocus())); }

// The text colour the dialog gives a control, as the control would ask for
// it when painting.
COLORREF colourOf(HWND dialog, int id) {
  HDC dc = GetDC(dialog);
  SetTextColor(dc, RGB(0, 0, 255));
  SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  const COLORREF colour = GetTextColor(dc);
  ReleaseDC(dialog, dc);
  return colour;
}

// How a control is painted: its dark red and its black pixels (a grey box,
// as Slur's on both pages, has neither).
struct Ink {
  int darkRed = 0, black = 0;
};
Ink inkOf(HWND dialog, int id) {
  Ink ink;
  for (COLORREF c : paintedPixels(GetDlgItem(dialog, id))) {
    ink.darkRed += c == DarkRed;
    ink.black += c == RGB(0, 0, 0);
  }
  return ink;
}

// The colour of the brush the dialog paints a dark red row's background
// with.
COLORREF brushColourOf(HWND dialog) {
  HDC dc = GetDC(dialog);
  HGDIOBJ brush = reinterpret_cast<HGDIOBJ>(
      SendMessageA(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                   reinterpret_cast<LPARAM>(
                       GetDlgItem(dialog, IDC_CRITERIA_DANGER_LEGEND))));
  ReleaseDC(dialog, dc);
  LOGBRUSH logical{};
  GetObjectA(brush, sizeof logical, &logical);
  return logical.lbColor;
}

RECT placeOf(HWND dialog) {
  RECT rect;
  GetWindowRect(dialog, &rect);
  return rect;
}

// A step that records what the page shows.
UserStep seePage(std::string* caption) {
  return look(
      [caption](HWND d) { *caption = controlText(d, IDC_CRITERIA_CAPTION); });
}

}  // namespace

class EntryDialogTest : public CommandTest {
 protected:
  void SetUp() override {
    CommandTest::SetUp();
    score = SimDocument(1, 1);  // one staff, one measure
  }

  uint32_t invoke() {
    return low16(
        callChecked(plugin().invoke, "FinaleExtensionInvoke",
                    {argument(hostWindow), 0, argument(region.data()), 0}));
  }
  // One opening of the dialog with these steps.
  uint32_t runDialog(std::vector<UserStep> steps) {
    scriptedUser().expectDialog(Dialog, std::move(steps));
    return invoke();
  }

  std::vector<uint8_t> region = selectionRegion(1, 1, 0, 1, 1, 4096);
};

TEST_F(EntryDialogTest, DoneWithoutCriteriaStaysOnTheSearchPage) {
  std::string caption;
  scriptedUser().answerMessageBox(IDOK);
  HWND dialog = nullptr;
  EXPECT_EQ(runDialog({click(IDC_CRITERIA_DONE), seePage(&caption),
                       look([&](HWND d) { dialog = d; }),
                       click(IDC_CRITERIA_CANCEL)}),
            1u);
  EXPECT_EQ(caption, "Search for...");
  ASSERT_EQ(scriptedUser().boxes.size(), 1u);
  const MessageBoxSeen& box = scriptedUser().boxes[0];
  EXPECT_EQ(box.text, "No search criterias have been filled in.");
  EXPECT_EQ(box.title, "No Entries");
  EXPECT_EQ(box.icon, BoxIcon::Error);
  EXPECT_EQ(box.buttons, std::vector<int>{IDOK});
  EXPECT_EQ(box.owner, dialog);
  EXPECT_EQ(simHost().calls.front().ordinal, 15) << "no pass after Cancel";
  // The dialog, its procedure and owner, then the constants 1 and 0.
  const std::vector<uint32_t>& run = simHost().calls.front().args;
  EXPECT_EQ(run[0], Dialog);
  EXPECT_EQ(run[2], argument(hostWindow));
  EXPECT_EQ(std::vector<uint32_t>(run.begin() + 3, run.end()),
            (std::vector<uint32_t>{1, 0}));
}

TEST_F(EntryDialogTest, GoWithoutActionsStaysOnTheReplacePage) {
  // The duration asked for on the search page is no action.
  std::string caption;
  scriptedUser().answerMessageBox(IDOK);
  runDialog({setCheck(IDC_CRITERIA_DURATION_BOX, 1),
             typeText(IDC_CRITERIA_DURATION_EDIT, "256"),
             click(IDC_CRITERIA_DONE), click(IDC_CRITERIA_GO),
             seePage(&caption), click(IDC_CRITERIA_CANCEL)});
  EXPECT_EQ(caption, "Replace with...");
  ASSERT_EQ(scriptedUser().boxes.size(), 1u);
  EXPECT_EQ(scriptedUser().boxes[0].text, "No replace actions are made.");
  EXPECT_EQ(scriptedUser().boxes[0].title, "No Entries");
}

TEST_F(EntryDialogTest, RangesAreCheckedInclusivelyWithTheFocusOnTheEdit) {
  struct Case {
    int box, edit;
    const char* value;
    const char* error;  // null: accepted
  };
  const char* duration = "The duration value is out of range.";
  const char* position = "The position value is out of range.";
  const char* displacement = "The displacement value is out of range.";
  const char* raiseLower = "The raise/lower value is out of range.";
  const Case cases[] = {
      {IDC_CRITERIA_DURATION_BOX, IDC_CRITERIA_DURATION_EDIT, "1", nullptr},
      {IDC_CRITERIA_DURATION_BOX, IDC_CRITERIA_DURATION_EDIT, "8192", nullptr},
      {IDC_CRITERIA_DURATION_BOX, IDC_CRITERIA_DURATION_EDIT, "0", duration},
      {IDC_CRITERIA_DURATION_BOX, IDC_CRITERIA_DURATION_EDIT, "8193", duration},
      {IDC_CRITERIA_POSITION_BOX, IDC_CRITERIA_POSITION_EDIT, "0", nullptr},
      {IDC_CRITERIA_POSITION_BOX, IDC_CRITERIA_POSITION_EDIT, "32000", nullptr},
      {IDC_CRITERIA_POSITION_BOX, IDC_CRITERIA_POSITION_EDIT, "-1", position},
      {IDC_CRITERIA_POSITION_BOX, IDC_CRITERIA_POSITION_EDIT, "32001",
       position},
      {IDC_CRITERIA_DISPLACEMENT_BOX, IDC_CRITERIA_DISPLACEMENT_EDIT, "-100",
       nullptr},
      {IDC_CRITERIA_DISPLACEMENT_BOX, IDC_CRITERIA_DISPLACEMENT_EDIT, "100",
       nullptr},
      {IDC_CRITERIA_DISPLACEMENT_BOX, IDC_CRITERIA_DISPLACEMENT_EDIT, "-101",
       displacement},
      {IDC_CRITERIA_DISPLACEMENT_BOX, IDC_CRITERIA_DISPLACEMENT_EDIT, "101",
       displacement},
      {IDC_CRITERIA_RAISE_LOWER_BOX, IDC_CRITERIA_RAISE_LOWER_EDIT, "-5",
       nullptr},
      {IDC_CRITERIA_RAISE_LOWER_BOX, IDC_CRITERIA_RAISE_LOWER_EDIT, "5",
       nullptr},
      {IDC_CRITERIA_RAISE_LOWER_BOX, IDC_CRITERIA_RAISE_LOWER_EDIT, "-6",
       raiseLower},
      {IDC_CRITERIA_RAISE_LOWER_BOX, IDC_CRITERIA_RAISE_LOWER_EDIT, "6",
       raiseLower},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.edit) + " = " + c.value);
    scriptedUser().reset();
    if (c.error) scriptedUser().answerMessageBox(IDOK);
    std::string caption, typed;
    int focus = 0;
    bool editWhileClear = true;
    runDialog({look([&](HWND d) { editWhileClear = enabled(d, c.edit); }),
               setCheck(c.box, 1), typeText(c.edit, c.value),
               look([&](HWND d) { typed = controlText(d, c.edit); }),
               click(IDC_CRITERIA_DONE), seePage(&caption),
               look([&](HWND) { focus = focusId(); }),
               click(IDC_CRITERIA_CANCEL)});
    EXPECT_FALSE(editWhileClear) << "greyed while its box is clear";
    EXPECT_EQ(typed, c.value) << "the edit takes the widest value typed";
    if (c.error) {
      ASSERT_EQ(scriptedUser().boxes.size(), 1u);
      EXPECT_EQ(scriptedUser().boxes[0].text, c.error);
      EXPECT_EQ(scriptedUser().boxes[0].title, "Range Error");
      EXPECT_EQ(scriptedUser().boxes[0].icon, BoxIcon::Error);
      EXPECT_EQ(caption, "Search for...");
      EXPECT_EQ(focus, c.edit);
    } else {
      EXPECT_TRUE(scriptedUser().boxes.empty());
      EXPECT_EQ(caption, "Replace with...");
    }
  }
}

TEST_F(EntryDialogTest, UncheckedValuesAreKeptWithoutARangeCheck) {
  scriptedUser().answerMessageBox(IDOK);  // the count
  // The edit is greyed while its box is clear: type, then clear the box.
  // A flag's box greys or frees no edit (host service 35).
  size_t callsBefore = 0, enables = 1;
  runDialog({setCheck(IDC_CRITERIA_DURATION_BOX, 1),
             typeText(IDC_CRITERIA_DURATION_EDIT, "9000"),
             setCheck(IDC_CRITERIA_DURATION_BOX, 0),
             setCheck(IDC_CRITERIA_POSITION_BOX, 1),
             typeText(IDC_CRITERIA_POSITION_EDIT, "32000"),
             look([&](HWND) { callsBefore = simHost().calls.size(); }),
             setCheck(IDC_ENTRY_NOTE_REST, 1), look([&](HWND) {
               enables = std::count_if(
                   simHost().calls.begin() + callsBefore, simHost().calls.end(),
                   [](const ServiceCall& c) { return c.ordinal == 35; });
             }),
             click(IDC_CRITERIA_DONE), setCheck(IDC_ENTRY_FLOAT_REST, 1),
             click(IDC_CRITERIA_GO)});
  EXPECT_EQ(enables, 0u);
  ASSERT_EQ(scriptedUser().boxes.size(), 1u);
  EXPECT_EQ(scriptedUser().boxes[0].text, "0 replacements were made.");
  std::string shown;
  int box = -1, checkedBox = -1;
  runDialog({look([&](HWND d) {
               shown = controlText(d, IDC_CRITERIA_DURATION_EDIT);
               box = checkOf(d, IDC_CRITERIA_DURATION_BOX);
               checkedBox = checkOf(d, IDC_CRITERIA_POSITION_BOX);
             }),
             click(IDC_CRITERIA_CANCEL)});
  EXPECT_EQ(shown, "9000");
  EXPECT_EQ(box, BST_UNCHECKED);
  EXPECT_EQ(checkedBox, BST_CHECKED);
}

TEST_F(EntryDialogTest, ReplacePageOffersEntryOrNoteActions) {
  struct Case {
    const char* name;
    std::vector<UserStep> search;
    bool noteGroup;
  };
  const Case cases[] = {
      {"entry flags only", {setCheck(IDC_ENTRY_CHORD, 1)}, false},
      {"duration only",
       {setCheck(IDC_CRITERIA_DURATION_BOX, 1),
        typeText(IDC_CRITERIA_DURATION_EDIT, "256")},
       false},
      {"a note flag", {setCheck(IDC_NOTE_TIE_START, 0)}, true},
      {"displacement",
       {setCheck(IDC_CRITERIA_DISPLACEMENT_BOX, 1),
        typeText(IDC_CRITERIA_DISPLACEMENT_EDIT, "0")},
       true},
      {"raise/lower and an entry flag",
       {setCheck(IDC_ENTRY_NOTE_REST, 1),
        setCheck(IDC_CRITERIA_RAISE_LOWER_BOX, 1),
        typeText(IDC_CRITERIA_RAISE_LOWER_EDIT, "1")},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    scriptedUser().reset();
    scriptedUser().answerMessageBox(IDNO);  // a dangerous action of the group
    std::vector<UserStep> steps = c.search;
    std::vector<bool> entryShown, noteShown;  // each of three controls
    bool valuesShown = true;
    steps.push_back(click(IDC_CRITERIA_DONE));
    steps.push_back(look([&](HWND d) {
      entryShown = {isShown(d, IDC_CRITERIA_ENTRY_GROUP),
                    isShown(d, IDC_ENTRY_NOTE_REST),
                    isShown(d, IDC_ENTRY_SLUR)};
      noteShown = {isShown(d, IDC_CRITERIA_NOTE_GROUP),
                   isShown(d, IDC_NOTE_TIE_START),
                   isShown(d, IDC_CRITERIA_DISPLACEMENT_EDIT)};
      valuesShown = isShown(d, IDC_CRITERIA_DURATION_BOX) ||
                    isShown(d, IDC_CRITERIA_POSITION_EDIT);
    }));
    steps.push_back(
        setCheck(c.noteGroup ? IDC_NOTE_TIE_START : IDC_ENTRY_SLUR, 1));
    steps.push_back(click(IDC_CRITERIA_GO));
    steps.push_back(click(IDC_CRITERIA_CANCEL));
    runDialog(steps);
    ASSERT_EQ(scriptedUser().boxes.size(), 1u);
    EXPECT_EQ(scriptedUser().boxes[0].title, "Are you sure?");
    EXPECT_EQ(noteShown, std::vector<bool>(3, c.noteGroup));
    EXPECT_EQ(entryShown, std::vector<bool>(3, !c.noteGroup));
    EXPECT_FALSE(valuesShown) << "duration and position are search-only";
  }
}

TEST_F(EntryDialogTest,
       SearchOnlyRowsGreyAndDangerousRowsRedOnlyWhenReplacing) {
  struct Seen {
    bool searchOnlyEnabled[5];
    COLORREF slur, noteRest, legend, tieStart, crossNote, legality;
    bool clefChange;
  } search{}, replaceEntries{}, replaceNotes{};
  auto see = [](Seen* seen) {
    return look([seen](HWND d) {
      int i = 0;
      for (int id : {IDC_ENTRY_LEGALITY, IDC_ENTRY_V2_LAUNCH, IDC_ENTRY_VOICE_2,
                     IDC_ENTRY_IS_TUPLET, IDC_NOTE_LEGALITY}) {
        seen->searchOnlyEnabled[i++] = enabled(d, id);
      }
      seen->slur = colourOf(d, IDC_ENTRY_SLUR);
      seen->noteRest = colourOf(d, IDC_ENTRY_NOTE_REST);
      seen->legend = colourOf(d, IDC_CRITERIA_DANGER_LEGEND);
      seen->tieStart = colourOf(d, IDC_NOTE_TIE_START);
      seen->crossNote = colourOf(d, IDC_NOTE_CROSS_NOTE);
      seen->legality = colourOf(d, IDC_ENTRY_LEGALITY);
      seen->clefChange = isShown(d, IDC_ENTRY_CLEF_CHANGE);
    });
  };
  runDialog({see(&search), setCheck(IDC_ENTRY_CHORD, 1),
             click(IDC_CRITERIA_DONE), see(&replaceEntries),
             click(IDC_CRITERIA_CANCEL)});
  runDialog({setCheck(IDC_NOTE_TIE_START, 1), click(IDC_CRITERIA_DONE),
             see(&replaceNotes), click(IDC_CRITERIA_CANCEL)});

  for (bool e : search.searchOnlyEnabled) EXPECT_TRUE(e);
  for (bool e : replaceEntries.searchOnlyEnabled) EXPECT_FALSE(e);
  EXPECT_FALSE(replaceNotes.searchOnlyEnabled[4]) << "note Legality";
  for (COLORREF c : {search.slur, search.legend, search.tieStart}) {
    EXPECT_NE(c, DarkRed) << "nothing is red on the search page";
  }
  EXPECT_EQ(replaceEntries.slur, DarkRed);
  EXPECT_EQ(replaceEntries.legend, DarkRed);
  EXPECT_NE(replaceEntries.noteRest, DarkRed) << "Note/Rest is not dangerous";
  EXPECT_NE(replaceEntries.legality, DarkRed) << "Legality is search-only";
  EXPECT_EQ(replaceNotes.tieStart, DarkRed);
  EXPECT_EQ(replaceNotes.crossNote, DarkRed);
  EXPECT_FALSE(search.clefChange);
  EXPECT_FALSE(replaceEntries.clefChange);
}

TEST_F(EntryDialogTest, CaptionUsesA14PointFont) {
  LOGFONTA font = {};
  int expectedHeight = 0;
  runDialog({look([&](HWND d) {
               HFONT f = reinterpret_cast<HFONT>(SendDlgItemMessageA(
                   d, IDC_CRITERIA_CAPTION, WM_GETFONT, 0, 0));
               GetObjectA(f, sizeof font, &font);
               HDC dc = GetDC(d);
               expectedHeight = -MulDiv(14, GetDeviceCaps(dc, LOGPIXELSY), 72);
               ReleaseDC(d, dc);
             }),
             click(IDC_CRITERIA_CANCEL)});
  EXPECT_EQ(font.lfHeight, expectedHeight);
  EXPECT_EQ(font.lfWeight, FW_DONTCARE);  // the face's own, not a thin one
  EXPECT_STREQ(font.lfFaceName, "MS Sans Serif");
}

TEST_F(EntryDialogTest, APassTheHostStopsShowsNoCount) {
  score.addEntry(1, 1, 0, EntryShape{});
  simHost().stopAtCell = 1;
  runDialog({setCheck(IDC_ENTRY_NOTE_REST, 1), click(IDC_CRITERIA_DONE),
             setCheck(IDC_ENTRY_FLOAT_REST, 1), click(IDC_CRITERIA_GO)});
  simHost().stopAtCell = 0;
  EXPECT_TRUE(scriptedUser().boxes.empty());
  EXPECT_EQ(simHost().calls.back().args[1], 1u) << "the pass was stopped";
}

TEST_F(EntryDialogTest, DangerousActionIsConfirmedBeforeTheScoreChanges) {
  EntryShape chord;
  chord.flags = ChordFlag;
  score.addEntry(1, 1, 0, chord);
  score.addEntry(1, 1, 0, EntryShape{});
  std::string captionAfterNo;
  scriptedUser().answerMessageBox(IDNO);
  scriptedUser().answerMessageBox(IDYES);
  scriptedUser().answerMessageBox(IDOK);
  EXPECT_EQ(runDialog({setCheck(IDC_ENTRY_CHORD, 1), click(IDC_CRITERIA_DONE),
                       setCheck(IDC_ENTRY_SLUR, 1), click(IDC_CRITERIA_GO),
                       seePage(&captionAfterNo), click(IDC_CRITERIA_GO)}),
            1u);
  EXPECT_EQ(captionAfterNo, "Replace with...");
  ASSERT_EQ(scriptedUser().boxes.size(), 3u);
  const MessageBoxSeen& question = scriptedUser().boxes[0];
  EXPECT_EQ(question.title, "Are you sure?");
  EXPECT_EQ(question.text,
            "You have selected replacement options that are considered "
            "'dangerous' to change. DON'T continue if you are uncertain of "
            "the effect when using these options. Proceed anyway?");
  EXPECT_EQ(question.icon, BoxIcon::Warning);
  EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
  const MessageBoxSeen& count = scriptedUser().boxes[2];
  EXPECT_EQ(count.text, "1 replacement was made.");
  EXPECT_EQ(count.title, "QZ Search/Replace Info");
  EXPECT_EQ(count.icon, BoxIcon::Information);
  EXPECT_EQ(count.owner, hostWindow);
  EXPECT_EQ(entryFlags2(score.layer(1, 1, 0)[0]) & SlurFlag, SlurFlag);
  EXPECT_EQ(entryFlags2(score.layer(1, 1, 0)[1]) & SlurFlag, 0);
}

TEST_F(EntryDialogTest, ResetClearsOnlyThePageShown) {
  int flag = -1, durationBox = -1, noteFlag = -1, searchFlagAfter = -1;
  std::string duration;
  bool noteGroup = false;
  runDialog({setCheck(IDC_ENTRY_CHORD, 1), click(IDC_CRITERIA_DONE),
             click(IDC_CRITERIA_SEARCH),  // the flag is kept, then reset
             setCheck(IDC_CRITERIA_DURATION_BOX, 1),
             typeText(IDC_CRITERIA_DURATION_EDIT, "77"),
             click(IDC_CRITERIA_RESET), look([&](HWND d) {
               flag = checkOf(d, IDC_ENTRY_CHORD);
               durationBox = checkOf(d, IDC_CRITERIA_DURATION_BOX);
               duration = controlText(d, IDC_CRITERIA_DURATION_EDIT);
             }),
             setCheck(IDC_NOTE_TIE_START, 1), click(IDC_CRITERIA_DONE),
             setCheck(IDC_NOTE_ACCIDENTAL, 1), click(IDC_CRITERIA_RESET),
             look([&](HWND d) {
               noteFlag = checkOf(d, IDC_NOTE_ACCIDENTAL);
               noteGroup = isShown(d, IDC_CRITERIA_NOTE_GROUP);
             }),
             click(IDC_CRITERIA_SEARCH), look([&](HWND d) {
               searchFlagAfter = checkOf(d, IDC_NOTE_TIE_START);
             }),
             click(IDC_CRITERIA_CANCEL)});
  EXPECT_EQ(flag, BST_INDETERMINATE);
  EXPECT_EQ(durationBox, BST_UNCHECKED);
  EXPECT_EQ(duration, "1024");
  EXPECT_EQ(noteFlag, BST_INDETERMINATE);
  EXPECT_TRUE(noteGroup) << "the replace page keeps its group";
  EXPECT_EQ(searchFlagAfter, BST_CHECKED) << "the search page is untouched";
}

TEST_F(EntryDialogTest, BackToSearchNeedsNoActionAndNoConfirmation) {
  std::string caption;
  runDialog({setCheck(IDC_ENTRY_CHORD, 1), click(IDC_CRITERIA_DONE),
             setCheck(IDC_ENTRY_SLUR, 1), click(IDC_CRITERIA_SEARCH),
             seePage(&caption), click(IDC_CRITERIA_CANCEL)});
  EXPECT_EQ(caption, "Search for...");
  EXPECT_TRUE(scriptedUser().boxes.empty());
}

TEST_F(EntryDialogTest, ReopensWhereItWasClosedKeepingCriteriaOnlyAfterGo) {
  RECT afterCancel{}, afterGo{};
  int flagAfterCancel = -1, flagAfterGo = -1, andAfterGo = -1, orAfterGo = -1;
  auto moveTo = [](int x, int y) {
    return look([x, y](HWND d) {
      const RECT r = placeOf(d);
      MoveWindow(d, x, y, r.right - r.left, r.bottom - r.top, TRUE);
    });
  };
  runDialog({moveTo(111, 99), setCheck(IDC_ENTRY_CHORD, 1),
             click(IDC_CRITERIA_CANCEL)});
  scriptedUser().answerMessageBox(IDOK);  // the count
  runDialog({look([&](HWND d) {
               afterCancel = placeOf(d);
               flagAfterCancel = checkOf(d, IDC_ENTRY_CHORD);
             }),
             moveTo(222, 88), setCheck(IDC_ENTRY_NOTE_REST, 1),
             click(IDC_CRITERIA_OR), click(IDC_CRITERIA_DONE),
             setCheck(IDC_ENTRY_FLOAT_REST, 1), click(IDC_CRITERIA_GO)});
  runDialog({look([&](HWND d) {
               afterGo = placeOf(d);
               flagAfterGo = checkOf(d, IDC_ENTRY_NOTE_REST);
               andAfterGo = checkOf(d, IDC_CRITERIA_AND);
               orAfterGo = checkOf(d, IDC_CRITERIA_OR);
             }),
             click(IDC_CRITERIA_CANCEL)});
  EXPECT_EQ(afterCancel.left, 111);
  EXPECT_EQ(afterCancel.top, 99);
  EXPECT_EQ(flagAfterCancel, BST_INDETERMINATE) << "Cancel keeps the records";
  EXPECT_EQ(afterGo.left, 222);
  EXPECT_EQ(afterGo.top, 88);
  EXPECT_EQ(flagAfterGo, BST_CHECKED);
  EXPECT_EQ(andAfterGo, BST_UNCHECKED);
  EXPECT_EQ(orAfterGo, BST_CHECKED);
}

TEST_F(EntryDialogTest, StoredOptionWordsOutsideTheirRangeShowAsIgnored) {
  // A registry value may hold any bytes: here an option word of 7 for
  // Note/Rest and a duration of -5 with its criterion on.
  EntryOptions stored{};
  resetEntryOptions(&stored);
  setOptionWord(stored, EntryFlagTable[1].optionOffset, 7);  // Note/Rest's
  setOptionWord(stored, EntryOptionsLayout::DurationEnabled, 1);
  setOptionWord(stored, EntryOptionsLayout::Duration, -5);
  writeSettingsValue("SearchOptions",
                     Bytes(stored.bytes, std::end(stored.bytes)));
  callChecked(plugin().init, "FinaleExtensionInit", {0, 0});

  int shownAs = -1;
  std::string duration;
  scriptedUser().answerMessageBox(IDOK);  // the range error
  runDialog({look([&](HWND d) {
               shownAs = checkOf(d, IDC_ENTRY_NOTE_REST);
               duration = controlText(d, IDC_CRITERIA_DURATION_EDIT);
             }),
             click(IDC_CRITERIA_DONE), click(IDC_CRITERIA_CANCEL)});
  EXPECT_EQ(shownAs, BST_INDETERMINATE);
  EXPECT_EQ(duration, "-5");
  ASSERT_EQ(scriptedUser().boxes.size(), 1u);
  EXPECT_EQ(scriptedUser().boxes[0].text,
            "The duration value is out of range.");
}

TEST_F(EntryDialogTest, FontAndBrushAreReleasedWhenTheDialogCloses) {
  for (int closeWith : {IDC_CRITERIA_CANCEL, IDC_CRITERIA_GO}) {
    SCOPED_TRACE(closeWith);
    scriptedUser().reset();
    HGDIOBJ font = nullptr, brush = nullptr;
    bool liveWhileOpen = false;
    std::vector<COLORREF> brushColours, faceColours;
    std::vector<UserStep> steps = {
        setCheck(IDC_ENTRY_NOTE_REST, 1),
        click(IDC_CRITERIA_DONE),
        setCheck(IDC_ENTRY_FLOAT_REST, 1),
        look([&](HWND d) {
          font = reinterpret_cast<HGDIOBJ>(
              SendDlgItemMessageA(d, IDC_CRITERIA_CAPTION, WM_GETFONT, 0, 0));
          HDC dc = GetDC(d);
          brush = reinterpret_cast<HGDIOBJ>(
              SendMessageA(d, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(
                               GetDlgItem(d, IDC_CRITERIA_DANGER_LEGEND))));
          ReleaseDC(d, dc);
          liveWhileOpen = GetObjectType(font) == OBJ_FONT &&
                          GetObjectType(brush) == OBJ_BRUSH;
        }),
        look([&](HWND d) {
          // The system colours change and change back while the dialog is
          // open: the red rows get a brush of each new face colour.
          ShowWindow(d, SW_SHOW);  // else nothing is painted
          const INT face = COLOR_BTNFACE;
          const COLORREF was = GetSysColor(face);
          for (COLORREF colour : {was ^ 0x000101u, was}) {
            SetSysColors(1, &face, &colour);
            RedrawWindow(d, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            brushColours.push_back(brushColourOf(d));
            faceColours.push_back(colour);
          }
        }),
        click(closeWith)};
    if (closeWith == IDC_CRITERIA_GO)
      scriptedUser().answerMessageBox(IDOK);  // the count
    runDialog(steps);
    EXPECT_TRUE(liveWhileOpen);
    EXPECT_EQ(brushColours, faceColours) << "the background follows the face";
    EXPECT_EQ(GetObjectType(font), 0u) << "caption font deleted";
    EXPECT_EQ(GetObjectType(brush), 0u) << "background brush deleted";
  }
}

TEST_F(EntryDialogTest, DangerousRowIsPaintedDarkRedOnlyOnTheReplacePage) {
  // Slur keeps its state on both pages: only a repaint of the whole page
  // brings its new colour.
  std::vector<Ink> seen;
  const UserStep see =
      look([&](HWND d) { seen.push_back(inkOf(d, IDC_ENTRY_SLUR)); });
  runDialog({see, setCheck(IDC_ENTRY_CHORD, 1), click(IDC_CRITERIA_DONE), see,
             click(IDC_CRITERIA_SEARCH), see, click(IDC_CRITERIA_CANCEL)});
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_GT(seen[1].darkRed, 0);
  EXPECT_EQ(seen[1].black, 0);
  for (const Ink& searchPage : {seen[0], seen[2]}) {
    EXPECT_EQ(searchPage.darkRed, 0);
    EXPECT_GT(searchPage.black, 0);
  }
}
