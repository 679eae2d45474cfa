// The state of the criteria dialog (IDD_ENTRY_CRITERIA), shared by its
// procedure and its page logic. The dialog is modal and never open twice,
// so there is one instance.
#pragma once

#include <windows.h>

#include <cstdint>

#include "entrysearch/entry_options.h"

struct EntryDialogState {
  EntryOptions searchWorking;
  EntryOptions replaceWorking;
  EntryOptions* callerSearch;
  EntryOptions* callerReplace;
  int16_t searchPageShown;
  int16_t goPressed;
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
