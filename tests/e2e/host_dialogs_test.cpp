// The simulated host's dialog services on the plug-in's own dialog
// resources, driven by the scripted user: templates as the user sees them,
// the control kinds of services 57 and 58, enabling, focus, text, and the
// capture of message boxes; and the plug-in's dialogs ended by the host
// itself, leaving nothing behind.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "entrysearch/entry_options.h"
#include "host/byte_access.h"
#include "host/host_services.h"
#include "simhost/dialog_services.h"
#include "simhost/resource_ledger.h"
#include "tests/e2e/e2e_support.h"
#include "textsearch/text_prefs.h"

namespace {

// What the test's dialog procedure does with each message.
std::function<void(HWND, uint32_t message, uint32_t command)> onMessage;

int32_t HOST_CALL testDialogProc(HostWindow window, uint32_t message,
                                 uint32_t wParam, int32_t, uint32_t) {
  HWND dialog = static_cast<HWND>(window);
  if (message == WM_INITDIALOG || message == WM_COMMAND) {
    const uint32_t command = message == WM_COMMAND ? (wParam & 0xFFFF) : 0;
    if (onMessage) onMessage(dialog, message, command);
    if (message == WM_COMMAND && command == IDCANCEL) {
      hostEndDialog(window, InterfaceVersion);
    }
  }
  return message == WM_INITDIALOG ? 1 : 0;
}

void runDialog(uint32_t id, HWND owner) {
  hostRunDialog(id, testDialogProc, owner, 1, 0, InterfaceVersion);
}

int16_t valueOf(HWND dialog, int id, uint32_t kind) {
  const uint32_t result =
      hostGetControlValue(dialog, id, kind, InterfaceVersion);
  if (strictRun()) {
    EXPECT_NE(result >> 16, 0u) << "strict results carry garbage";
  }
  return low16(result);
}

std::string textOf(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct TemplateCase {
  uint32_t id;
  const char* caption;
  std::vector<int> controls;  // ids in tab order
};

const TemplateCase Templates[] = {
    {IDD_ENTRY_CRITERIA,
     "QZ Search/Replace  v. 1.11a",
     {IDC_CRITERIA_CAPTION,
      IDC_CRITERIA_ENTRY_GROUP,
      IDC_CRITERIA_DURATION_BOX,
      IDC_CRITERIA_DURATION_EDIT,
      IDC_CRITERIA_POSITION_BOX,
      IDC_CRITERIA_POSITION_EDIT,
      IDC_ENTRY_LEGALITY,
      IDC_ENTRY_NOTE_REST,
      IDC_ENTRY_V2_LAUNCH,
      IDC_ENTRY_VOICE_2,
      IDC_ENTRY_CHORD,
      IDC_ENTRY_CLEF_CHANGE,
      IDC_ENTRY_FLOAT_REST,
      IDC_ENTRY_FLAT_BEAM,
      IDC_ENTRY_IS_TUPLET,
      IDC_ENTRY_GRACE,
      IDC_ENTRY_NOTE_DETAIL,
      IDC_ENTRY_ARTICULATION,
      IDC_ENTRY_STAFF_EXPR,
      IDC_ENTRY_LYRICS,
      IDC_ENTRY_TUPLET,
      IDC_ENTRY_V2_TUP_PARA,
      IDC_ENTRY_PERF_DATA,
      IDC_ENTRY_SLASH_GRACE,
      IDC_ENTRY_IGNORE,
      IDC_ENTRY_BEAM_EXT,
      IDC_ENTRY_FLIP_TIE,
      IDC_ENTRY_SPECIAL,
      IDC_ENTRY_BEAM_BEAT,
      IDC_ENTRY_SEC_BEAM,
      IDC_ENTRY_FREEZE_STEM,
      IDC_ENTRY_STEM_DETAIL,
      IDC_ENTRY_CROSS_UP,
      IDC_ENTRY_REVERSE_UP,
      IDC_ENTRY_REVERSE_DN,
      IDC_ENTRY_DOUBLE_STEM,
      IDC_ENTRY_SPLIT_STEM,
      IDC_ENTRY_UP_DOWN,
      IDC_ENTRY_NO_LEDGER,
      IDC_ENTRY_SLUR,
      IDC_CRITERIA_DANGER_LEGEND,
      IDC_CRITERIA_NOTE_GROUP,
      IDC_CRITERIA_DISPLACEMENT_BOX,
      IDC_CRITERIA_DISPLACEMENT_EDIT,
      IDC_CRITERIA_RAISE_LOWER_BOX,
      IDC_CRITERIA_RAISE_LOWER_EDIT,
      IDC_NOTE_LEGALITY,
      IDC_NOTE_TIE_START,
      IDC_NOTE_TIE_END,
      IDC_NOTE_CROSS_NOTE,
      IDC_NOTE_UPSTEM_2ND,
      IDC_NOTE_UPSTEM_SPLIT,
      IDC_NOTE_DOWNSTEM_2ND,
      IDC_NOTE_ACCIDENTAL,
      IDC_NOTE_PAREN_ACCIDENTAL,
      IDC_NOTE_FREEZE_ACCIDENTAL,
      IDC_CRITERIA_BOOLEAN_GROUP,
      IDC_CRITERIA_AND,
      IDC_CRITERIA_OR,
      IDC_CRITERIA_GO,
      IDC_CRITERIA_DONE,
      IDC_CRITERIA_SEARCH,
      IDC_CRITERIA_CANCEL,
      IDC_CRITERIA_RESET}},
    {IDD_TEXT_OPTIONS,
     "QZ Search and Replace 1.11a",
     {IDC_OPTIONS_SEARCH_LABEL, IDC_OPTIONS_SEARCH_EDIT, IDC_OPTIONS_CASE_BOX,
      IDC_OPTIONS_TAGS_BOX, IDC_OPTIONS_REPLACE_BOX, IDC_OPTIONS_REPLACE_EDIT,
      IDC_OPTIONS_ELEMENT_GROUP, IDC_OPTIONS_PAGE_TEXT_BLOCKS,
      IDC_OPTIONS_MEASURE_TEXT_BLOCKS, IDC_OPTIONS_TEXT_EXPRESSIONS,
      IDC_OPTIONS_STAFF_NAMES, IDC_OPTIONS_GROUP_NAMES,
      IDC_OPTIONS_TEXT_REPEATS, IDC_OPTIONS_ENDING_REPEATS, IDC_OPTIONS_LYRICS,
      IDC_OPTIONS_GO, IDC_OPTIONS_CANCEL}},
    {IDD_TEXT_RESULTS,
     "Search results",
     {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_NEXT, IDC_RESULTS_YES_TO_ALL,
      IDC_RESULTS_CANCEL, IDC_RESULTS_OK, IDC_RESULTS_LINE_1,
      IDC_RESULTS_LINE_2, IDC_RESULTS_LINE_3, IDC_RESULTS_LINE_4,
      IDC_RESULTS_LINE_5, IDC_RESULTS_LINE_6}},
};

}  // namespace

class HostDialogsTest : public HostTest {
 protected:
  void TearDown() override {
    onMessage = nullptr;
    HostTest::TearDown();
  }
};

using HostEndsTheDialogsTest = CommandTest;

TEST_F(HostDialogsTest, TemplatesShowTheirCaptionsAndControlsInTabOrder) {
  for (const TemplateCase& t : Templates) {
    SCOPED_TRACE(t.id);
    std::vector<int> seen;
    std::string caption;
    HWND owner = nullptr;
    scriptedUser().expectDialog(
        t.id, {look([&](HWND dialog) {
                 caption = textOf(dialog);
                 owner = GetWindow(dialog, GW_OWNER);
                 for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr;
                      c = GetWindow(c, GW_HWNDNEXT)) {
                   seen.push_back(static_cast<int16_t>(GetDlgCtrlID(c)));
                 }
               }),
               click(IDCANCEL)});
    runDialog(t.id, hostWindow);
    EXPECT_EQ(caption, t.caption);
    EXPECT_EQ(seen, t.controls);
    EXPECT_EQ(owner, hostWindow);
  }
  EXPECT_EQ(scriptedUser().dialogsRun,
            (std::vector<uint32_t>{IDD_ENTRY_CRITERIA, IDD_TEXT_OPTIONS,
                                   IDD_TEXT_RESULTS}));
}

