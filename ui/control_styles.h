// Visual styles of single controls. A host with a common-controls version 6
// manifest gets themed controls in every dialog it creates, and a themed
// check box draws its text in its style's colour, whatever colour its
// dialog sets in WM_CTLCOLORSTATIC. A dialog that must colour a box switches
// the box's style off. uxtheme.dll is reached at run time, so the plug-in
// imports nothing more and runs where it is missing.
#pragma once

#include <windows.h>

struct ControlStyles {
  HMODULE uxtheme;
  HRESULT(WINAPI* setWindowTheme)(HWND, LPCWSTR, LPCWSTR);  // null: no styles
};

// Loads uxtheme.dll for one dialog; both null where it is missing.
ControlStyles loadControlStyles();
// Frees what loadControlStyles loaded, and forgets it.
void releaseControlStyles(ControlStyles& styles);

// Switches a control's style off, so that it draws in its dialog's colours
// (an unthemed control already does).
void switchStyleOff(const ControlStyles& styles, HWND control);
// Gives a control the style it has by default (after switchStyleOff); a
// control without styles stays as it is.
void giveStyleBack(const ControlStyles& styles, HWND control);
