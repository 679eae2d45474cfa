// The text command: the options dialog, then the results dialog.
#pragma once

#include <cstdint>

#include "host/host_services.h"
#include "textsearch/text_characters.h"
#include "textsearch/text_prefs.h"

// Runs the command on the stored preferences `prefs`, over texts in
// `codePage`. Answers 1 in every case.
int16_t runTextCommand(HostWindow parent, TextSearchPrefs* prefs,
                       const AnsiCodePage* codePage);