TEST_F(HostDialogsTest, ControlKindsRoundTripThroughTheUsersHands) {
  struct Read {
    int16_t duration, position, threeState, threeStateAsBox, noteRest, andOn,
        orOn;
  } read{};
  onMessage = [&](HWND dialog, uint32_t message, uint32_t command) {
    if (message == WM_INITDIALOG) {
      hostSetControlValue(dialog, IDC_ENTRY_LEGALITY, ControlCheckBox, 2,
                          InterfaceVersion);
      hostSetControlValue(dialog, IDC_ENTRY_NOTE_REST, ControlCheckBox, 1,
                          InterfaceVersion);
      hostSetControlValue(dialog, IDC_CRITERIA_DURATION_EDIT,
                          ControlNumericEdit, -12, InterfaceVersion);
      hostSetControlValue(dialog, IDC_CRITERIA_AND, ControlRadioButton, 1,
                          InterfaceVersion);
    } else if (command == IDC_CRITERIA_DONE) {
      read.duration =
          valueOf(dialog, IDC_CRITERIA_DURATION_EDIT, ControlNumericEdit);
      read.position =
          valueOf(dialog, IDC_CRITERIA_POSITION_EDIT, ControlNumericEdit);
      read.threeState =
          valueOf(dialog, IDC_ENTRY_LEGALITY, ControlThreeStateBox);
      read.threeStateAsBox =
          valueOf(dialog, IDC_ENTRY_LEGALITY, ControlCheckBox);
      read.noteRest =
          valueOf(dialog, IDC_ENTRY_NOTE_REST, ControlThreeStateBox);
      read.andOn = valueOf(dialog, IDC_CRITERIA_AND, ControlRadioButton);
      read.orOn = valueOf(dialog, IDC_CRITERIA_OR, ControlRadioButton);
      hostEndDialog(dialog, InterfaceVersion);
    }
  };
  std::string shownDuration;
  scriptedUser().expectDialog(
      IDD_ENTRY_CRITERIA,
      {look([&](HWND dialog) {
         shownDuration = textOf(GetDlgItem(dialog, IDC_CRITERIA_DURATION_EDIT));
       }),
       setCheck(IDC_ENTRY_NOTE_REST, 0),
       typeText(IDC_CRITERIA_POSITION_EDIT, "not a number"),
       click(IDC_CRITERIA_OR), click(IDC_CRITERIA_DONE)});
  runDialog(IDD_ENTRY_CRITERIA, hostWindow);
  EXPECT_EQ(shownDuration, "-12");
  EXPECT_EQ(read.duration, -12);
  EXPECT_EQ(read.position, 0) << "text that is not a number reads as 0";
  EXPECT_EQ(read.threeState, 2);
  EXPECT_EQ(read.threeStateAsBox, 0) << "indeterminate is not checked";
  EXPECT_EQ(read.noteRest, 0);
  EXPECT_EQ(read.andOn, 0);
  EXPECT_EQ(read.orOn, 1);
}

