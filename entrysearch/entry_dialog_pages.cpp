// The two pages of the criteria dialog: which controls each shows, loading
// a record into the controls, and reading them back with validation, all
// walking the flag and value criterion tables. The page shown and the
// records edited are the dialog's state (entry_dialog_state.h).
#include <windows.h>

#include <initializer_list>

#include "entrysearch/entry_dialog_state.h"
#include "host/byte_access.h"
#include "host/host_services.h"
#include "resources/dialog_ids.h"
#include "ui/dialog_skeleton.h"
#include "ui/dialog_utils.h"

namespace L = EntryOptionsLayout;

namespace {

const char RangeErrorTitle[] = "Range Error";
const char NoEntriesTitle[] = "No Entries";
const char DangerousQuestion[] =
    "You have selected replacement options that are considered 'dangerous' "
    "to change. DON'T continue if you are uncertain of the effect when using "
    "these options. Proceed anyway?";

HostWindow host(HWND dialog) { return dialog; }

int16_t getValue(HWND dialog, int id, uint32_t kind) {
  return low16(hostGetControlValue(host(dialog), id, kind, InterfaceVersion));
}

void setValue(HWND dialog, int id, uint32_t kind, int16_t value) {
  hostSetControlValue(host(dialog), id, kind, value, InterfaceVersion);
}

void enable(HWND dialog, int id, bool on) {
  hostEnableControl(host(dialog), id, on ? 1 : 0, InterfaceVersion);
}

void show(HWND dialog, int id, bool on) { showControl(dialog, id, on ? 1 : 0); }

// Whether a value criterion's controls are on the page shown: a search-only
// one is on the search page alone.
bool onPage(const ValueCriterionRow& row, bool searchPage) {
  return searchPage || !row.searchOnly;
}

void loadPage(HWND dialog, const EntryOptions& record, bool searchPage) {
  for (const ValueCriterionRow& row : ValueCriterionTable) {
    if (!onPage(row, searchPage)) continue;
    setValue(dialog, row.boxId, ControlCheckBox,
             optionWord(record, row.enabledOffset));
    setValue(dialog, row.editId, ControlNumericEdit,
             optionWord(record, row.valueOffset));
  }
  for (const EntryFlagRow& row : EntryFlagTable) {
    setValue(dialog, row.controlId, ControlCheckBox,
             checkStateForOption(optionWord(record, row.optionOffset)));
  }
  for (const NoteFlagRow& row : NoteFlagTable) {
    setValue(dialog, row.controlId, ControlCheckBox,
             checkStateForOption(optionWord(record, row.optionOffset)));
  }
  const int16_t matchAll = optionWord(record, L::MatchAll);
  setValue(dialog, IDC_CRITERIA_AND, ControlRadioButton, matchAll);
  setValue(dialog, IDC_CRITERIA_OR, ControlRadioButton, matchAll == 0 ? 1 : 0);
}

void showPage(HWND dialog, EntryDialogState& state, bool searchPage) {
  state.searchPageShown = searchPage ? 1 : 0;
  hostSetControlText(dialog, IDC_CRITERIA_CAPTION,
                     searchPage ? "Search for..." : "Replace with...",
                     InterfaceVersion);
  for (int id : {IDC_CRITERIA_BOOLEAN_GROUP, IDC_CRITERIA_AND, IDC_CRITERIA_OR,
                 IDC_CRITERIA_DONE}) {
    show(dialog, id, searchPage);
  }
  for (int id :
       {IDC_CRITERIA_GO, IDC_CRITERIA_SEARCH, IDC_CRITERIA_DANGER_LEGEND}) {
    show(dialog, id, !searchPage);
  }
  show(dialog, IDC_CRITERIA_CANCEL, true);
  show(dialog, IDC_CRITERIA_RESET, true);

  // The replace page offers entry actions or note actions, as the search
  // page asked about entries or notes.
  const bool noteLevel = optionWord(state.replaceWorking, L::NoteLevel) != 0;
  const bool entryGroup = searchPage || !noteLevel;
  show(dialog, IDC_CRITERIA_ENTRY_GROUP, entryGroup);
  for (const EntryFlagRow& row : EntryFlagTable) {
    show(dialog, row.controlId, entryGroup);
    if (row.searchOnly) enable(dialog, row.controlId, searchPage);
  }
  const bool noteGroup = searchPage || noteLevel;
  show(dialog, IDC_CRITERIA_NOTE_GROUP, noteGroup);
  for (const NoteFlagRow& row : NoteFlagTable) {
    show(dialog, row.controlId, noteGroup);
    if (row.searchOnly) enable(dialog, row.controlId, searchPage);
  }
  for (const ValueCriterionRow& row : ValueCriterionTable) {
    const bool shown =
        (row.level == CriterionLevel::Note ? noteGroup : entryGroup) &&
        onPage(row, searchPage);
    show(dialog, row.boxId, shown);
    show(dialog, row.editId, shown);
  }
  // Clef changes are never offered; the row's word passes through.
  show(dialog, IDC_ENTRY_CLEF_CHANGE, false);

  loadPage(dialog, searchPage ? state.searchWorking : state.replaceWorking,
           searchPage);
  enableValueEdits(dialog);
  styleWarningBoxes(dialog, state);
  InvalidateRect(dialog, nullptr, FALSE);
}

struct FieldRead {
  int16_t enabled;
  int16_t value;
};

// Reads one value criterion; answers false (after the message and the
// focus move) when it is checked and out of range.
bool readField(HWND dialog, const ValueCriterionRow& row, FieldRead& read,
               int& total, int& noteCriteria) {
  read.enabled = getValue(dialog, row.boxId, ControlCheckBox) != 0 ? 1 : 0;
  read.value = getValue(dialog, row.editId, ControlNumericEdit);
  if (!read.enabled) return true;
  if (read.value < row.minimum || read.value > row.maximum) {
    showFieldError(dialog, row.rangeError, RangeErrorTitle, row.editId);
    return false;
  }
  ++total;
  if (row.level == CriterionLevel::Note) ++noteCriteria;
  return true;
}

// Stores the option word a flag box shows; answers whether it is Off or On.
bool readFlag(HWND dialog, int16_t controlId, EntryOptions& record,
              size_t offset) {
  int16_t option = optionWord(record, offset);
  if (optionForCheckState(getValue(dialog, controlId, ControlThreeStateBox),
                          &option)) {
    setOptionWord(record, offset, option);
  }
  return option == TriOff || option == TriOn;
}

}  // namespace

