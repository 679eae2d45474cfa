// The text command: the options dialog, then the results dialog over a
// TextSearch that the command makes for that dialog and that ends with it.
#pragma once

#include <cstdint>

#include "host/host_services.h"
#include "textsearch/text_characters.h"
#include "textsearch/text_prefs.h"

// Runs the command on the stored preferences `prefs`, over texts in
// `codePage`. Answers 1 in every case.
int16_t runTextCommand(HostWindow parent, TextSearchPrefs* prefs,
                       const AnsiCodePage* codePage);
