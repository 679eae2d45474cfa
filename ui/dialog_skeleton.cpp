#include "ui/dialog_skeleton.h"

#include "host/byte_access.h"
#include "ui/dialog_utils.h"

namespace {

constexpr char RunProperty[] = "QZSearchReplace.DialogRun";

struct DialogRun {
  const DialogBehaviour* behaviour;
  void* context;
  uint8_t* position;
  WNDPROC hostProc;  // the window procedure replaced, or null
};

// The one hand-off of the plug-in: the host's run service passes the
// dialog procedure no pointer of the caller's, so the run is left here just
// before the call and moved onto the dialog's window at WM_INITDIALOG.
DialogRun* pendingRun;

DialogRun* runOf(HWND dialog) {
  return static_cast<DialogRun*>(GetPropA(dialog, RunProperty));
}

LRESULT CALLBACK answeringProc(HWND dialog, UINT message, WPARAM wParam,
                               LPARAM lParam) {
  DialogRun* run = runOf(dialog);
  if (run == nullptr) return DefDlgProcA(dialog, message, wParam, lParam);
  const LRESULT answer = run->behaviour->windowMessage(dialog, message, wParam,
                                                       lParam, run->context);
  if (answer != 0) return answer;
  return CallWindowProcA(run->hostProc, dialog, message, wParam, lParam);
}

void initialiseRun(HWND dialog, DialogRun* run) {
  SetPropA(dialog, RunProperty, run);
  restoreWindowPosition(dialog, run->position);
  run->behaviour->initialise(dialog, run->context);
  if (run->behaviour->windowMessage != nullptr) {
    run->hostProc = reinterpret_cast<WNDPROC>(SetWindowLongA(
        dialog, GWL_WNDPROC, reinterpret_cast<LONG>(answeringProc)));
  }
}

// The procedure of every dialog: WM_INITDIALOG takes the run and answers 1
// (the system sets the focus); WM_COMMAND goes to the dialog's commands;
// every message answers 0 otherwise.
int32_t HOST_CALL dialogProc(HostWindow window, uint32_t message,
                             uint32_t wParam, int32_t, uint32_t) {
  HWND dialog = static_cast<HWND>(window);
  if (message == WM_INITDIALOG) {
    DialogRun* run = pendingRun;
    pendingRun = nullptr;
    if (run != nullptr) initialiseRun(dialog, run);
    return 1;
  }
  DialogRun* run = runOf(dialog);
  if (message == WM_COMMAND && run != nullptr) {
    run->behaviour->onCommand(dialog, commandOf(wParam), run->context);
  }
  return 0;
}

}  // namespace

DialogCommand commandOf(uint32_t wParam) {
  return DialogCommand{low16(wParam), static_cast<int>(wParam >> 16)};
}

void runDialog(uint32_t dialogId, const DialogBehaviour& behaviour,
               HostWindow parent, void* context, uint8_t* position) {
  DialogRun run{&behaviour, context, position, nullptr};
  pendingRun = &run;
  hostRunDialog(dialogId, dialogProc, parent, 1, 0, InterfaceVersion);
  pendingRun = nullptr;  // also when the dialog never opened
}

void endDialog(HWND dialog) {
  if (DialogRun* run = runOf(dialog)) {
    if (run->hostProc != nullptr) {
      SetWindowLongA(dialog, GWL_WNDPROC,
                     reinterpret_cast<LONG>(run->hostProc));
    }
    saveWindowPosition(dialog, run->position);
    RemovePropA(dialog, RunProperty);
  }
  hostEndDialog(dialog, InterfaceVersion);
}

HFONT createDialogFont(HWND dialog, const DialogFont& font, const char* face) {
  HDC dc = GetDC(dialog);
  const int height = -MulDiv(font.pointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(dialog, dc);
  return CreateFontA(height, 0, 0, 0, font.weight, 0, 0, 0, font.charset, 0, 0,
                     0, DialogFontFamily, face);
}

void setControlFont(HWND dialog, int controlId, HFONT font) {
  SendDlgItemMessageA(dialog, controlId, WM_SETFONT,
                      reinterpret_cast<WPARAM>(font), 1);
}

HFONT giveControlFont(HWND dialog, int controlId, const DialogFont& font,
                      const char* face) {
  HFONT created = createDialogFont(dialog, font, face);
  setControlFont(dialog, controlId, created);
  return created;
}

void showDialogError(HWND dialog, const char* text, const char* title) {
  MessageBoxA(dialog, text, title, MB_OK | MB_ICONERROR);
}

void showFieldError(HWND dialog, const char* text, const char* title,
                    int fieldId) {
  showDialogError(dialog, text, title);
  hostFocusControl(dialog, static_cast<uint32_t>(fieldId), InterfaceVersion);
}
