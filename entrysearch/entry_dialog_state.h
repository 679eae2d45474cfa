// The state of the criteria dialog (resource 20128), shared by its
// procedure and its page logic. The dialog is modal and never open twice,
// so there is one instance.
#pragma once

#include <windows.h>

#include <cstdint>

#include "entrysearch/entry_options.h"

namespace EntryDialogIds {
constexpr int Caption = 101;
constexpr int EntryGroup = 111;
constexpr int DurationBox = 112;
constexpr int DurationEdit = 113;
constexpr int PositionBox = 114;
constexpr int PositionEdit = 115;
constexpr int ClefChange = 121;
constexpr int NoteGroup = 151;
constexpr int DisplacementBox = 152;
constexpr int DisplacementEdit = 153;
constexpr int RaiseLowerBox = 154;
constexpr int RaiseLowerEdit = 155;
constexpr int BooleanGroup = 201;
constexpr int AndButton = 202;
constexpr int OrButton = 203;
constexpr int Go = 204;
constexpr int Done = 205;
constexpr int Search = 206;
constexpr int Reset = 207;
constexpr int DangerLegend = 210;
constexpr int Cancel = 2;
}  // namespace EntryDialogIds

struct EntryDialogState {
  EntryOptions searchWorking;
  EntryOptions replaceWorking;
  EntryOptions* callerSearch;
  EntryOptions* callerReplace;
  int16_t searchPageShown;
  int16_t goPressed;
  WNDPROC previousProc;
  HFONT captionFont;
  HBRUSH backgroundBrush;
  COLORREF buttonFace;
};

extern EntryDialogState entryDialog;

// Page logic (entry_dialog_pages.cpp).
void showSearchPage(HWND dialog);
void showReplacePage(HWND dialog);
void enableValueEdits(HWND dialog);
// Reads the page shown into `record`, validating it; answers success.
bool readPage(HWND dialog, EntryOptions& record, bool confirm);
