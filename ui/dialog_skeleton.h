// What the plug-in's three dialogs do alike, written once: the message
// dispatch of a dialog procedure, the command of a WM_COMMAND, the fonts
// they give their controls, the error box that keeps a dialog open, and
// closing a dialog where it will reopen. Each dialog supplies only its set-up
// and its commands.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_services.h"

// A WM_COMMAND as a dialog reads it: the control id (the low word of wParam,
// signed) and the notification code (the high word; 0 for a click).
struct DialogCommand {
  int id;
  int code;
};

DialogCommand commandOf(uint32_t wParam);

// What one dialog does with its messages.
struct DialogBehaviour {
  void (*initialise)(HWND dialog);                      // at WM_INITDIALOG
  void (*onCommand)(HWND dialog, DialogCommand command);  // at WM_COMMAND
};

// The body of a dialog procedure: WM_INITDIALOG initialises and answers 1
// (the system sets the focus); WM_COMMAND goes to the dialog's commands;
// every message answers 0 otherwise.
int32_t dispatchDialogMessage(const DialogBehaviour& behaviour,
                              HostWindow window, uint32_t message,
                              uint32_t wParam);

// The face of every font a dialog creates, and its family: a Swiss
// (sans-serif) face of default pitch, as in the templates.
constexpr char DialogFontFace[] = "MS Sans Serif";
constexpr BYTE DialogFontFamily = FF_SWISS | DEFAULT_PITCH;

// A font of the dialog face: its size in points, its weight (0: the
// default) and its character set.
struct DialogFont {
  int pointSize;
  int weight;
  BYTE charset;
};

// Creates the font at the dialog's resolution and gives it to a control,
// redrawing it. The caller deletes the font when the dialog closes.
HFONT giveControlFont(HWND dialog, int controlId, const DialogFont& font);

// An error the user can mend: a message box with the error icon and an OK
// button, owned by the dialog, which stays open.
void showDialogError(HWND dialog, const char* text, const char* title);
// The same, and the focus then goes to the field at fault (host dialog
// service 36).
void showFieldError(HWND dialog, const char* text, const char* title,
                    int fieldId);

// Remembers where the dialog is, into a WindowPosition, then ends it (host
// dialog service 16).
void endDialogAt(HWND dialog, uint8_t* position);
