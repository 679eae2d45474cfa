#include "ui/dialog_skeleton.h"

#include "host/byte_access.h"
#include "ui/dialog_utils.h"

DialogCommand commandOf(uint32_t wParam) {
  return DialogCommand{low16(wParam), static_cast<int>(wParam >> 16)};
}

int32_t dispatchDialogMessage(const DialogBehaviour& behaviour,
                              HostWindow window, uint32_t message,
                              uint32_t wParam) {
  HWND dialog = static_cast<HWND>(window);
  if (message == WM_INITDIALOG) {
    behaviour.initialise(dialog);
    return 1;
  }
  if (message == WM_COMMAND) behaviour.onCommand(dialog, commandOf(wParam));
  return 0;
}

const char* userTextFace(CharacterForm form) {
  return form == CharacterForm::Utf8 ? LinkedFontFace : DialogFontFace;
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

void endDialogAt(HWND dialog, uint8_t* position) {
  saveWindowPosition(dialog, position);
  hostEndDialog(dialog, InterfaceVersion);
}
