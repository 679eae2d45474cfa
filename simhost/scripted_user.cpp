#include "simhost/scripted_user.h"

#include <algorithm>
#include <cctype>

namespace {

LRESULT CALLBACK cbtHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_DESTROYWND) {
    scriptedUser().windowDestroyed(reinterpret_cast<HWND>(wParam));
  }
  if (code == HCBT_ACTIVATE) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    // A message box is a system dialog with its text in static 0xFFFF.
    if (strcmp(className, "#32770") == 0 &&
        GetDlgItem(window, 0xFFFF) != nullptr &&
        !scriptedUser().isPluginDialog(window)) {
      scriptedUser().messageBoxActivated(window);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string windowText(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

BoxIcon iconOf(HWND box) {
  // The message box's icon static (id 0x440 under Wine and Windows).
  HICON icon = reinterpret_cast<HICON>(
      SendDlgItemMessageA(box, 0x440, STM_GETICON, 0, 0));
  if (icon == nullptr) return BoxIcon::None;
  if (icon == LoadIcon(nullptr, IDI_ASTERISK)) return BoxIcon::Information;
  if (icon == LoadIcon(nullptr, IDI_EXCLAMATION)) return BoxIcon::Warning;
  if (icon == LoadIcon(nullptr, IDI_HAND)) return BoxIcon::Error;
  if (icon == LoadIcon(nullptr, IDI_QUESTION)) return BoxIcon::Question;
  return BoxIcon::None;
}

void CALLBACK answerTimer(HWND box, UINT, UINT_PTR, DWORD) {
  scriptedUser().answerShownBox(box);
}

bool usable(HWND control) {
  const LONG style = GetWindowLongA(control, GWL_STYLE);
  return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

// The lParam of a key's message: one press, the key's scan code, whether Alt
// is held, and for a release the previous-state and transition bits.
LPARAM keyData(UINT virtualKey, bool alt, bool release) {
  LPARAM data = 1 | static_cast<LPARAM>(
                        MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC) << 16);
  if (alt) data |= 1 << 29;
  if (release) data |= static_cast<LPARAM>(0xC0000000u);
  return data;
}

bool isRelease(const Keystroke& key) {
  return key.message == WM_KEYUP || key.message == WM_SYSKEYUP;
}

// A person's key: down and up. The modal loop's TranslateMessage makes the
// key's character (WM_CHAR, or WM_SYSCHAR with Alt) from the down message,
// as it does for a real keyboard.
UserStep keyStep(UINT down, UINT up, UINT virtualKey, bool alt) {
  UserStep step{UserStep::Keys, 0, 0, {}, {}, {}};
  step.keys = {{down, virtualKey, keyData(virtualKey, alt, false)},
               {up, virtualKey, keyData(virtualKey, alt, true)}};
  return step;
}

}  // namespace

ScriptedUser& scriptedUser() {
  static ScriptedUser user;
  return user;
}

UserStep setCheck(int controlId, int state) {
  return UserStep{UserStep::SetCheck, controlId, state, {}, {}, {}};
}
UserStep typeText(int controlId, const std::string& text) {
  return UserStep{UserStep::Type, controlId, 0, text, {}, {}};
}
UserStep typeText(const std::string& text) { return typeText(0, text); }
UserStep press(UINT virtualKey) {
  return keyStep(WM_KEYDOWN, WM_KEYUP, virtualKey, false);
}
UserStep pressAlt(char letter) {
  const UINT key =
      static_cast<UINT>(toupper(static_cast<unsigned char>(letter)));
  return keyStep(WM_SYSKEYDOWN, WM_SYSKEYUP, key, true);
}
UserStep click(int controlId) {
  return UserStep{UserStep::Click, controlId, 0, {}, {}, {}};
}
UserStep look(std::function<void(HWND)> fn) {
  return UserStep{UserStep::Look, 0, 0, {}, std::move(fn), {}};
}

void ScriptedUser::expectDialog(uint32_t resourceId,
                                std::vector<UserStep> steps) {
  pending_.push_back(PendingDialog{
      resourceId, std::deque<UserStep>(steps.begin(), steps.end())});
}

void ScriptedUser::answerMessageBox(int buttonId) {
  answers_.push_back(buttonId);
}

void ScriptedUser::install() {
  if (hook_ == nullptr) {
    hook_ = SetWindowsHookExA(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());
  }
}

void ScriptedUser::uninstall() {
  if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
  hook_ = nullptr;
}

void ScriptedUser::reset() {
  pending_.clear();
  active_.clear();
  answers_.clear();
  pendingAnswers_.clear();
  openBoxes_.clear();
  boxes.clear();
  dialogsRun.clear();
  problems.clear();
}

void ScriptedUser::dialogStarted(HWND dialog, uint32_t resourceId) {
  dialogsRun.push_back(resourceId);
  ActiveDialog active{dialog, resourceId, {}, false, false};
  if (pending_.empty()) {
    problems.push_back("dialog " + std::to_string(resourceId) +
                       " opened without a script");
  } else if (pending_.front().resourceId != resourceId) {
    problems.push_back("dialog " + std::to_string(resourceId) +
                       " opened where the script expected " +
                       std::to_string(pending_.front().resourceId));
  } else {
    active.steps = std::move(pending_.front().steps);
    pending_.pop_front();
  }
  active_.push_back(std::move(active));
  PostMessageA(dialog, WM_USER_STEP, 0, 0);
}

void ScriptedUser::dialogEnded(HWND dialog) {
  for (size_t i = 0; i < active_.size(); ++i) {
    if (active_[i].window == dialog) {
      std::deque<UserStep>& steps = active_[i].steps;
      // The release of the key that closed the dialog goes elsewhere.
      if (!steps.empty() && steps.front().action == UserStep::Keys &&
          std::all_of(steps.front().keys.begin(), steps.front().keys.end(),
                      isRelease)) {
        steps.pop_front();
      }
      if (!steps.empty()) {
        problems.push_back("dialog " + std::to_string(active_[i].resourceId) +
                           " closed before the script's last step");
      }
      active_.erase(active_.begin() + static_cast<long>(i));
      return;
    }
  }
}

bool ScriptedUser::isPluginDialog(HWND window) const {
  for (const ActiveDialog& active : active_) {
    if (active.window == window) return true;
  }
  return false;
}

void ScriptedUser::runNextStep(HWND dialog) {
  ActiveDialog* active = nullptr;
  for (ActiveDialog& candidate : active_) {
    if (candidate.window == dialog) active = &candidate;
  }
  if (active == nullptr) return;
  if (!IsWindowEnabled(dialog)) {
    // A message box is over the dialog: the step waits until it has closed.
    active->waiting = true;
    return;
  }
  if (!active->steps.empty() && active->steps.front().action == UserStep::Type)
    spellOut(dialog, &active->steps.front());
  if (!active->steps.empty() &&
      active->steps.front().action == UserStep::Keys) {
    postNextKey(dialog, active);
    return;
  }
  if (active->steps.empty()) {
    // Nobody would leave the dialog open for ever: close it so the run ends.
    if (!active->cancelled) {
      active->cancelled = true;
      problems.push_back("dialog " + std::to_string(active->resourceId) +
                         " still open after the script's last step");
      PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    return;
  }
  UserStep step = std::move(active->steps.front());
  active->steps.pop_front();
  perform(dialog, step);
  // The next step comes only once this one is over, message boxes included,
  // and only while the dialog is still open.
  if (isPluginDialog(dialog)) PostMessageA(dialog, WM_USER_STEP, 0, 0);
}

void ScriptedUser::spellOut(HWND dialog, UserStep* step) {
  step->action = UserStep::Keys;
  std::vector<Keystroke> keys;
  if (step->controlId != 0) {
    HWND control = GetDlgItem(dialog, step->controlId);
    if (control == nullptr || !usable(control)) {
      problems.push_back("control " + std::to_string(step->controlId) +
                         " is not there to type into");
      return;
    }
    keys.push_back({WM_NEXTDLGCTL, static_cast<WPARAM>(step->controlId), 0});
  }
  // The characters as the keyboard hands them on: UTF-16, whatever the
  // code page; the control, ANSI or not, gets them as whole characters.
  const std::string& text = step->text;
  std::wstring units(text.size(), L'\0');
  const int count = MultiByteToWideChar(
      CP_ACP, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
      &units[0], static_cast<int>(units.size()));
  if (count == 0 && !text.empty()) {
    problems.push_back("\"" + text + "\" is not text of code page " +
                       std::to_string(GetACP()));
  }
  for (int i = 0; i < count; ++i) keys.push_back({WM_CHAR, units[i], 1});
  // Nothing typed over the selected text: Backspace clears it.
  if (text.empty()) {
    const std::vector<Keystroke> back =
        keyStep(WM_KEYDOWN, WM_KEYUP, VK_BACK, false).keys;
    keys.insert(keys.end(), back.begin(), back.end());
  }
  step->keys = std::move(keys);
}

void ScriptedUser::postNextKey(HWND dialog, ActiveDialog* active) {
  UserStep& step = active->steps.front();
  if (!step.keys.empty()) {
    const Keystroke key = step.keys.front();
    step.keys.erase(step.keys.begin());
    if (key.message == WM_NEXTDLGCTL) {
      // As the Tab key moves there: the dialog manager selects an edit's
      // text, so what is typed replaces it.
      PostMessageW(dialog, WM_NEXTDLGCTL,
                   reinterpret_cast<WPARAM>(
                       GetDlgItem(dialog, static_cast<int>(key.wParam))),
                   TRUE);
    } else {
      HWND focus = GetFocus();
      if (focus == nullptr || !IsChild(dialog, focus)) {
        problems.push_back("no control of dialog " +
                           std::to_string(active->resourceId) +
                           " has the focus to take a key");
      } else {
        PostMessageW(focus, key.message, key.wParam, key.lParam);
      }
    }
  }
  if (step.keys.empty()) active->steps.pop_front();
  // Queued behind the key: the next step comes once the key has been taken.
  PostMessageA(dialog, WM_USER_STEP, 0, 0);
}

void ScriptedUser::perform(HWND dialog, const UserStep& step) {
  if (step.action == UserStep::Look) {
    step.look(dialog);
    return;
  }
  HWND control = GetDlgItem(dialog, step.controlId);
  if (control == nullptr || !usable(control)) {
    problems.push_back("control " + std::to_string(step.controlId) +
                       " is not there to be used");
    return;
  }
  switch (step.action) {
    case UserStep::SetCheck:
      // Automatic boxes cycle through their states on each click.
      for (int i = 0;
           i < 3 && SendMessageA(control, BM_GETCHECK, 0, 0) != step.state;
           ++i) {
        SendMessageA(control, BM_CLICK, 0, 0);
      }
      if (SendMessageA(control, BM_GETCHECK, 0, 0) != step.state) {
        problems.push_back("check box " + std::to_string(step.controlId) +
                           " does not take state " +
                           std::to_string(step.state));
      }
      break;
    case UserStep::Click:
      SendMessageA(control, BM_CLICK, 0, 0);
      break;
    default:
      break;
  }
}

void ScriptedUser::messageBoxActivated(HWND box) {
  MessageBoxSeen seen;
  seen.owner = GetWindow(box, GW_OWNER);
  seen.title = windowText(box);
  seen.text = windowText(GetDlgItem(box, 0xFFFF));
  seen.icon = iconOf(box);
  for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
    if (GetDlgItem(box, id) != nullptr) seen.buttons.push_back(id);
  }
  if (answers_.empty()) {
    problems.push_back("unexpected message box: " + seen.text);
    seen.answer = seen.buttons.empty() ? IDCANCEL : seen.buttons.front();
  } else {
    seen.answer = answers_.front();
    answers_.pop_front();
  }
  boxes.push_back(seen);
  openBoxes_.push_back(box);
  if (beforeAnswer) {
    // Answer once the box is on the screen: the timer fires inside the
    // box's own modal loop.
    pendingAnswers_.emplace_back(box, seen.answer);
    SetTimer(box, 1, 100, answerTimer);
    return;
  }
  PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(seen.answer), 0);
}

void ScriptedUser::answerShownBox(HWND box) {
  KillTimer(box, 1);
  for (size_t i = 0; i < pendingAnswers_.size(); ++i) {
    if (pendingAnswers_[i].first != box) continue;
    const int answer = pendingAnswers_[i].second;
    pendingAnswers_.erase(pendingAnswers_.begin() + static_cast<long>(i));
    beforeAnswer(box);
    PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
    return;
  }
}

void ScriptedUser::windowDestroyed(HWND window) {
  auto box = std::find(openBoxes_.begin(), openBoxes_.end(), window);
  if (box == openBoxes_.end()) return;
  openBoxes_.erase(box);
  // The box has ended and given its owner back: a step that waited goes on.
  for (ActiveDialog& active : active_) {
    if (active.waiting) {
      active.waiting = false;
      PostMessageA(active.window, WM_USER_STEP, 0, 0);
    }
  }
}
