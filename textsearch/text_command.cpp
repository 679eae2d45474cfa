#include "textsearch/text_command.h"

#include "plugin/settings.h"
#include "textsearch/results_dialog.h"
#include "textsearch/text_options_dialog.h"

int16_t runTextCommand(HostWindow parent) {
  runTextOptionsDialog(parent, &storedTextPrefs);
  if (optionsConfirmed) runResultsDialog(parent, &storedTextPrefs);
  return 1;
}
