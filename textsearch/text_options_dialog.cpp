// The options dialog's procedure, its set-up and its validation. Its state
// (the preferences it edits, the code page, the edits' font, whether it was
// confirmed) is an OptionsDialog that runTextOptionsDialog owns and the
// skeleton keeps on the dialog's window.
#include "textsearch/text_options_dialog.h"

#include <windows.h>

#include <cstring>
#include <iterator>

#include "host/byte_access.h"
#include "resources/dialog_ids.h"
#include "textsearch/user_text_face.h"
#include "ui/dialog_skeleton.h"
#include "ui/dialog_utils.h"

namespace T = TextSearchPrefsLayout;

namespace {

// The element boxes stand in the order of the element switches.
constexpr int FirstElementBox = IDC_OPTIONS_PAGE_TEXT_BLOCKS;
static_assert(IDC_OPTIONS_LYRICS - FirstElementBox + 1 ==
                  TextSearchPrefsLayout::ElementSwitchCount,
              "one box per element switch, lyrics last");

// The state of one run of the dialog, on its window.
struct OptionsDialog {
  TextSearchPrefs* prefs;        // written only when the input is accepted
  const AnsiCodePage* codePage;  // of the strings
  HFONT stringsFont;             // of the two edits, or none
  bool confirmed;                // accepted with "GO!"
};

int16_t boxValue(HWND dialog, int id) {
  return low16(
      hostGetControlValue(dialog, id, ControlCheckBox, InterfaceVersion));
}

void setBox(HWND dialog, const TextSearchPrefs& prefs, int id, size_t offset) {
  hostSetControlValue(dialog, id, ControlCheckBox,
                      prefsWord(prefs, offset) != 0 ? 1 : 0, InterfaceVersion);
}

// A stored string may lack its terminator: at most 50 bytes are shown, in
// whole characters.
void setEdit(HWND dialog, const OptionsDialog& state, int id, size_t offset) {
  char text[TextFieldSize];
  copyWholeCharacters(
      state.codePage->characters, text,
      reinterpret_cast<const char*>(state.prefs->bytes + offset), TextMaxChars);
  hostSetControlText(dialog, id, text, InterfaceVersion);
}

// The two string edits, in the order they are checked, and what is said
// when one holds more than its field.
struct StringEdit {
  int id;
  const char* tooLong;
  const char* title;
};
static_assert(TextMaxChars == 50, "the messages name the fields' size");
const StringEdit StringEdits[] = {
    {IDC_OPTIONS_SEARCH_EDIT,
     "The search string is too long for its field, which holds 50 bytes: 50 "
     "letters of English, fewer of many other languages.",
     "Search string too long"},
    {IDC_OPTIONS_REPLACE_EDIT,
     "The replace string is too long for its field, which holds 50 bytes: 50 "
     "letters of English, fewer of many other languages.",
     "Replace string too long"}};

// Whether all the text an edit holds fits its string field: at most 50
// bytes in the code page. A program can put more into an edit than its
// limit, and an edit counts its limit in characters, which may take several
// bytes each. No byte of a string makes more than one UTF-16 unit, so a
// text of more units does not fit; one of fewer is read whole and measured.
bool fitsField(HWND dialog, int id) {
  HWND edit = GetDlgItem(dialog, id);
  constexpr int Most = static_cast<int>(TextMaxChars);
  if (GetWindowTextLengthW(edit) > Most) return false;
  wchar_t text[Most + 1];
  const int units =
      GetWindowTextW(edit, text, static_cast<int>(std::size(text)));
  return WideCharToMultiByte(CP_ACP, 0, text, units, nullptr, 0, nullptr,
                             nullptr) <= Most;
}

// A string the user can mend: said, and the field's text selected.
void refuseField(HWND dialog, int id, const char* text, const char* title) {
  showFieldError(dialog, text, title, id);
  selectAllText(dialog, static_cast<uint32_t>(id));
}

int16_t syncReplaceEdit(HWND dialog) {
  const uint32_t replace = hostGetControlValue(
      dialog, IDC_OPTIONS_REPLACE_BOX, ControlCheckBox, InterfaceVersion);
  hostEnableControl(dialog, IDC_OPTIONS_REPLACE_EDIT, replace,
                    InterfaceVersion);
  return low16(replace);
}

// Validates the controls and, when they are acceptable, stores them.
bool acceptOptions(HWND dialog, OptionsDialog& state) {
  int16_t elements[T::ElementSwitchCount];
  bool anyElement = false;
  for (size_t i = 0; i < T::ElementSwitchCount; ++i) {
    elements[i] = boxValue(dialog, FirstElementBox + static_cast<int>(i));
    anyElement |= elements[i] != 0;
  }
  if (!anyElement) {
    showDialogError(dialog, "At least one search element must be selected.",
                    "No search elements");
    return false;
  }
  const int16_t replace = boxValue(dialog, IDC_OPTIONS_REPLACE_BOX);
  for (const StringEdit& edit : StringEdits) {
    if (!fitsField(dialog, edit.id)) {
      refuseField(dialog, edit.id, edit.tooLong, edit.title);
      return false;
    }
  }
  // Both fit their fields, so the host gives each whole.
  char search[TextFieldSize] = {};
  char replacement[TextFieldSize] = {};
  hostGetControlText(dialog, IDC_OPTIONS_SEARCH_EDIT, search, TextMaxChars,
                     InterfaceVersion);
  hostGetControlText(dialog, IDC_OPTIONS_REPLACE_EDIT, replacement,
                     TextMaxChars, InterfaceVersion);
  if (search[0] == '\0') {
    refuseField(dialog, IDC_OPTIONS_SEARCH_EDIT,
                "You must enter a search string before starting a search.",
                "Empty search string error");
    return false;
  }
  if (replace != 0 && elements[IDC_OPTIONS_LYRICS - FirstElementBox] != 0 &&
      strlen(search) != strlen(replacement) &&
      MessageBoxA(dialog,
                  "The search and replace string have different lengths. This "
                  "may distort the assigned lyrics. Continue anyway?",
                  "Lyrics Replacement Warning",
                  MB_YESNO | MB_ICONWARNING) != IDYES) {
    return false;
  }
  TextSearchPrefs& prefs = *state.prefs;
  memset(prefs.bytes + T::SearchString, 0, TextFieldSize);
  memset(prefs.bytes + T::ReplaceString, 0, TextFieldSize);
  memcpy(prefs.bytes + T::SearchString, search, strlen(search));
  memcpy(prefs.bytes + T::ReplaceString, replacement, strlen(replacement));
  setPrefsWord(prefs, T::ReplaceEnabled, replace);
  setPrefsWord(prefs, T::CaseSensitive, boxValue(dialog, IDC_OPTIONS_CASE_BOX));
  setPrefsWord(prefs, T::SearchTags, boxValue(dialog, IDC_OPTIONS_TAGS_BOX));
  for (size_t i = 0; i < T::ElementSwitchCount; ++i) {
    setPrefsWord(prefs, T::ElementSwitches + 2 * i, elements[i]);
  }
  return true;
}

// The two edits show the user's strings in the face and character set that
// show the code page's texts; on a Western system, whose texts the ANSI set
// shows in the template's face, they keep the template's font.
void giveStringsFont(HWND dialog, OptionsDialog& state) {
  if (state.codePage->fontCharset == ANSI_CHARSET) return;
  const char* face = userTextFace(state.codePage->characters.form);
  state.stringsFont = createDialogFont(
      dialog, DialogFont{DialogPointSize, 0, state.codePage->fontCharset},
      face);
  setControlFont(dialog, IDC_OPTIONS_SEARCH_EDIT, state.stringsFont);
  setControlFont(dialog, IDC_OPTIONS_REPLACE_EDIT, state.stringsFont);
}

// However the dialog ends: the edits' font, if it made one.
void release(void* context) {
  deleteDialogObject(contextOf<OptionsDialog>(context).stringsFont);
}

void initialise(HWND dialog, void* context) {
  OptionsDialog& state = contextOf<OptionsDialog>(context);
  const TextSearchPrefs& prefs = *state.prefs;
  giveStringsFont(dialog, state);
  limitText(dialog, IDC_OPTIONS_SEARCH_EDIT, TextMaxChars);
  limitText(dialog, IDC_OPTIONS_REPLACE_EDIT, TextMaxChars);
  setEdit(dialog, state, IDC_OPTIONS_SEARCH_EDIT, T::SearchString);
  setEdit(dialog, state, IDC_OPTIONS_REPLACE_EDIT, T::ReplaceString);
  setBox(dialog, prefs, IDC_OPTIONS_REPLACE_BOX, T::ReplaceEnabled);
  setBox(dialog, prefs, IDC_OPTIONS_CASE_BOX, T::CaseSensitive);
  setBox(dialog, prefs, IDC_OPTIONS_TAGS_BOX, T::SearchTags);
  for (size_t i = 0; i < T::ElementSwitchCount; ++i) {
    setBox(dialog, prefs, FirstElementBox + static_cast<int>(i),
           T::ElementSwitches + 2 * i);
  }
  syncReplaceEdit(dialog);
}

void onCommand(HWND dialog, DialogCommand command, void* context) {
  OptionsDialog& state = contextOf<OptionsDialog>(context);
  if (command.id == IDC_OPTIONS_REPLACE_BOX && command.code == 0) {
    if (syncReplaceEdit(dialog) != 0) {
      hostFocusControl(dialog, IDC_OPTIONS_REPLACE_EDIT, InterfaceVersion);
      selectAllText(dialog, IDC_OPTIONS_REPLACE_EDIT);
    }
  } else if (command.id == IDC_OPTIONS_GO) {
    if (acceptOptions(dialog, state)) {
      state.confirmed = true;
      endDialog(dialog);
    }
  } else if (command.id == IDC_OPTIONS_CANCEL) {
    endDialog(dialog);
  }
}

const DialogBehaviour Behaviour = {.initialise = initialise,
                                   .onCommand = onCommand,
                                   .windowMessage = nullptr,
                                   .release = release};

}  // namespace

bool runTextOptionsDialog(HostWindow parent, TextSearchPrefs* prefs,
                          const AnsiCodePage* codePage) {
  OptionsDialog state{prefs, codePage, nullptr, false};
  runDialog(IDD_TEXT_OPTIONS, Behaviour, parent, &state,
            prefs->bytes + T::OptionsDialogLeft);
  return state.confirmed;
}
