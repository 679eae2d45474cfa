#include "ui/dialog_skeleton.h"

#include "host/byte_access.h"
#include "ui/dialog_utils.h"

namespace {

constexpr char RunProperty[] = "QZSearchReplace.DialogRun";

struct DialogRun {
  const DialogBehaviour* behaviour;
  void* context;
  uint8_t* position;
  HWND dialog;       // from WM_INITDIALOG until the run is released
  WNDPROC hostProc;  // the window procedure replaced, or null
};

// The one hand-off of the plug-in: the host's run service passes the
// dialog procedure no pointer of the caller's, so the run is left here just
// before the call and moved onto the dialog's window at WM_INITDIALOG.
DialogRun* pendingRun;

DialogRun* runOf(HWND dialog) {
  return static_cast<DialogRun*>(GetPropA(dialog, RunProperty));
}

// Ends a run once, however its dialog ends: the window gets its procedure
// back and loses the property (while it still carries this run: a window
// destroyed unseen has lost both), then the dialog frees what its context
// holds. A run that never opened, or is released already, is left alone.
void releaseRun(DialogRun& run) {
  HWND dialog = run.dialog;
  if (dialog == nullptr) return;
  run.dialog = nullptr;
  if (runOf(dialog) == &run) {
    if (run.hostProc != nullptr) {
      SetWindowLongA(dialog, GWL_WNDPROC, reinterpret_cast<LONG>(run.hostProc));
    }
    RemovePropA(dialog, RunProperty);
  }
  run.behaviour->release(run.context);
}

// The window procedure of a dialog that answers messages of its own. It
// sees the window's last message, WM_NCDESTROY, whatever the host passes
// on to the dialog procedure, and releases the run before the host's
// procedure sees it.
LRESULT CALLBACK answeringProc(HWND dialog, UINT message, WPARAM wParam,
                               LPARAM lParam) {
  DialogRun* run = runOf(dialog);
  if (run == nullptr) return DefDlgProcA(dialog, message, wParam, lParam);
  const WNDPROC hostProc = run->hostProc;
  if (message == WM_NCDESTROY) {
    releaseRun(*run);
  } else if (const LRESULT answer = run->behaviour->windowMessage(
                 dialog, message, wParam, lParam, run->context)) {
    return answer;
  }
  return CallWindowProcA(hostProc, dialog, message, wParam, lParam);
}

void initialiseRun(HWND dialog, DialogRun* run) {
  run->dialog = dialog;
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
// WM_NCDESTROY, the last message of a window the host ended or destroyed,
// releases the run; every message answers 0 otherwise.
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
  if (run == nullptr) return 0;
  if (message == WM_COMMAND) {
    run->behaviour->onCommand(dialog, commandOf(wParam), run->context);
  } else if (message == WM_NCDESTROY) {
    releaseRun(*run);
  }
  return 0;
}

}  // namespace

DialogCommand commandOf(uint32_t wParam) {
  return DialogCommand{low16(wParam), static_cast<int>(wParam >> 16)};
}

void runDialog(uint32_t dialogId, const DialogBehaviour& behaviour,
               HostWindow parent, void* context, uint8_t* position) {
  DialogRun run{&behaviour, context, position, nullptr, nullptr};
  pendingRun = &run;
  hostRunDialog(dialogId, dialogProc, parent, 1, 0, InterfaceVersion);
  pendingRun = nullptr;  // also when the dialog never opened
  // The run lives no longer than this call: a host that keeps the ended
  // window, or passes its last message on to nobody, has it released here.
  releaseRun(run);
}

void endDialog(HWND dialog) {
  if (DialogRun* run = runOf(dialog)) {
    saveWindowPosition(dialog, run->position);
    releaseRun(*run);
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
