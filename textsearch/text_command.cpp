// The command's TextSearch lives on its stack while the results dialog
// runs; nothing of it outlives the command.
#include "textsearch/text_command.h"

#include "textsearch/results_dialog.h"
#include "textsearch/text_options_dialog.h"
#include "textsearch/text_search.h"

int16_t runTextCommand(HostWindow parent, TextSearchPrefs* prefs,
                       const AnsiCodePage* codePage) {
  if (runTextOptionsDialog(parent, prefs, codePage)) {
    TextSearch search{};
    useTextPrefs(search.session, prefs, &codePage->characters);
    runResultsDialog(parent, prefs, codePage, &search);
  }
  return 1;
}
