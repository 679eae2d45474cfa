#include "textsearch/results_dialog.h"

#include <windows.h>

#include <cstdio>
#include <initializer_list>

#include "host/byte_access.h"
#include "resources/dialog_ids.h"
#include "textsearch/text_location.h"
#include "textsearch/text_matcher.h"
#include "textsearch/text_memory.h"
#include "textsearch/text_walker.h"
#include "ui/dialog_skeleton.h"
#include "ui/dialog_utils.h"

namespace T = TextSearchPrefsLayout;

namespace {

// The state of one run of the dialog, on its window, besides the search's.
struct ResultsDialog {
  const TextSearchPrefs* prefs;  // of this search
  const AnsiCodePage* codePage;  // of the texts
  HFONT boldFont;                // of the text line
};

ResultsDialog& stateOf(void* context) {
  return *static_cast<ResultsDialog*>(context);
}

bool replaceMode(const ResultsDialog& state) {
  return prefsWord(*state.prefs, T::ReplaceEnabled) != 0;
}

HWND dialogWindow() { return static_cast<HWND>(textSession.resultsDialog); }

void setLine(int line, const char* text) {
  hostSetControlText(textSession.resultsDialog, IDC_RESULTS_LINE_1 + line - 1,
                     text, InterfaceVersion);
}

void show(int id, bool on) { showControl(dialogWindow(), id, on ? 1 : 0); }

void showMatch(const ResultsDialog& state) {
  ++textSession.foundCount;
  setLine(1, "Match was found in");
  char line[LineSize];
  formatLocation(line);
  setLine(2, line);
  int16_t position = textSession.matchOffset;
  if (prefsWord(*state.prefs, T::SearchTags) != 0) {
    setLine(3, textSession.currentText);
  } else {
    char* shown = displayText(&position);
    setLine(3, shown != nullptr ? shown : "");
    releaseText(shown);
  }
  snprintf(line, sizeof line, "at position %d", position + 1);
  setLine(4, line);
  setLine(5, "");
  setLine(6, replaceMode(state) ? "Replace?" : "");
}

void showSummary(const ResultsDialog& state) {
  for (int id : {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES_TO_ALL,
                 IDC_RESULTS_NEXT, IDC_RESULTS_CANCEL}) {
    show(id, false);
  }
  show(IDC_RESULTS_OK, true);
  char line[LineSize];
  setLine(1, "Search result:");
  setLine(2, "");
  snprintf(line, sizeof line, "%d instance(s) found",
           static_cast<int>(textSession.foundCount));
  setLine(3, line);
  setLine(4, "");
  if (replaceMode(state)) {
    snprintf(line, sizeof line, "%d instance(s) replaced",
             static_cast<int>(textSession.replacedCount));
    setLine(5, line);
  } else {
    setLine(5, "");
  }
  setLine(6, "");
}

void beginSession(HWND dialog, const ResultsDialog& state) {
  textSession.resultsDialog = dialog;
  textSession.foundCount = 0;
  textSession.replacedCount = 0;
  textSession.matchOffset = 0;
  if (findFirstMatch() != 0) {
    showMatch(state);
  } else {
    showSummary(state);
  }
}

int16_t findNextAndShow(const ResultsDialog& state) {
  if (findNextMatch() != 0) {
    showMatch(state);
    return 1;
  }
  showSummary(state);
  return 0;
}

void replaceAll(const ResultsDialog& state) {
  show(IDC_RESULTS_LINE_6, false);
  replaceMatch();
  while (findNextAndShow(state) != 0) replaceMatch();
}

void initialise(HWND dialog, void* context) {
  ResultsDialog& state = stateOf(context);
  textSession.resultsDialog = dialog;
  dropCurrentText();
  show(IDC_RESULTS_OK, false);
  // The text line, in bold, in a face and character set that show the code
  // page's texts.
  state.boldFont = giveControlFont(
      dialog, IDC_RESULTS_LINE_3,
      DialogFont{DialogPointSize, FW_BOLD, state.codePage->fontCharset},
      userTextFace(state.codePage->characters.form));
  if (replaceMode(state)) {
    show(IDC_RESULTS_NEXT, false);
  } else {
    for (int id : {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES_TO_ALL})
      show(id, false);
  }
  beginSession(dialog, state);
}

void close(HWND dialog, ResultsDialog& state) {
  dropCurrentText();
  DeleteObject(state.boldFont);
  state.boldFont = nullptr;
  endDialog(dialog);
}

void onCommand(HWND dialog, DialogCommand command, void* context) {
  ResultsDialog& state = stateOf(context);
  switch (command.id) {
    case IDC_RESULTS_YES:
      replaceMatch();
      findNextAndShow(state);
      break;
    case IDC_RESULTS_NO:
    case IDC_RESULTS_NEXT:
      textSession.lengthDelta = 0;
      findNextAndShow(state);
      break;
    case IDC_RESULTS_YES_TO_ALL:
      for (int id : {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES_TO_ALL,
                     IDC_RESULTS_CANCEL}) {
        show(id, false);
      }
      replaceAll(state);
      break;
    case IDC_RESULTS_OK:
    case IDC_RESULTS_CANCEL:
      close(dialog, state);
      break;
    default:
      break;
  }
}

const DialogBehaviour Behaviour = {initialise, onCommand, nullptr};

}  // namespace

void runResultsDialog(HostWindow parent, TextSearchPrefs* prefs,
                      const AnsiCodePage* codePage) {
  ResultsDialog state{prefs, codePage, nullptr};
  useTextPrefs(prefs, &codePage->characters);
  runDialog(IDD_TEXT_RESULTS, Behaviour, parent, &state,
            prefs->bytes + T::ResultsDialogLeft);
}
