// The state of one run of the criteria dialog (IDD_ENTRY_CRITERIA), shared
// by its procedure and its page logic. runEntryDialog owns it while the
// dialog runs, and the procedure finds it on the dialog's window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "entrysearch/entry_options.h"
#include "ui/control_styles.h"

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
  ControlStyles styles;  // uxtheme.dll's, while the dialog is open
};

// Switches the dangerous boxes' visual style off on the replace page and
// back on on the search page (entry_dialog.cpp).
void styleWarningBoxes(HWND dialog, const EntryDialogState& state);

// Page logic (entry_dialog_pages.cpp).
void showSearchPage(HWND dialog, EntryDialogState& state);
void showReplacePage(HWND dialog, EntryDialogState& state);
void enableValueEdits(HWND dialog);
// Reads the page shown into `record`, validating it; answers success.
bool readPage(HWND dialog, EntryDialogState& state, EntryOptions& record,
              bool confirm);