TEST_F(HostDialogsTest, EnableUsesTheLow16BitsAndFocusMoves) {
  bool enabledAfterHighOnly = true, enabledAfterLowBit = false;
  HWND focus = nullptr, expectedFocus = nullptr;
  onMessage = [&](HWND dialog, uint32_t message, uint32_t) {
    if (message != WM_INITDIALOG) return;
    HWND edit = GetDlgItem(dialog, IDC_OPTIONS_REPLACE_EDIT);
    hostEnableControl(dialog, IDC_OPTIONS_REPLACE_EDIT, 0x00010000u,
                      InterfaceVersion);
    enabledAfterHighOnly = IsWindowEnabled(edit);
    hostEnableControl(dialog, IDC_OPTIONS_REPLACE_EDIT, 0xFFFF0001u,
                      InterfaceVersion);
    enabledAfterLowBit = IsWindowEnabled(edit);
  };
  scriptedUser().expectDialog(
      IDD_TEXT_OPTIONS,
      {look([&](HWND dialog) {
         expectedFocus = GetDlgItem(dialog, IDC_OPTIONS_REPLACE_EDIT);
         hostFocusControl(dialog, IDC_OPTIONS_REPLACE_EDIT, InterfaceVersion);
         focus = GetFocus();
       }),
       click(IDCANCEL)});
  runDialog(IDD_TEXT_OPTIONS, hostWindow);
  EXPECT_FALSE(enabledAfterHighOnly);
  EXPECT_TRUE(enabledAfterLowBit);
  EXPECT_EQ(focus, expectedFocus);
}

