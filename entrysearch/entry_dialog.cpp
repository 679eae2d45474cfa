// The criteria dialog of the note-entry command (IDD_ENTRY_CRITERIA): its
// dialog procedure, its set-up and closing, and the window procedure that
// draws dangerous replace actions in dark red.
#include "entrysearch/entry_dialog.h"

#include <windows.h>

#include <cstring>

#include "entrysearch/entry_dialog_state.h"
#include "host/byte_access.h"
#include "resources/dialog_ids.h"
#include "ui/dialog_skeleton.h"
#include "ui/dialog_utils.h"

EntryDialogState entryDialog;

namespace {

constexpr COLORREF WarningColor = RGB(128, 0, 0);
// The page caption: 14 points, default weight, the ANSI character set.
constexpr DialogFont CaptionFont = {14, 0, ANSI_CHARSET};

uint8_t* callerPosition() {
  return entryDialog.callerSearch->bytes + EntryOptionsLayout::DialogLeft;
}

// Red on the replace page: the legend, and every flag a user can replace
// that is considered dangerous.
bool isWarningControl(int id) {
  if (id == IDC_CRITERIA_DANGER_LEGEND) return true;
  for (const EntryFlagRow& row : EntryFlagTable) {
    if (row.controlId == id) return row.dangerous && !row.searchOnly;
  }
  for (const NoteFlagRow& row : NoteFlagTable) {
    if (row.controlId == id) return row.dangerous && !row.searchOnly;
  }
  return false;
}

// A value criterion's check box: a click on it greys or frees its edit.
bool isValueBox(int id) {
  for (const ValueCriterionRow& row : ValueCriterionTable) {
    if (row.boxId == id) return true;
  }
  return false;
}

LRESULT CALLBACK warningColorProc(HWND dialog, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
  if (message == WM_CTLCOLORSTATIC && !entryDialog.searchPageShown &&
      isWarningControl(
          static_cast<int16_t>(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))))) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    if (face != entryDialog.buttonFace) {
      DeleteObject(entryDialog.backgroundBrush);
      entryDialog.buttonFace = face;
      entryDialog.backgroundBrush = CreateSolidBrush(face);
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, WarningColor);
    SetBkColor(dc, entryDialog.buttonFace);
    return reinterpret_cast<LRESULT>(entryDialog.backgroundBrush);
  }
  return CallWindowProcA(entryDialog.previousProc, dialog, message, wParam,
                         lParam);
}

void setUp(HWND dialog) {
  entryDialog.buttonFace = GetSysColor(COLOR_BTNFACE);
  entryDialog.backgroundBrush = CreateSolidBrush(entryDialog.buttonFace);
  entryDialog.previousProc = reinterpret_cast<WNDPROC>(SetWindowLongA(
      dialog, GWL_WNDPROC, reinterpret_cast<LONG>(warningColorProc)));
  entryDialog.captionFont =
      giveControlFont(dialog, IDC_CRITERIA_CAPTION, CaptionFont);
}

// Cancel and GO alike: the window procedure back, the position kept, the
// dialog ended, its font and brush released.
void closeDialog(HWND dialog) {
  SetWindowLongA(dialog, GWL_WNDPROC,
                 reinterpret_cast<LONG>(entryDialog.previousProc));
  endDialogAt(dialog, callerPosition());
  DeleteObject(entryDialog.backgroundBrush);
  DeleteObject(entryDialog.captionFont);
  entryDialog.backgroundBrush = nullptr;
  entryDialog.captionFont = nullptr;
}

void initialise(HWND dialog) {
  restoreWindowPosition(dialog, callerPosition());
  setUp(dialog);
  showSearchPage(dialog);
}

void onCommand(HWND dialog, DialogCommand command) {
  switch (command.id) {
    case IDC_CRITERIA_CANCEL:
      closeDialog(dialog);
      break;
    case IDC_CRITERIA_DONE:
      if (readPage(dialog, entryDialog.searchWorking, true)) {
        showReplacePage(dialog);
      }
      break;
    case IDC_CRITERIA_SEARCH:
      if (readPage(dialog, entryDialog.replaceWorking, false)) {
        showSearchPage(dialog);
      }
      break;
    case IDC_CRITERIA_GO:
      if (readPage(dialog, entryDialog.replaceWorking, true)) {
        entryDialog.goPressed = 1;
        *entryDialog.callerSearch = entryDialog.searchWorking;
        *entryDialog.callerReplace = entryDialog.replaceWorking;
        closeDialog(dialog);
      }
      break;
    case IDC_CRITERIA_RESET:
      if (entryDialog.searchPageShown) {
        resetEntryOptions(&entryDialog.searchWorking);
        showSearchPage(dialog);
      } else {
        resetEntryOptions(&entryDialog.replaceWorking);
        showReplacePage(dialog);
      }
      break;
    default:
      if (command.code == 0 && isValueBox(command.id)) enableValueEdits(dialog);
      break;
  }
}

const DialogBehaviour EntryDialog = {initialise, onCommand};

}  // namespace

int32_t HOST_CALL entryDialogProc(HostWindow window, uint32_t message,
                                  uint32_t wParam, int32_t, uint32_t) {
  return dispatchDialogMessage(EntryDialog, window, message, wParam);
}

int16_t runEntryDialog(HostWindow parent, EntryOptions* search,
                       EntryOptions* replace) {
  entryDialog.goPressed = 0;
  entryDialog.callerSearch = search;
  entryDialog.callerReplace = replace;
  entryDialog.searchWorking = *search;
  entryDialog.replaceWorking = *replace;
  hostRunDialog(IDD_ENTRY_CRITERIA, entryDialogProc, parent, 1, 0,
                InterfaceVersion);
  return entryDialog.goPressed;
}
