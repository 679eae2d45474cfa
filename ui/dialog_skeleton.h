// What the plug-in's three dialogs do alike, written once: running a dialog
// through the host with a state of its own, the message dispatch, the
// command of a WM_COMMAND, placing the dialog where it was and closing it
// where it will reopen, a window procedure of its own where a dialog needs
// one, the fonts it gives its controls, the error box that keeps it open,
// and the one release of what a run holds, however the dialog ends. Each
// dialog supplies only its set-up, its commands, its release and its
// context.
//
// Where state lives: a dialog's context is a record its run call owns for
// as long as the host runs the dialog; the procedure finds it on the
// dialog's own window (a window property, removed when the run is
// released). The host's run service carries no user pointer, so each run is
// handed over once through the skeleton, just before the call (see the
// .cpp).
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

// What one dialog does with its messages; `context` is its run's context.
struct DialogBehaviour {
  // At WM_INITDIALOG, once the dialog stands where it was (the system then
  // sets the focus).
  void (*initialise)(HWND dialog, void* context);
  // At WM_COMMAND.
  void (*onCommand)(HWND dialog, DialogCommand command, void* context);
  // Null, or the messages the dialog answers in a window procedure of its
  // own, ahead of the host's (from WM_INITDIALOG until the dialog ends): a
  // non-zero answer is the window's, zero passes the message on.
  LRESULT(*windowMessage)
  (HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, void* context);
  // Frees what the context holds (fonts, brushes, texts). The skeleton
  // calls it exactly once per opened dialog, however the dialog ends: on
  // the dialog's own command (endDialog), when the host ends or destroys the
  // window (WM_NCDESTROY), or at the latest when the host's run returns;
  // the property is then off the window and its window procedure back.
  void (*release)(void* context);
};

// A dialog's context as its behaviour's functions receive it.
template <typename Context>
Context& contextOf(void* context) {
  return *static_cast<Context*>(context);
}

// Runs dialog `dialogId` of the plug-in's resources through the host (host
// dialog service 15) and returns when it has ended, its run released. The
// dialog is placed at `position` (a WindowPosition) as it opens, and its
// place is stored there when its own command ends it (endDialog); a dialog
// the host ends keeps the place it had.
void runDialog(uint32_t dialogId, const DialogBehaviour& behaviour,
               HostWindow parent, void* context, uint8_t* position);

// The dialog's own close: stores where the dialog is into its run's
// position, releases the run, and ends the dialog (host dialog service 16).
void endDialog(HWND dialog);

// The face of the templates and of the fonts a dialog creates for its own
// labels, and their family: a Swiss (sans-serif) face of default pitch.
constexpr char DialogFontFace[] = "MS Sans Serif";
constexpr BYTE DialogFontFamily = FF_SWISS | DEFAULT_PITCH;
constexpr int DialogPointSize = 8;  // of the templates' font

// A font of the dialog face: its size in points, its weight (0: the
// default) and its character set.
struct DialogFont {
  int pointSize;
  int weight;
  BYTE charset;
};

// Creates a font of `face` at the dialog's resolution. The dialog's release
// deletes it.
HFONT createDialogFont(HWND dialog, const DialogFont& font,
                       const char* face = DialogFontFace);
// Deletes a font or brush the dialog made, if it made one, and forgets it:
// what a dialog's release does with each it holds.
template <typename Handle>
void deleteDialogObject(Handle& object) {
  if (object != nullptr) DeleteObject(object);
  object = nullptr;
}
// Gives a control a font, redrawing it.
void setControlFont(HWND dialog, int controlId, HFONT font);
// Both: creates the font and gives it to a control.
HFONT giveControlFont(HWND dialog, int controlId, const DialogFont& font,
                      const char* face = DialogFontFace);

// An error the user can mend: a message box with the error icon and an OK
// button, owned by the dialog, which stays open.
void showDialogError(HWND dialog, const char* text, const char* title);
// The same, and the focus then goes to the field at fault (host dialog
// service 36).
void showFieldError(HWND dialog, const char* text, const char* title,
                    int fieldId);