TEST_F(HostDialogsTest, TextIsReadWithAtMostItsLimit) {
  char buffer[52];
  memset(buffer, 0xEE, sizeof buffer);
  std::string shown;
  onMessage = [&](HWND dialog, uint32_t message, uint32_t command) {
    if (message == WM_INITDIALOG) {
      hostSetControlText(dialog, IDC_OPTIONS_REPLACE_EDIT, "replacement",
                         InterfaceVersion);
    } else if (command == IDOK) {
      hostGetControlText(dialog, IDC_OPTIONS_SEARCH_EDIT, buffer, 50,
                         InterfaceVersion);
      shown = textOf(GetDlgItem(dialog, IDC_OPTIONS_REPLACE_EDIT));
      hostEndDialog(dialog, InterfaceVersion);
    }
  };
  scriptedUser().expectDialog(
      IDD_TEXT_OPTIONS,
      {typeText(IDC_OPTIONS_SEARCH_EDIT, std::string(60, 'x')), click(IDOK)});
  runDialog(IDD_TEXT_OPTIONS, hostWindow);
  EXPECT_EQ(std::string(buffer), std::string(50, 'x'));
  EXPECT_EQ(static_cast<uint8_t>(buffer[51]), 0xEE) << "wrote past 51 bytes";
  EXPECT_EQ(shown, "replacement");
}

