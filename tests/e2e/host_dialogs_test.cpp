// The simulated host's dialog services on the plug-in's own dialog
// resources, driven by the scripted user: templates as the user sees them,
// the control kinds of services 57 and 58, enabling, focus, text, and the
// capture of message boxes.
#include <functional>
#include <string>
#include <vector>

#include "host/byte_access.h"
#include "host/host_services.h"
#include "tests/e2e/e2e_support.h"

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
    {20128,
     "QZ Search/Replace  v. 1.11a",
     {101, 111, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122,
      123, 149, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134,
      135, 136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147,
      148, 210, 151, 152, 153, 154, 155, 156, 157, 158, 159, 160, 161,
      162, 163, 164, 165, 201, 202, 203, 204, 205, 206, 2,   207}},
    {20129,
     "QZ Search and Replace 1.11a",
     {-1, 101, 102, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115,
      1, 2}},
    {20130,
     "Search results",
     {101, 102, 104, 103, 2, 1, 105, 106, 107, 108, 109, 110}},
};

}  // namespace

class HostDialogsTest : public HostTest {
 protected:
  void TearDown() override {
    onMessage = nullptr;
    HostTest::TearDown();
  }
};

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
            (std::vector<uint32_t>{20128, 20129, 20130}));
}

TEST_F(HostDialogsTest, ControlKindsRoundTripThroughTheUsersHands) {
  struct Read {
    int16_t duration, position, threeState, threeStateAsBox, noteRest, andOn,
        orOn;
  } read{};
  onMessage = [&](HWND dialog, uint32_t message, uint32_t command) {
    if (message == WM_INITDIALOG) {
      hostSetControlValue(dialog, 116, ControlCheckBox, 2, InterfaceVersion);
      hostSetControlValue(dialog, 117, ControlCheckBox, 1, InterfaceVersion);
      hostSetControlValue(dialog, 113, ControlNumericEdit, -12,
                          InterfaceVersion);
      hostSetControlValue(dialog, 202, ControlRadioButton, 1, InterfaceVersion);
    } else if (command == 205) {
      read.duration = valueOf(dialog, 113, ControlNumericEdit);
      read.position = valueOf(dialog, 115, ControlNumericEdit);
      read.threeState = valueOf(dialog, 116, ControlThreeStateBox);
      read.threeStateAsBox = valueOf(dialog, 116, ControlCheckBox);
      read.noteRest = valueOf(dialog, 117, ControlThreeStateBox);
      read.andOn = valueOf(dialog, 202, ControlRadioButton);
      read.orOn = valueOf(dialog, 203, ControlRadioButton);
      hostEndDialog(dialog, InterfaceVersion);
    }
  };
  std::string shownDuration;
  scriptedUser().expectDialog(
      20128, {look([&](HWND dialog) {
                shownDuration = textOf(GetDlgItem(dialog, 113));
              }),
              setCheck(117, 0), typeText(115, "not a number"), click(203),
              click(205)});
  runDialog(20128, hostWindow);
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
    HWND edit = GetDlgItem(dialog, 106);
    hostEnableControl(dialog, 106, 0x00010000u, InterfaceVersion);
    enabledAfterHighOnly = IsWindowEnabled(edit);
    hostEnableControl(dialog, 106, 0xFFFF0001u, InterfaceVersion);
    enabledAfterLowBit = IsWindowEnabled(edit);
  };
  scriptedUser().expectDialog(20129, {look([&](HWND dialog) {
                                        expectedFocus = GetDlgItem(dialog, 106);
                                        hostFocusControl(dialog, 106,
                                                         InterfaceVersion);
                                        focus = GetFocus();
                                      }),
                                      click(IDCANCEL)});
  runDialog(20129, hostWindow);
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
      hostSetControlText(dialog, 106, "replacement", InterfaceVersion);
    } else if (command == IDOK) {
      hostGetControlText(dialog, 101, buffer, 50, InterfaceVersion);
      shown = textOf(GetDlgItem(dialog, 106));
      hostEndDialog(dialog, InterfaceVersion);
    }
  };
  scriptedUser().expectDialog(
      20129, {typeText(101, std::string(60, 'x')), click(IDOK)});
  runDialog(20129, hostWindow);
  EXPECT_EQ(std::string(buffer), std::string(50, 'x'));
  EXPECT_EQ(static_cast<uint8_t>(buffer[51]), 0xEE) << "wrote past 51 bytes";
  EXPECT_EQ(shown, "replacement");
}

TEST_F(HostDialogsTest, MessageBoxesAreCapturedAndAnswered) {
  int answer = 0;
  HWND dialogWindow = nullptr;
  onMessage = [&](HWND dialog, uint32_t message, uint32_t command) {
    if (message == WM_COMMAND && command == 1) {
      dialogWindow = dialog;
      answer = MessageBoxA(dialog, "Proceed?", "Question",
                           MB_YESNO | MB_ICONWARNING);
      MessageBoxA(dialog, "Done.", "Info", MB_OK | MB_ICONERROR);
    }
  };
  scriptedUser().answerMessageBox(IDNO);
  scriptedUser().answerMessageBox(IDOK);
  scriptedUser().expectDialog(20130, {click(1), click(IDCANCEL)});
  runDialog(20130, hostWindow);
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
      hostEnableControl(dialog, 204, 0, InterfaceVersion);
      ShowWindow(GetDlgItem(dialog, 205), SW_HIDE);
    }
  };
  scriptedUser().expectDialog(20128, {click(204), click(205), click(IDCANCEL)});
  runDialog(20128, hostWindow);
  EXPECT_EQ(scriptedUser().problems,
            (std::vector<std::string>{"control 204 is not there to be used",
                                      "control 205 is not there to be used"}));
  scriptedUser().problems.clear();
}

TEST_F(HostDialogsTest, EveryServiceCallIsLoggedWithInterfaceVersionLast) {
  onMessage = [&](HWND dialog, uint32_t message, uint32_t) {
    if (message == WM_INITDIALOG) {
      hostSetControlText(dialog, 101, "x", 0x05000004u);
    }
  };
  scriptedUser().expectDialog(20130, {click(IDCANCEL)});
  runDialog(20130, hostWindow);
  ASSERT_GE(simHost().calls.size(), 3u);
  EXPECT_EQ(simHost().calls[0].ordinal, 15);
  EXPECT_EQ(simHost().calls[0].args[0], 20130u);
  EXPECT_EQ(simHost().calls[1].ordinal, 60);
  EXPECT_EQ(simHost().calls.back().ordinal, 16);
  EXPECT_EQ(simHost().violations,
            std::vector<std::string>{
                "service 60 called without InterfaceVersion last"});
  simHost().violations.clear();
}
