// The host's dialog services on real Win32 dialogs: service 15 runs one of
// the plug-in's own dialog resources with DialogBoxParam and forwards every
// message to the plug-in's five-argument dialog procedure; 57 and 58 map the
// host's control kinds onto check boxes, radio buttons and numeric edits.
// A dialog ended or destroyed by the host itself is ended without service
// 16, as a real host's own close would be.
#include "simhost/dialog_services.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <list>
#include <string>
#include <vector>

#include "host/byte_access.h"
#include "host/host_services.h"
#include "simhost/plugin_loader.h"
#include "simhost/scripted_user.h"
#include "simhost/sim_host.h"

namespace {

// The most bytes a character takes in any ANSI code page (UTF-8's four).
constexpr int MostBytesACharacter = 4;

// The kinds of controls of services 57 and 58 as the host numbers them,
// written apart from the plug-in's names for them, so that a wrong number
// on either side shows.
enum HostNumberedKind : uint32_t {
  CheckBoxKind = 1,
  RadioButtonKind = 2,
  NumericEditKind = 3,
  ThreeStateBoxKind = 5,
};

struct RunningDialog {
  HostDialogProc proc;
  uint32_t resourceId;
  // The window properties the plug-in's procedure put on the dialog as it
  // set it up (those of the system, as Wine's, are there before).
  std::vector<std::string> pluginProperties;
  // The window procedure the dialog was made with, which a plug-in that
  // puts its own in front must have put back by the window's last message.
  LONG windowProc;
  HWND window;           // known from the dialog's first message on
  bool lastMessageSeen;  // WM_NCDESTROY reached the host's procedure
};

// Dialogs are modal, so the innermost one running is the last; a run that
// returned first leaves its dialog among the ended ones until destroyed.
std::list<RunningDialog> runningDialogs;
std::list<RunningDialog> endedDialogs;
HMODULE resourceModule = nullptr;
DialogEnding ending = DialogEnding::PassesEverything;

RunningDialog* dialogOf(HWND window) {
  for (auto* dialogs : {&runningDialogs, &endedDialogs}) {
    for (RunningDialog& dialog : *dialogs) {
      if (dialog.window == window) return &dialog;
    }
  }
  // The innermost dialog's first message names its window.
  if (!runningDialogs.empty() && runningDialogs.back().window == nullptr) {
    runningDialogs.back().window = window;
    return &runningDialogs.back();
  }
  return nullptr;
}

uint32_t word(const void* pointer) { return argument(pointer); }

HWND control(HostWindow dialog, uint32_t controlId) {
  return GetDlgItem(static_cast<HWND>(dialog), low16(controlId));
}

// Whether a kind of services 57 and 58 fits the control it names: a host
// reads and sets each kind through its own control's messages, so a radio
// button asked for as a check box is a plug-in's mistake, not a choice.
bool fitsKind(HostWindow dialog, uint32_t controlId, uint32_t kind) {
  HWND window = control(dialog, controlId);
  char className[16] = {};
  GetClassNameA(window, className, sizeof className);
  if (kind == NumericEditKind) return lstrcmpiA(className, "Edit") == 0;
  if (lstrcmpiA(className, "Button") != 0) return false;
  const LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
  const bool threeState = type == BS_3STATE || type == BS_AUTO3STATE;
  switch (kind) {
    case CheckBoxKind:
      return threeState || type == BS_CHECKBOX || type == BS_AUTOCHECKBOX;
    case ThreeStateBoxKind:
      return threeState;
    case RadioButtonKind:
      return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
    default:
      return false;
  }
}

BOOL CALLBACK collectProperty(HWND, LPSTR name, HANDLE, ULONG_PTR names) {
  if (HIWORD(reinterpret_cast<uintptr_t>(name)) != 0) {
    reinterpret_cast<std::vector<std::string>*>(names)->push_back(name);
  }
  return TRUE;
}

// The window's properties that are named by a string.
std::vector<std::string> propertiesOf(HWND window) {
  std::vector<std::string> names;
  EnumPropsExA(window, collectProperty, reinterpret_cast<LPARAM>(&names));
  return names;
}

// At the window's last message, once the plug-in's procedure has seen it:
// a property the plug-in put on the window and has not taken off would be
// dropped unseen with the window.
void checkProcedureBack(HWND window, const RunningDialog& running) {
  if (GetWindowLongA(window, GWL_WNDPROC) != running.windowProc) {
    simHost().violation("dialog " + std::to_string(running.resourceId) +
                        " destroyed without its own window procedure");
  }
}

void checkPropertiesGone(HWND window, const RunningDialog& running) {
  for (const std::string& name : running.pluginProperties) {
    if (GetPropA(window, name.c_str()) != nullptr) {
      simHost().violation("dialog " + std::to_string(running.resourceId) +
                          " destroyed with the window property " + name +
                          " still on it");
    }
  }
  checkProcedureBack(window, running);
}

INT_PTR CALLBACK forwardingDialogProc(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) {
  RunningDialog* found = dialogOf(window);
  if (found == nullptr) return FALSE;
  RunningDialog& running = *found;
  if (message == WM_NCDESTROY) {
    running.lastMessageSeen = true;
    if (ending == DialogEnding::WithholdsLastMessage) {
      // A window procedure the plug-in put in front has seen the message
      // all the same, and must have stepped aside.
      checkProcedureBack(window, running);
      return FALSE;
    }
  }
  if (message == WM_USER_STEP) {
    scriptedUser().runNextStep(window);
    return TRUE;
  }
  const std::vector<std::string> before = message == WM_INITDIALOG
                                              ? propertiesOf(window)
                                              : std::vector<std::string>{};
  if (message == WM_INITDIALOG) {
    running.windowProc = GetWindowLongA(window, GWL_WNDPROC);
  }
  const uint32_t result = callChecked(
      reinterpret_cast<const void*>(running.proc), "the dialog procedure",
      {word(window), message, static_cast<uint32_t>(wParam),
       static_cast<uint32_t>(lParam), 0});
  if (message == WM_INITDIALOG) {
    for (const std::string& name : propertiesOf(window)) {
      if (std::find(before.begin(), before.end(), name) == before.end()) {
        running.pluginProperties.push_back(name);
      }
    }
    scriptedUser().dialogStarted(window, running.resourceId);
  } else if (message == WM_DESTROY) {
    scriptedUser().dialogEnded(window);
  } else if (message == WM_NCDESTROY) {
    checkPropertiesGone(window, running);
  }
  return static_cast<INT_PTR>(result);
}

// Runs the dialog in a modal loop of the host's own that ends as soon as
// the dialog is ended (hidden) or destroyed; the window of an ended dialog
// stays, and the dialog moves to the ended ones.
INT_PTR runUntilEnded(HMODULE module, uint32_t resourceId, HWND owner,
                      std::list<RunningDialog>::iterator dialog, bool* kept) {
  HWND window = CreateDialogParamA(module, MAKEINTRESOURCEA(low16(resourceId)),
                                   owner, forwardingDialogProc, 0);
  if (window == nullptr) return -1;
  EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  MSG msg;
  while (IsWindow(window) && IsWindowVisible(window) &&
         GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageA(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  EnableWindow(owner, TRUE);
  if (IsWindow(window)) {
    scriptedUser().dialogEnded(window);
    endedDialogs.splice(endedDialogs.end(), runningDialogs, dialog);
    *kept = true;
  }
  return 1;
}

}  // namespace

void setDialogResourceModule(HMODULE module) { resourceModule = module; }

void setDialogEnding(DialogEnding how) { ending = how; }

void destroyEndedDialogs() {
  while (!endedDialogs.empty()) {
    DestroyWindow(endedDialogs.front().window);
    endedDialogs.pop_front();
  }
}

void endDialogAsHost(HWND dialog) { EndDialog(dialog, 0); }

void destroyDialogAsHost(HWND dialog) { DestroyWindow(dialog); }

extern "C" {

uint32_t HOST_CALL hostRunDialog(uint32_t resourceId, HostDialogProc proc,
                                 HostWindow owner, uint32_t one, uint32_t zero,
                                 uint32_t version) {
  SimHost& host = simHost();
  host.log(
      15,
      {resourceId, word(reinterpret_cast<void*>(proc)), word(owner), one, zero},
      version);
  HMODULE module = resourceModule;
  if (module == nullptr &&
      !GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                              GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(proc), &module)) {
    host.violation("service 15 with a procedure outside any module");
    return host.result16(0);
  }
  runningDialogs.push_back(
      RunningDialog{proc, resourceId, {}, 0, nullptr, false});
  const auto dialog = std::prev(runningDialogs.end());
  bool kept = false;
  const INT_PTR result =
      ending == DialogEnding::ReturnsFirst
          ? runUntilEnded(module, resourceId, static_cast<HWND>(owner), dialog,
                          &kept)
          : DialogBoxParamA(module, MAKEINTRESOURCEA(low16(resourceId)),
                            static_cast<HWND>(owner), forwardingDialogProc, 0);
  if (result == -1) host.violation("service 15 could not create the dialog");
  if (!kept) {
    // A window procedure the plug-in put in front must pass the window's
    // last message on, or the host never sees its dialog go.
    if (result != -1 && !dialog->lastMessageSeen) {
      host.violation("dialog " + std::to_string(resourceId) +
                     " destroyed without its last message reaching the host");
    }
    runningDialogs.erase(dialog);
  }
  return host.result16(result == -1 ? 0 : 1);
}

uint32_t HOST_CALL hostEndDialog(HostWindow dialog, uint32_t version) {
  SimHost& host = simHost();
  host.log(16, {word(dialog)}, version);
  return host.result16(EndDialog(static_cast<HWND>(dialog), 1));
}

uint32_t HOST_CALL hostEnableControl(HostWindow dialog, uint32_t controlId,
                                     uint32_t flag, uint32_t version) {
  SimHost& host = simHost();
  host.log(35, {word(dialog), controlId, flag}, version);
  EnableWindow(control(dialog, controlId), low16(flag) != 0);
  return host.result16(1);
}

uint32_t HOST_CALL hostFocusControl(HostWindow dialog, uint32_t controlId,
                                    uint32_t version) {
  SimHost& host = simHost();
  host.log(36, {word(dialog), controlId}, version);
  SetFocus(control(dialog, controlId));
  return host.result16(1);
}

uint32_t HOST_CALL hostGetControlValue(HostWindow dialog, uint32_t controlId,
                                       uint32_t kind, uint32_t version) {
  SimHost& host = simHost();
  host.log(57, {word(dialog), controlId, kind}, version);
  if (!fitsKind(dialog, controlId, kind)) {
    host.violation("service 57 with a kind its control does not have");
  }
  HWND window = static_cast<HWND>(dialog);
  const int id = low16(controlId);
  const UINT state = IsDlgButtonChecked(window, id);
  switch (kind) {
    case CheckBoxKind:
    case RadioButtonKind:
      return host.result16(state == BST_CHECKED ? 1 : 0);
    case ThreeStateBoxKind:
      return host.result16(state == BST_INDETERMINATE ? 2
                           : state == BST_CHECKED     ? 1
                                                      : 0);
    case NumericEditKind: {
      // Text that is not a number reads as 0.
      BOOL ok = FALSE;
      const int value = static_cast<int>(GetDlgItemInt(window, id, &ok, TRUE));
      return host.result16(ok ? static_cast<uint32_t>(value) : 0);
    }
    default:
      host.violation("service 57 with an unknown kind");
      return host.result16(0);
  }
}

uint32_t HOST_CALL hostSetControlValue(HostWindow dialog, uint32_t controlId,
                                       uint32_t kind, int32_t value,
                                       uint32_t version) {
  SimHost& host = simHost();
  host.log(58, {word(dialog), controlId, kind, static_cast<uint32_t>(value)},
           version);
  if (!fitsKind(dialog, controlId, kind)) {
    host.violation("service 58 with a kind its control does not have");
  }
  HWND window = static_cast<HWND>(dialog);
  const int id = low16(controlId);
  const int16_t number = low16(static_cast<uint32_t>(value));
  switch (kind) {
    case CheckBoxKind:
      CheckDlgButton(window, id,
                     number == 2 ? BST_INDETERMINATE
                     : number    ? BST_CHECKED
                                 : BST_UNCHECKED);
      break;
    case RadioButtonKind:
      CheckDlgButton(window, id, number ? BST_CHECKED : BST_UNCHECKED);
      break;
    case NumericEditKind:
      SetDlgItemInt(window, id, static_cast<UINT>(number), TRUE);
      break;
    default:
      host.violation("service 58 with an unknown kind");
  }
  return host.result16(1);
}

uint32_t HOST_CALL hostGetControlText(HostWindow dialog, uint32_t controlId,
                                      char* buffer, uint32_t maxChars,
                                      uint32_t version) {
  SimHost& host = simHost();
  host.log(59, {word(dialog), controlId, word(buffer), maxChars}, version);
  if (buffer == nullptr) {
    host.violation("service 59 without a buffer");
    return host.result16(0);
  }
  // At most maxChars characters and the terminator.
  HWND window = control(dialog, controlId);
  if (!host.textLimitInCharacters) {
    GetWindowTextA(window, buffer, static_cast<int>(maxChars) + 1);
    return host.result16(1);
  }
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1,
                    L'\0');
  text.resize(static_cast<size_t>(
      GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
  size_t units = 0;
  for (uint32_t n = 0; n < maxChars && units < text.size(); ++n) {
    units += IS_HIGH_SURROGATE(text[units]) ? 2 : 1;
  }
  const int bytes = WideCharToMultiByte(
      CP_ACP, 0, text.data(), static_cast<int>(std::min(units, text.size())),
      buffer, MostBytesACharacter * static_cast<int>(maxChars), nullptr,
      nullptr);
  buffer[bytes] = '\0';
  return host.result16(1);
}

uint32_t HOST_CALL hostSetControlText(HostWindow dialog, uint32_t controlId,
                                      const char* text, uint32_t version) {
  SimHost& host = simHost();
  host.log(60, {word(dialog), controlId, word(text)}, version);
  SetDlgItemTextA(static_cast<HWND>(dialog), low16(controlId),
                  text ? text : "");
  return host.result16(1);
}

}  // extern "C"