TEST_F(HostDialogsTest, MessageBoxesAreCapturedAndAnswered) {
  int answer = 0;
  HWND dialogWindow = nullptr;
  onMessage = [&](HWND dialog, uint32_t message, uint32_t command) {
    if (message == WM_COMMAND && command == IDC_RESULTS_OK) {
      dialogWindow = dialog;
      answer = MessageBoxA(dialog, "Proceed?", "Question",
                           MB_YESNO | MB_ICONWARNING);
      MessageBoxA(dialog, "Done.", "Info", MB_OK | MB_ICONERROR);
    }
  };
  scriptedUser().answerMessageBox(IDNO);
  scriptedUser().answerMessageBox(IDOK);
  scriptedUser().expectDialog(IDD_TEXT_RESULTS,
                              {click(IDC_RESULTS_OK), click(IDCANCEL)});
  runDialog(IDD_TEXT_RESULTS, hostWindow);
  EXPECT_EQ(answer, IDNO);
  ASSERT_EQ(scriptedUser().boxes.size(), 2u);
  const MessageBoxSeen& question = scriptedUser().boxes[0];
  EXPECT_EQ(question.title, "Question");
  EXPECT_EQ(question.text, "Proceed?");
  EXPECT_EQ(question.icon, BoxIcon::Warning);
  EXPECT_EQ(question.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(question.owner, dialogWindow);
  EXPECT_EQ(scriptedUser().boxes[1].icon, BoxIcon::Error);
  EXPECT_EQ(scriptedUser().boxes[1].buttons, std::vector<int>{IDOK});
}

TEST_F(HostDialogsTest, TheUserCannotUseHiddenOrDisabledControls) {
  onMessage = [&](HWND dialog, uint32_t message, uint32_t) {
    if (message == WM_INITDIALOG) {
      hostEnableControl(dialog, IDC_CRITERIA_GO, 0, InterfaceVersion);
      ShowWindow(GetDlgItem(dialog, IDC_CRITERIA_DONE), SW_HIDE);
    }
  };
  scriptedUser().expectDialog(
      IDD_ENTRY_CRITERIA,
      {click(IDC_CRITERIA_GO), click(IDC_CRITERIA_DONE), click(IDCANCEL)});
  runDialog(IDD_ENTRY_CRITERIA, hostWindow);
  auto notThere = [](int id) {
    return "control " + std::to_string(id) + " is not there to be used";
  };
  EXPECT_EQ(scriptedUser().problems,
            (std::vector<std::string>{notThere(IDC_CRITERIA_GO),
                                      notThere(IDC_CRITERIA_DONE)}));
  scriptedUser().problems.clear();
}

TEST_F(HostDialogsTest, EveryServiceCallIsLoggedWithInterfaceVersionLast) {
  onMessage = [&](HWND dialog, uint32_t message, uint32_t) {
    if (message == WM_INITDIALOG) {
      hostSetControlText(dialog, IDC_RESULTS_YES, "x", 0x05000004u);
    }
  };
  scriptedUser().expectDialog(IDD_TEXT_RESULTS, {click(IDCANCEL)});
  runDialog(IDD_TEXT_RESULTS, hostWindow);
  ASSERT_GE(simHost().calls.size(), 3u);
  EXPECT_EQ(simHost().calls[0].ordinal, 15);
  EXPECT_EQ(simHost().calls[0].args[0], uint32_t{IDD_TEXT_RESULTS});
  EXPECT_EQ(simHost().calls[1].ordinal, 60);
  EXPECT_EQ(simHost().calls.back().ordinal, 16);
  EXPECT_EQ(simHost().violations,
            std::vector<std::string>{
                "service 60 called without InterfaceVersion last"});
  simHost().violations.clear();
}

namespace {

// The ways a dialog can end: by the user, by the host without asking the
// plug-in, and under hosts that end dialogs their own way.
struct Ending {
  const char* name;
  UserStep step;
  DialogEnding host;
  bool byPlugin;  // the plug-in ends it (service 16) and stores its place
};

// The close box's command, sent: the dialog then posts its Cancel before
// the user's next step.
void pressCloseBox(HWND dialog) {
  SendMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

const Ending Endings[] = {
    {"Cancel", click(IDCANCEL), DialogEnding::PassesEverything, true},
    {"Escape", press(VK_ESCAPE), DialogEnding::PassesEverything, true},
    {"close box", look(pressCloseBox), DialogEnding::PassesEverything, true},
    {"host ends", look(endDialogAsHost), DialogEnding::PassesEverything, false},
    {"host destroys", look(destroyDialogAsHost), DialogEnding::PassesEverything,
     false},
    {"Escape, last message withheld", press(VK_ESCAPE),
     DialogEnding::WithholdsLastMessage, true},
    {"host ends, last message withheld", look(endDialogAsHost),
     DialogEnding::WithholdsLastMessage, false},
    {"host destroys, last message withheld", look(destroyDialogAsHost),
     DialogEnding::WithholdsLastMessage, false},
    {"Escape, run returns first", press(VK_ESCAPE), DialogEnding::ReturnsFirst,
     true},
    {"host ends, run returns first", look(endDialogAsHost),
     DialogEnding::ReturnsFirst, false},
};

// Where the stored settings place a dialog (unplaced: 0x8000 twice).
Bytes storedPlace(uint32_t dialog) {
  const bool entry = dialog == IDD_ENTRY_CRITERIA;
  const size_t at = entry ? EntryOptionsLayout::DialogLeft
                    : dialog == IDD_TEXT_OPTIONS
                        ? TextSearchPrefsLayout::OptionsDialogLeft
                        : TextSearchPrefsLayout::ResultsDialogLeft;
  const Bytes record =
      readSettingsValue(entry ? "SearchOptions" : "TextSearchPrefs").bytes;
  return record.size() < at + 4
             ? Bytes{}
             : Bytes(record.begin() + at, record.begin() + at + 4);
}

}  // namespace

// However each of the three dialogs ends, the plug-in frees its fonts, brush
// and texts (the ledger, checked after each ending), takes its property off
// the window and gives back the window's procedure by the window's last
// message (checked by the host's dialog services), and stores where the
// dialog stood only when it ended the dialog itself.
void expectEveryEndingLeavesNothing(HWND hostWindow, SimDocument& score,
                                    const std::string& text) {
  score.addPageText(1, 0, text);
  const std::vector<uint8_t> region = selectionRegion(1, 1, 0, 1, 1, 4096);
  const Bytes unplaced = {0x00, 0x80, 0x00, 0x80};
  for (const Ending& ending : Endings) {
    for (uint32_t dialog :
         {IDD_ENTRY_CRITERIA, IDD_TEXT_OPTIONS, IDD_TEXT_RESULTS}) {
      SCOPED_TRACE(std::to_string(dialog) + ", " + ending.name);
      RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\QZPlugins");
      callChecked(plugin().init, "FinaleExtensionInit", {0, 0});
      setDialogEnding(ending.host);
      simHost().resetLog();
      scriptedUser().dialogsRun.clear();
      std::vector<uint32_t> run = {dialog};
      if (dialog == IDD_TEXT_RESULTS) {
        run.insert(run.begin(), IDD_TEXT_OPTIONS);
        scriptedUser().expectDialog(
            IDD_TEXT_OPTIONS,
            {typeText(IDC_OPTIONS_SEARCH_EDIT, text), click(IDC_OPTIONS_GO)});
      }
      scriptedUser().expectDialog(dialog, {ending.step});
      callChecked(plugin().invoke, "FinaleExtensionInvoke",
                  {argument(hostWindow), dialog == IDD_ENTRY_CRITERIA ? 0u : 1u,
                   argument(region.data()), 0});
      destroyEndedDialogs();
      EXPECT_EQ(scriptedUser().dialogsRun, run);
      const std::vector<int> calls = simHost().ordinals();
      EXPECT_EQ(
          std::count(calls.begin(), calls.end(), 16),
          (ending.byPlugin ? 1 : 0) + (dialog == IDD_TEXT_RESULTS ? 1 : 0));
      EXPECT_EQ(takeLeftovers(), "");
      EXPECT_EQ(simHost().violations, std::vector<std::string>{});
      simHost().violations.clear();
      callChecked(plugin().terminate, "FinaleExtensionTerminate", {0});
      EXPECT_EQ(storedPlace(dialog) != unplaced, ending.byPlugin);
    }
  }
  setDialogEnding(DialogEnding::PassesEverything);
}

TEST_F(HostEndsTheDialogsTest, EveryEndingLeavesNothingBehind) {
  score = SimDocument(1, 1);
  expectEveryEndingLeavesNothing(hostWindow, score, "match");
}

// A dialog the host cannot open leaves no run behind: its procedure, called
// later as a faulty host might, sets nothing up.
TEST_F(HostEndsTheDialogsTest, ADialogThatNeverOpenedLeavesNoRunBehind) {
  setDialogResourceModule(GetModuleHandleA(nullptr));  // not its templates
  callChecked(plugin().invoke, "FinaleExtensionInvoke",
              {argument(hostWindow), 1, 0, 0});
  setDialogResourceModule(plugin().module);
  ASSERT_EQ(simHost().ordinals(), std::vector<int>{15});
  const auto proc =
      reinterpret_cast<HostDialogProc>(simHost().calls[0].args[1]);
  HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 10, 10, nullptr, nullptr,
                              nullptr, nullptr);
  proc(window, WM_INITDIALOG, 0, 0, 0);
  EXPECT_EQ(GetPropA(window, "QZSearchReplace.DialogRun"), nullptr);
  EXPECT_EQ(simHost().violations,
            std::vector<std::string>{"service 15 could not create the dialog"});
  simHost().violations.clear();

  // Nor does an open dialog's run go to another window that the host sets
  // up with the same procedure.
  scriptedUser().expectDialog(
      IDD_TEXT_OPTIONS,
      {look([&](HWND) {
         proc(window, WM_INITDIALOG, 0, 0, 0);
         EXPECT_EQ(GetPropA(window, "QZSearchReplace.DialogRun"), nullptr);
       }),
       click(IDCANCEL)});
  callChecked(plugin().invoke, "FinaleExtensionInvoke",
              {argument(hostWindow), 1, 0, 0});
  DestroyWindow(window);
}

// A host that subclassed the criteria dialog while it ran keeps the
// procedure it replaced, the plug-in's, and passes messages on to it after
// the run is released: it answers them as a dialog does.
TEST_F(HostEndsTheDialogsTest, AProcedureKeptPastItsRunAnswersAsTheDialog) {
  setDialogEnding(DialogEnding::ReturnsFirst);
  HWND dialog = nullptr;
  WNDPROC kept = nullptr;
  scriptedUser().expectDialog(
      IDD_ENTRY_CRITERIA,
      {look([&](HWND d) {
         dialog = d;
         kept = reinterpret_cast<WNDPROC>(GetWindowLongA(d, GWL_WNDPROC));
       }),
       press(VK_ESCAPE)});
  const std::vector<uint8_t> region = selectionRegion(1, 1, 0, 1, 1, 4096);
  callChecked(plugin().invoke, "FinaleExtensionInvoke",
              {argument(hostWindow), 0, argument(region.data()), 0});
  ASSERT_TRUE(IsWindow(dialog));
  char caption[64] = {}, answered[64] = {};
  GetWindowTextA(dialog, caption, sizeof caption);
  CallWindowProcA(kept, dialog, WM_GETTEXT, sizeof answered,
                  reinterpret_cast<LPARAM>(answered));
  destroyEndedDialogs();
  EXPECT_NE(std::string(caption), "");
  EXPECT_EQ(std::string(answered), caption);
}