void showSearchPage(HWND dialog, EntryDialogState& state) {
  showPage(dialog, state, true);
}
void showReplacePage(HWND dialog, EntryDialogState& state) {
  showPage(dialog, state, false);
}

void enableValueEdits(HWND dialog) {
  for (const ValueCriterionRow& row : ValueCriterionTable) {
    // The whole result goes on as the flag: the host looks at its low 16
    // bits.
    hostEnableControl(dialog, row.editId,
                      hostGetControlValue(dialog, row.boxId, ControlCheckBox,
                                          InterfaceVersion),
                      InterfaceVersion);
  }
}

bool readPage(HWND dialog, EntryDialogState& state, EntryOptions& record,
              bool confirm) {
  const bool searchPage = state.searchPageShown != 0;
  int total = 0, noteCriteria = 0, dangerousSet = 0;
  FieldRead reads[ValueCriterionCount] = {};
  for (size_t i = 0; i < ValueCriterionCount; ++i) {
    const ValueCriterionRow& row = ValueCriterionTable[i];
    if (onPage(row, searchPage) &&
        !readField(dialog, row, reads[i], total, noteCriteria)) {
      return false;
    }
  }
  for (const EntryFlagRow& row : EntryFlagTable) {
    if (!readFlag(dialog, row.controlId, record, row.optionOffset)) continue;
    ++total;
    if (row.dangerous && !row.searchOnly) ++dangerousSet;
  }
  const bool countNotes = searchPage || optionWord(record, L::NoteLevel) != 0;
  for (const NoteFlagRow& row : NoteFlagTable) {
    if (!readFlag(dialog, row.controlId, record, row.optionOffset)) continue;
    if (!countNotes) continue;
    ++total;
    ++noteCriteria;
    if (row.dangerous && !row.searchOnly) ++dangerousSet;
  }
  if (total == 0 && confirm) {
    showDialogError(dialog,
                    searchPage ? "No search criterias have been filled in."
                               : "No replace actions are made.",
                    NoEntriesTitle);
    return false;
  }
  if (dangerousSet > 0 && confirm && !searchPage &&
      MessageBoxA(dialog, DangerousQuestion, "Are you sure?",
                  MB_YESNO | MB_ICONWARNING) != IDYES) {
    return false;
  }
  if (searchPage) {
    setOptionWord(state.replaceWorking, L::NoteLevel, noteCriteria > 0 ? 1 : 0);
  }
  setOptionWord(record, L::MatchAll,
                getValue(dialog, IDC_CRITERIA_AND, ControlRadioButton));
  for (size_t i = 0; i < ValueCriterionCount; ++i) {
    const ValueCriterionRow& row = ValueCriterionTable[i];
    if (!onPage(row, searchPage)) continue;
    setOptionWord(record, row.enabledOffset, reads[i].enabled);
    setOptionWord(record, row.valueOffset, reads[i].value);
  }
  return true;
}
