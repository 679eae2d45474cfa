// The results dialog of the text command (IDD_TEXT_RESULTS): each match with
// its location, text and position, answered one by one or all at once.
#pragma once

#include "host/host_services.h"
#include "textsearch/text_characters.h"
#include "textsearch/text_prefs.h"

// Runs the dialog over the document with `prefs`, whose texts are in
// `codePage`; the dialog's position is stored back into `prefs` when it
// closes.
void runResultsDialog(HostWindow parent, TextSearchPrefs* prefs,
                      const AnsiCodePage* codePage);
