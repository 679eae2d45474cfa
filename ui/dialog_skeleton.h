// What the plug-in's three dialogs do alike, written once: the message
// dispatch of a dialog procedure, the command of a WM_COMMAND, the fonts
// they give their controls, the error box that keeps a dialog open, and
// closing a dialog where it will reopen. Each dialog supplies only its set-up
// and its commands.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_services.h"
#include "textsearch/text_characters.h"

// A WM_COMMAND as a dialog reads it: the control id (the low word of wParam,
// signed) and the notification code (the high word; 0 for a click).
struct DialogCommand {
  int id;
  int code;
};

DialogCommand commandOf(uint32_t wParam);

// What one dialog does with its messages.
struct DialogBehaviour {
  void (*initialise)(HWND dialog);                        // at WM_INITDIALOG
  void (*onCommand)(HWND dialog, DialogCommand command);  // at WM_COMMAND
};

// The body of a dialog procedure: WM_INITDIALOG initialises and answers 1
// (the system sets the focus); WM_COMMAND goes to the dialog's commands;
// every message answers 0 otherwise.
int32_t dispatchDialogMessage(const DialogBehaviour& behaviour,
                              HostWindow window, uint32_t message,
                              uint32_t wParam);

// The face of the templates and of the fonts a dialog creates for its own
// labels, and their family: a Swiss (sans-serif) face of default pitch.
constexpr char DialogFontFace[] = "MS Sans Serif";
constexpr BYTE DialogFontFamily = FF_SWISS | DEFAULT_PITCH;
constexpr int DialogPointSize = 8;  // of the templates' font

// The face of the user's own text (the options dialog's strings, the text
// line of the results). The dialog face is a raster font: each installed
// variant holds the glyphs of one code page, which is all a single- or
// double-byte system's texts need. Under UTF-8 a text may hold any script,
// and Windows finds glyphs in other fonts only for a TrueType face, through
// its font links and the complex-script fallback. "MS Shell Dlg 2" is the
// name Windows maps to its TrueType dialog face (Tahoma): the system's font
// links cover it, and its letters are as wide as the templates' face.
constexpr char LinkedFontFace[] = "MS Shell Dlg 2";
const char* userTextFace(CharacterForm form);

// A font of the dialog face: its size in points, its weight (0: the
// default) and its character set.
struct DialogFont {
  int pointSize;
  int weight;
  BYTE charset;
};

// Creates a font of `face` at the dialog's resolution. The caller deletes it
// when the dialog closes.
HFONT createDialogFont(HWND dialog, const DialogFont& font,
                       const char* face = DialogFontFace);
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

// Remembers where the dialog is, into a WindowPosition, then ends it (host
// dialog service 16).
void endDialogAt(HWND dialog, uint8_t* position);
