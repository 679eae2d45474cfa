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

TextSearchPrefs* resultsPrefs;
uint8_t textCharset;   // the character set of the code page's texts
const char* textFace;  // the face that shows them
HFONT boldFont;

bool replaceMode() { return prefsWord(*resultsPrefs, T::ReplaceEnabled) != 0; }

HWND dialogWindow() { return static_cast<HWND>(textSession.resultsDialog); }

void setLine(int line, const char* text) {
  hostSetControlText(textSession.resultsDialog, IDC_RESULTS_LINE_1 + line - 1,
                     text, InterfaceVersion);
}

void show(int id, bool on) { showControl(dialogWindow(), id, on ? 1 : 0); }

void showMatch() {
  ++textSession.foundCount;
  setLine(1, "Match was found in");
  char line[LineSize];
  formatLocation(line);
  setLine(2, line);
  int16_t position = textSession.matchOffset;
  if (prefsWord(*resultsPrefs, T::SearchTags) != 0) {
    setLine(3, textSession.currentText);
  } else {
    char* shown = displayText(&position);
    setLine(3, shown != nullptr ? shown : "");
    releaseText(shown);
  }
  snprintf(line, sizeof line, "at position %d", position + 1);
  setLine(4, line);
  setLine(5, "");
  setLine(6, replaceMode() ? "Replace?" : "");
}

void showSummary() {
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
  if (replaceMode()) {
    snprintf(line, sizeof line, "%d instance(s) replaced",
             static_cast<int>(textSession.replacedCount));
    setLine(5, line);
  } else {
    setLine(5, "");
  }
  setLine(6, "");
}

void beginSession(HWND dialog) {
  textSession.resultsDialog = dialog;
  textSession.foundCount = 0;
  textSession.replacedCount = 0;
  textSession.matchOffset = 0;
  if (findFirstMatch() != 0) {
    showMatch();
  } else {
    showSummary();
  }
}

int16_t findNextAndShow() {
  if (findNextMatch() != 0) {
    showMatch();
    return 1;
  }
  showSummary();
  return 0;
}

void replaceAll() {
  show(IDC_RESULTS_LINE_6, false);
  replaceMatch();
  while (findNextAndShow() != 0) replaceMatch();
}

void initialise(HWND dialog) {
  textSession.resultsDialog = dialog;
  restoreWindowPosition(dialog, resultsPrefs->bytes + T::ResultsDialogLeft);
  dropCurrentText();
  show(IDC_RESULTS_OK, false);
  // The text line, in bold, in a face and character set that show the code
  // page's texts.
  boldFont = giveControlFont(dialog, IDC_RESULTS_LINE_3,
                             DialogFont{DialogPointSize, FW_BOLD, textCharset},
                             textFace);
  if (replaceMode()) {
    show(IDC_RESULTS_NEXT, false);
  } else {
    for (int id : {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES_TO_ALL})
      show(id, false);
  }
  beginSession(dialog);
}

void close(HWND dialog) {
  dropCurrentText();
  DeleteObject(boldFont);
  boldFont = nullptr;
  endDialogAt(dialog, resultsPrefs->bytes + T::ResultsDialogLeft);
}

void onCommand(HWND dialog, DialogCommand command) {
  switch (command.id) {
    case IDC_RESULTS_YES:
      replaceMatch();
      findNextAndShow();
      break;
    case IDC_RESULTS_NO:
    case IDC_RESULTS_NEXT:
      textSession.lengthDelta = 0;
      findNextAndShow();
      break;
    case IDC_RESULTS_YES_TO_ALL:
      for (int id : {IDC_RESULTS_YES, IDC_RESULTS_NO, IDC_RESULTS_YES_TO_ALL,
                     IDC_RESULTS_CANCEL}) {
        show(id, false);
      }
      replaceAll();
      break;
    case IDC_RESULTS_OK:
    case IDC_RESULTS_CANCEL:
      close(dialog);
      break;
    default:
      break;
  }
}

const DialogBehaviour ResultsDialog = {initialise, onCommand};

int32_t HOST_CALL resultsDialogProc(HostWindow window, uint32_t message,
                                    uint32_t wParam, int32_t, uint32_t) {
  return dispatchDialogMessage(ResultsDialog, window, message, wParam);
}

}  // namespace

void runResultsDialog(HostWindow parent, TextSearchPrefs* prefs,
                      const AnsiCodePage* codePage) {
  resultsPrefs = prefs;
  textCharset = codePage->fontCharset;
  textFace = userTextFace(codePage->characters.form);
  useTextPrefs(prefs, &codePage->characters);
  hostRunDialog(IDD_TEXT_RESULTS, resultsDialogProc, parent, 1, 0,
                InterfaceVersion);
}
