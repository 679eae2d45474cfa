// The two pages of the criteria dialog: which controls each shows, loading
// a record into the controls, and reading them back with validation.
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

// A value criterion: its check box, its edit, where they live in the
// record, its valid range and the message when it is out of range.
struct ValueField {
  int box;
  int edit;
  size_t enabledOffset;
  size_t valueOffset;
  int16_t minimum;
  int16_t maximum;
  bool noteLevel;
  const char* rangeError;
};

const ValueField SearchPageFields[] = {
    {IDC_CRITERIA_DURATION_BOX, IDC_CRITERIA_DURATION_EDIT, L::DurationEnabled,
     L::Duration, 1, 8192, false, "The duration value is out of range."},
    {IDC_CRITERIA_POSITION_BOX, IDC_CRITERIA_POSITION_EDIT, L::PositionEnabled,
     L::Position, 0, 32000, false, "The position value is out of range."},
};
const ValueField BothPagesFields[] = {
    {IDC_CRITERIA_DISPLACEMENT_BOX, IDC_CRITERIA_DISPLACEMENT_EDIT,
     L::DisplacementEnabled, L::Displacement, -100, 100, true,
     "The displacement value is out of range."},
    {IDC_CRITERIA_RAISE_LOWER_BOX, IDC_CRITERIA_RAISE_LOWER_EDIT,
     L::RaiseLowerEnabled, L::RaiseLower, -5, 5, true,
     "The raise/lower value is out of range."},
};

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

void loadField(HWND dialog, const ValueField& f, const EntryOptions& record) {
  setValue(dialog, f.box, ControlCheckBox, optionWord(record, f.enabledOffset));
  setValue(dialog, f.edit, ControlNumericEdit,
           optionWord(record, f.valueOffset));
}

void loadPage(HWND dialog, const EntryOptions& record) {
  if (entryDialog.searchPageShown) {
    for (const ValueField& f : SearchPageFields) loadField(dialog, f, record);
  }
  for (const ValueField& f : BothPagesFields) loadField(dialog, f, record);
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

void showPage(HWND dialog, bool searchPage) {
  entryDialog.searchPageShown = searchPage ? 1 : 0;
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
  const bool noteLevel =
      optionWord(entryDialog.replaceWorking, L::NoteLevel) != 0;
  const bool entryGroup = searchPage || !noteLevel;
  show(dialog, IDC_CRITERIA_ENTRY_GROUP, entryGroup);
  for (const EntryFlagRow& row : EntryFlagTable) {
    show(dialog, row.controlId, entryGroup);
    if (row.searchOnly) enable(dialog, row.controlId, searchPage);
  }
  const bool noteGroup = searchPage || noteLevel;
  for (int id : {IDC_CRITERIA_NOTE_GROUP, IDC_CRITERIA_DISPLACEMENT_BOX,
                 IDC_CRITERIA_DISPLACEMENT_EDIT, IDC_CRITERIA_RAISE_LOWER_BOX,
                 IDC_CRITERIA_RAISE_LOWER_EDIT}) {
    show(dialog, id, noteGroup);
  }
  for (const NoteFlagRow& row : NoteFlagTable) {
    show(dialog, row.controlId, noteGroup);
    if (row.searchOnly) enable(dialog, row.controlId, searchPage);
  }
  for (const ValueField& f : SearchPageFields) {
    show(dialog, f.box, searchPage);
    show(dialog, f.edit, searchPage);
  }
  // Clef changes are never offered; the row's word passes through.
  show(dialog, IDC_ENTRY_CLEF_CHANGE, false);

  loadPage(dialog,
           searchPage ? entryDialog.searchWorking : entryDialog.replaceWorking);
  enableValueEdits(dialog);
  InvalidateRect(dialog, nullptr, FALSE);
}

struct FieldRead {
  int16_t enabled;
  int16_t value;
};

// Reads one value criterion; answers false (after the message and the
// focus move) when it is checked and out of range.
bool readField(HWND dialog, const ValueField& f, FieldRead& read, int& total,
               int& noteCriteria) {
  read.enabled = getValue(dialog, f.box, ControlCheckBox) != 0 ? 1 : 0;
  read.value = getValue(dialog, f.edit, ControlNumericEdit);
  if (!read.enabled) return true;
  if (read.value < f.minimum || read.value > f.maximum) {
    showFieldError(dialog, f.rangeError, RangeErrorTitle, f.edit);
    return false;
  }
  ++total;
  if (f.noteLevel) ++noteCriteria;
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

void showSearchPage(HWND dialog) { showPage(dialog, true); }
void showReplacePage(HWND dialog) { showPage(dialog, false); }

void enableValueEdits(HWND dialog) {
  for (const ValueField* fields : {SearchPageFields, BothPagesFields}) {
    for (size_t i = 0; i < 2; ++i) {
      // The whole result goes on as the flag: the host looks at its low
      // 16 bits.
      hostEnableControl(dialog, fields[i].edit,
                        hostGetControlValue(dialog, fields[i].box,
                                            ControlCheckBox, InterfaceVersion),
                        InterfaceVersion);
    }
  }
}

bool readPage(HWND dialog, EntryOptions& record, bool confirm) {
  const bool searchPage = entryDialog.searchPageShown != 0;
  int total = 0, noteCriteria = 0, dangerousSet = 0;
  FieldRead searchReads[2] = {}, bothReads[2] = {};
  if (searchPage) {
    for (size_t i = 0; i < 2; ++i) {
      if (!readField(dialog, SearchPageFields[i], searchReads[i], total,
                     noteCriteria)) {
        return false;
      }
    }
  }
  for (size_t i = 0; i < 2; ++i) {
    if (!readField(dialog, BothPagesFields[i], bothReads[i], total,
                   noteCriteria)) {
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
    setOptionWord(entryDialog.replaceWorking, L::NoteLevel,
                  noteCriteria > 0 ? 1 : 0);
  }
  setOptionWord(record, L::MatchAll,
                getValue(dialog, IDC_CRITERIA_AND, ControlRadioButton));
  if (searchPage) {
    for (size_t i = 0; i < 2; ++i) {
      setOptionWord(record, SearchPageFields[i].enabledOffset,
                    searchReads[i].enabled);
      setOptionWord(record, SearchPageFields[i].valueOffset,
                    searchReads[i].value);
    }
  }
  for (size_t i = 0; i < 2; ++i) {
    setOptionWord(record, BothPagesFields[i].enabledOffset,
                  bothReads[i].enabled);
    setOptionWord(record, BothPagesFields[i].valueOffset, bothReads[i].value);
  }
  return true;
}
