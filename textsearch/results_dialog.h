// The results dialog of the text command (IDD_TEXT_RESULTS): each match with
// its location, text and position, answered one by one or all at once. Its
// state is a context on its window: the TextSearch the text command hands
// it, the code page, and its bold font.
#pragma once

#include "host/host_services.h"
#include "textsearch/text_characters.h"
#include "textsearch/text_prefs.h"
#include "textsearch/text_search.h"

// Runs the dialog over the document with `prefs`, whose texts are in
// `codePage`, showing and answering the matches of `search` (its session
// made from `prefs`); the dialog's position is stored back into `prefs`
// when it closes.
void runResultsDialog(HostWindow parent, TextSearchPrefs* prefs,
                      const AnsiCodePage* codePage, TextSearch* search);
