// The face the text dialogs show the user's own text in (the options
// dialog's strings, the text line of the results), by the form of the code
// page's characters. It lives with the dialogs that show that text; the
// dialog skeleton below them knows only the templates' face.
#pragma once

#include "textsearch/text_characters.h"
#include "ui/dialog_skeleton.h"

// The dialog face is a raster font: each installed variant holds the glyphs
// of one code page, which is all a single- or double-byte system's texts
// need. Under UTF-8 a text may hold any script, and Windows finds glyphs in
// other fonts only for a TrueType face, through its font links and the
// complex-script fallback. "MS Shell Dlg 2" is the name Windows maps to its
// TrueType dialog face (Tahoma): the system's font links cover it, and its
// letters are as wide as the templates' face.
constexpr char LinkedFontFace[] = "MS Shell Dlg 2";

inline const char* userTextFace(CharacterForm form) {
  return form == CharacterForm::Utf8 ? LinkedFontFace : DialogFontFace;
}
