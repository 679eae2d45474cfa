// The ANSI code page in force on this system, as the text command needs it.
#pragma once

#include <cstdint>

#include "textsearch/text_characters.h"

// How the code page's texts divide into characters, and the font character
// set that shows them; read once per text command.
AnsiCodePage readAnsiCodePage();
// The character set of fonts that show the code page's texts.
uint8_t fontCharsetOf(CharacterForm form, uint32_t codePage);
