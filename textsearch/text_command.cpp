#include "textsearch/text_command.h"

#include "textsearch/results_dialog.h"
#include "textsearch/text_options_dialog.h"

int16_t runTextCommand(HostWindow parent, TextSearchPrefs* prefs,
                       const AnsiCodePage* codePage) {
  if (runTextOptionsDialog(parent, prefs, codePage)) {
    runResultsDialog(parent, prefs, codePage);
  }
  return 1;
}
