// The ANSI code page in force on this system, as the text command needs it.
#pragma once

#include "textsearch/text_characters.h"

// How the code page's texts divide into characters, and the font character
// set that shows them; read once per text command.
AnsiCodePage readAnsiCodePage();
