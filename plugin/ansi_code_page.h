// The ANSI code page in force on this system, as the text command needs it.
#pragma once

#include "textsearch/text_characters.h"

// The code page's lead bytes and the font character set that shows its
// texts; a single-byte page has no lead bytes and the ANSI character set.
AnsiCodePage readAnsiCodePage();
