// A scripted user for the simulated host: a test lists what a person does in
// each dialog (set a check box, type into an edit, press a key, click a
// button, or look at the dialog) and how to answer each message box. Steps
// run one per posted message inside the dialog's real modal loop, through
// real window messages; typing posts the keyboard's messages one at a time to
// the focused control, so the dialog manager and the control take them as
// they take a person's. Message boxes are caught by a CBT hook, recorded and
// answered.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

// One message of the keyboard, posted to the focused control; a
// WM_NEXTDLGCTL goes to the dialog instead, naming the control in wParam.
struct Keystroke {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

struct UserStep {
  enum Action { SetCheck, Type, Keys, Click, Look } action;
  int controlId;
  int state;
  std::string text;
  std::function<void(HWND)> look;
  std::vector<Keystroke> keys;  // Keys: those not posted yet
};

// Clicks a check box until it shows `state` (0, 1 or 2), as a person would.
UserStep setCheck(int controlId, int state);
// Moves to an edit as the Tab key does (its text selected) and types `text`,
// bytes of the ANSI code page, over it: one character a message; an empty
// `text` is Backspace.
UserStep typeText(int controlId, const std::string& text);
// Types `text` into the control that has the focus.
UserStep typeText(const std::string& text);
// Presses and releases a key (VK_TAB, VK_RETURN, VK_ESCAPE, VK_SPACE...)
// on the focused control.
UserStep press(UINT virtualKey);
// Holds Alt and presses a letter: the dialog's mnemonic for it.
UserStep pressAlt(char letter);
UserStep click(int controlId);
// Runs `look` on the dialog window while it is up.
UserStep look(std::function<void(HWND)> look);

enum class BoxIcon { None, Information, Warning, Error, Question };

struct MessageBoxSeen {
  HWND owner;
  std::string title;
  std::string text;
  BoxIcon icon;
  std::vector<int> buttons;  // IDOK, IDCANCEL, IDYES, IDNO present
  int answer;
};

class ScriptedUser {
 public:
  // Queues what to do in the next dialog run by the host, which must be the
  // resource `resourceId`.
  void expectDialog(uint32_t resourceId, std::vector<UserStep> steps);
  // Queues the button to press in the next message box.
  void answerMessageBox(int buttonId);
  // When set, each message box is first shown on the screen and handed to
  // this function (to take its picture, say) before it is answered.
  std::function<void(HWND)> beforeAnswer;

  // Hooks the calling thread; unhooking leaves what was recorded.
  void install();
  void uninstall();
  // Forgets the script and what was recorded.
  void reset();

  std::vector<MessageBoxSeen> boxes;
  std::vector<uint32_t> dialogsRun;
  // Anything a person could not have done or did not expect.
  std::vector<std::string> problems;

  // Called by the host's dialog service.
  void dialogStarted(HWND dialog, uint32_t resourceId);
  void dialogEnded(HWND dialog);
  void runNextStep(HWND dialog);
  bool isPluginDialog(HWND window) const;
  void messageBoxActivated(HWND box);
  void answerShownBox(HWND box);
  void windowDestroyed(HWND window);

 private:
  struct PendingDialog {
    uint32_t resourceId;
    std::deque<UserStep> steps;
  };
  struct ActiveDialog {
    HWND window;
    uint32_t resourceId;
    std::deque<UserStep> steps;
    bool cancelled;
    bool waiting;  // for a message box over it to close
  };
  std::deque<PendingDialog> pending_;
  std::vector<ActiveDialog> active_;
  std::deque<int> answers_;
  std::vector<std::pair<HWND, int>> pendingAnswers_;
  std::vector<HWND> openBoxes_;
  HHOOK hook_ = nullptr;

  void perform(HWND dialog, const UserStep& step);
  void spellOut(HWND dialog, UserStep* step);
  void postNextKey(HWND dialog, ActiveDialog* active);
};

ScriptedUser& scriptedUser();

// The private message that asks a dialog to take the user's next step.
constexpr UINT WM_USER_STEP = WM_APP + 0x51;
