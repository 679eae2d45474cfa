// The options dialog of the text command (IDD_TEXT_OPTIONS).
#pragma once

#include <cstdint>

#include "host/host_services.h"
#include "textsearch/text_characters.h"
#include "textsearch/text_prefs.h"

// Runs the dialog on `prefs`, which it writes only when the input is
// accepted (and, on every close, the dialog's position). Strings are cut
// to whole characters of the code page, and shown in a font for its texts.
// Answers whether the user's options were accepted with "GO!".
bool runTextOptionsDialog(HostWindow parent, TextSearchPrefs* prefs,
                          const AnsiCodePage* codePage);
