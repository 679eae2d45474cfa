// The results dialog's procedure and page logic. Its state (the search it
// shows, the code page, the bold font) is a ResultsDialog
// that runResultsDialog owns and the skeleton keeps on the dialog's window.
#include "textsearch/results_dialog.h"

#include <windows.h>

#include <cstdio>
#include <initializer_list>

#include "host/byte_access.h"
#include "resources/dialog_ids.h"
#include "textsearch/text_location.h"
#include "textsearch/user_text_face.h"
#include "ui/dialog_skeleton.h"
#include "ui/dialog_utils.h"

namespace T = TextSearchPrefsLayout;

namespace {

// The state of one run of the dialog, on its window: the search it shows
// (made by the text command) and what the dialog adds.
struct ResultsDialog {
  TextSearch* search;
  const AnsiCodePage* codePage;  // of the texts
  HFONT boldFont;                // of the text line
};

bool replaceMode(const ResultsDialog& state) {
  return sessionSwitch(state.search->session, T::ReplaceEnabled);
}

HWND dialogWindow(const ResultsDialog& state) {
  return static_cast<HWND>(state.search->session.resultsDialog);
}

void setLine(const ResultsDialog& state, int line, const char* text) {
  hostSetControlText(state.search->session.resultsDialog,
                     IDC_RESULTS_LINE_1 + line - 1, text, InterfaceVersion);
}

void show(const ResultsDialog& state, int id, bool on) {
  showControl(dialogWindow(state), id, on ? 1 : 0);
}

void showMatch(const ResultsDialog& state) {
  TextSearchSession& session = state.search->session;
  ++session.foundCount;
  setLine(state, 1, "Match was found in");
  char line[LineSize];
  formatLocation(state.search->cursor, line);
  setLine(state, 2, line);
  int16_t position = session.matchOffset;
  if (sessionSwitch(session, T::SearchTags)) {
    setLine(state, 3, currentText(session));
  } else {
    // The session keeps the copy for as long as it holds the text.
    const char* shown = displayText(session, &position);
    setLine(state, 3, shown != nullptr ? shown : "");
  }
  snprintf(line, sizeof line, "at position %d", position + 1);
  setLine(state, 4, line);
  setLine(state, 5, "");
  setLine(state, 6, replaceMode(state) ? "Replace?" : "");
}

void showSummary(const ResultsDialog& state) {
  const TextSearchSession& session = state.search->session;
  for (int id : {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES_TO_ALL,
                 IDC_RESULTS_NEXT, IDC_RESULTS_CANCEL}) {
    show(state, id, false);
  }
  show(state, IDC_RESULTS_OK, true);
  char line[LineSize];
  setLine(state, 1, "Search result:");
  setLine(state, 2, "");
  snprintf(line, sizeof line, "%d instance(s) found",
           static_cast<int>(session.foundCount));
  setLine(state, 3, line);
  setLine(state, 4, "");
  if (replaceMode(state)) {
    snprintf(line, sizeof line, "%d instance(s) replaced",
             static_cast<int>(session.replacedCount));
    setLine(state, 5, line);
  } else {
    setLine(state, 5, "");
  }
  setLine(state, 6, "");
}

// The search arrives as the command made it: nothing found or replaced.
void beginSession(const ResultsDialog& state) {
  if (findFirstMatch(*state.search) != 0) {
    showMatch(state);
  } else {
    showSummary(state);
  }
}

int16_t findNextAndShow(const ResultsDialog& state) {
  if (findNextMatch(*state.search) != 0) {
    showMatch(state);
    return 1;
  }
  showSummary(state);
  return 0;
}

void replaceAll(const ResultsDialog& state) {
  show(state, IDC_RESULTS_LINE_6, false);
  replaceMatch(*state.search);
  while (findNextAndShow(state) != 0) replaceMatch(*state.search);
}

void initialise(HWND dialog, void* context) {
  ResultsDialog& state = contextOf<ResultsDialog>(context);
  state.search->session.resultsDialog = dialog;
  show(state, IDC_RESULTS_OK, false);
  // The text line, in bold, in a face and character set that show the code
  // page's texts.
  state.boldFont = giveControlFont(
      dialog, IDC_RESULTS_LINE_3,
      DialogFont{DialogPointSize, FW_BOLD, state.codePage->fontCharset},
      userTextFace(state.codePage->characters.form));
  if (replaceMode(state)) {
    show(state, IDC_RESULTS_NEXT, false);
  } else {
    for (int id : {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES_TO_ALL})
      show(state, id, false);
  }
  beginSession(state);
}

// However the dialog ends: the text of the match shown, and the bold font.
void release(void* context) {
  ResultsDialog& state = contextOf<ResultsDialog>(context);
  dropCurrentText(state.search->session);
  deleteDialogObject(state.boldFont);
}

void onCommand(HWND dialog, DialogCommand command, void* context) {
  ResultsDialog& state = contextOf<ResultsDialog>(context);
  switch (command.id) {
    case IDC_RESULTS_YES:
      replaceMatch(*state.search);
      findNextAndShow(state);
      break;
    case IDC_RESULTS_NO:
    case IDC_RESULTS_NEXT:
      state.search->session.lengthDelta = 0;
      findNextAndShow(state);
      break;
    case IDC_RESULTS_YES_TO_ALL:
      for (int id : {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES_TO_ALL,
                     IDC_RESULTS_CANCEL}) {
        show(state, id, false);
      }
      replaceAll(state);
      break;
    case IDC_RESULTS_OK:
    case IDC_RESULTS_CANCEL:
      endDialog(dialog);
      break;
    default:
      break;
  }
}

const DialogBehaviour Behaviour = {.initialise = initialise,
                                   .onCommand = onCommand,
                                   .windowMessage = nullptr,
                                   .release = release};

}  // namespace

void runResultsDialog(HostWindow parent, TextSearchPrefs* prefs,
                      const AnsiCodePage* codePage, TextSearch* search) {
  ResultsDialog state{search, codePage, nullptr};
  runDialog(IDD_TEXT_RESULTS, Behaviour, parent, &state,
            prefs->bytes + T::ResultsDialogLeft);
}
