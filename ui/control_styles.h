// Visual styles of single controls. A host with a common-controls version 6
// manifest gets themed controls in every dialog it creates, and a themed
// check box draws its text in its style's colour, whatever colour its
// dialog sets in WM_CTLCOLORSTATIC. A dialog that must colour a box switches
// the box's style off. uxtheme.dll is reached at run time, so the plug-in
// imports nothing more and runs where it is missing.
#pragma once

#include <windows.h>

struct ControlStyles {
  HMODULE uxtheme;  // null: no styles to switch
  HRESULT(WINAPI* setWindowTheme)(HWND, LPCWSTR, LPCWSTR);
  HANDLE(WINAPI* getWindowTheme)(HWND);
};

// Loads uxtheme.dll for one dialog; everything null where it is missing.
ControlStyles loadControlStyles();
// Frees what loadControlStyles loaded, and forgets it.
void releaseControlStyles(ControlStyles& styles);

// Switches a themed control's style off, so that it draws in its dialog's
// colours; answers whether it was themed. An unthemed control is left alone.
bool switchStyleOff(const ControlStyles& styles, HWND control);
// Gives a control its style back, after switchStyleOff.
void giveStyleBack(const ControlStyles& styles, HWND control);
