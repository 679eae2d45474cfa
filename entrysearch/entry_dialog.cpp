// The criteria dialog of the note-entry command (IDD_ENTRY_CRITERIA): its
// set-up, its commands, its release, and the window procedure that draws
// dangerous replace actions in dark red (in a readable red on dark faces,
// with the boxes' visual style off while the replace page shows).
#include "entrysearch/entry_dialog.h"

#include <windows.h>

#include <cstring>

#include "entrysearch/entry_dialog_state.h"
#include "host/byte_access.h"
#include "resources/dialog_ids.h"
#include "ui/control_styles.h"
#include "ui/dialog_skeleton.h"
#include "ui/dialog_utils.h"
#include "ui/readable_colour.h"

namespace {

// The page caption: 14 points, default weight, the ANSI character set.
constexpr DialogFont CaptionFont = {14, 0, ANSI_CHARSET};

// A flag a user can replace that is considered dangerous.
template <typename Row>
bool isWarningRow(const Row& row) {
  return row.dangerous && !row.searchOnly;
}

// Red on the replace page: the legend, and every dangerous flag's box.
bool isWarningControl(int id) {
  if (id == IDC_CRITERIA_DANGER_LEGEND) return true;
  for (const EntryFlagRow& row : EntryFlagTable) {
    if (row.controlId == id) return isWarningRow(row);
  }
  for (const NoteFlagRow& row : NoteFlagTable) {
    if (row.controlId == id) return isWarningRow(row);
  }
  return false;
}

// A themed box shows its style's colour, not the dialog's: on the replace
// page the dangerous boxes lose their style, on the search page they have
// it (back). The legend is a static control, which no style colours.
void styleBox(HWND dialog, const EntryDialogState& state, int id) {
  HWND box = GetDlgItem(dialog, id);
  if (state.searchPageShown) {
    giveStyleBack(state.styles, box);
  } else {
    switchStyleOff(state.styles, box);
  }
}

// A value criterion's check box: a click on it greys or frees its edit.
bool isValueBox(int id) {
  for (const ValueCriterionRow& row : ValueCriterionTable) {
    if (row.boxId == id) return true;
  }
  return false;
}

// Dangerous replace actions in dark red: the window procedure of its own
// answers WM_CTLCOLORSTATIC for them on the replace page.
LRESULT warningColour(HWND, UINT message, WPARAM wParam, LPARAM lParam,
                      void* context) {
  EntryDialogState& state = contextOf<EntryDialogState>(context);
  if (message != WM_CTLCOLORSTATIC || state.searchPageShown ||
      !isWarningControl(
          static_cast<int16_t>(GetDlgCtrlID(reinterpret_cast<HWND>(lParam))))) {
    return 0;
  }
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  if (face != state.buttonFace) {
    DeleteObject(state.backgroundBrush);
    state.buttonFace = face;
    state.backgroundBrush = CreateSolidBrush(face);
  }
  HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, readableWarningColour(face, GetSysColor(COLOR_BTNTEXT)));
  SetBkColor(dc, state.buttonFace);
  return reinterpret_cast<LRESULT>(state.backgroundBrush);
}

void initialise(HWND dialog, void* context) {
  EntryDialogState& state = contextOf<EntryDialogState>(context);
  state.buttonFace = GetSysColor(COLOR_BTNFACE);
  state.backgroundBrush = CreateSolidBrush(state.buttonFace);
  state.captionFont =
      giveControlFont(dialog, IDC_CRITERIA_CAPTION, CaptionFont);
  state.styles = loadControlStyles();
  showSearchPage(dialog, state);
}

// However the dialog ends: the brush and the caption font of its set-up.
void release(void* context) {
  EntryDialogState& state = contextOf<EntryDialogState>(context);
  deleteDialogObject(state.backgroundBrush);
  deleteDialogObject(state.captionFont);
  releaseControlStyles(state.styles);
}

void onCommand(HWND dialog, DialogCommand command, void* context) {
  EntryDialogState& state = contextOf<EntryDialogState>(context);
  switch (command.id) {
    case IDC_CRITERIA_CANCEL:
      endDialog(dialog);
      break;
    case IDC_CRITERIA_DONE:
      if (readPage(dialog, state, state.searchWorking, true)) {
        showReplacePage(dialog, state);
      }
      break;
    case IDC_CRITERIA_SEARCH:
      if (readPage(dialog, state, state.replaceWorking, false)) {
        showSearchPage(dialog, state);
      }
      break;
    case IDC_CRITERIA_GO:
      if (readPage(dialog, state, state.replaceWorking, true)) {
        state.goPressed = 1;
        *state.callerSearch = state.searchWorking;
        *state.callerReplace = state.replaceWorking;
        endDialog(dialog);
      }
      break;
    case IDC_CRITERIA_RESET:
      if (state.searchPageShown) {
        resetEntryOptions(&state.searchWorking);
        showSearchPage(dialog, state);
      } else {
        resetEntryOptions(&state.replaceWorking);
        showReplacePage(dialog, state);
      }
      break;
    default:
      if (command.code == 0 && isValueBox(command.id)) enableValueEdits(dialog);
      break;
  }
}

const DialogBehaviour Behaviour = {.initialise = initialise,
                                   .onCommand = onCommand,
                                   .windowMessage = warningColour,
                                   .release = release};

}  // namespace

void styleWarningBoxes(HWND dialog, const EntryDialogState& state) {
  for (const EntryFlagRow& row : EntryFlagTable) {
    if (isWarningRow(row)) styleBox(dialog, state, row.controlId);
  }
  for (const NoteFlagRow& row : NoteFlagTable) {
    if (isWarningRow(row)) styleBox(dialog, state, row.controlId);
  }
}

int16_t runEntryDialog(HostWindow parent, EntryOptions* search,
                       EntryOptions* replace) {
  EntryDialogState state{};
  state.searchWorking = *search;
  state.replaceWorking = *replace;
  state.callerSearch = search;
  state.callerReplace = replace;
  runDialog(IDD_ENTRY_CRITERIA, Behaviour, parent, &state,
            search->bytes + EntryOptionsLayout::DialogLeft);
  return state.goPressed;
}
