// The location line of the results dialog: where the walker's cursor
// stands, as the kinds table says each kind names its items.
#pragma once

#include <cstddef>

#include "textsearch/text_walker.h"

constexpr size_t LineSize = 100;

// Writes where the cursor's item lies ("measure text block #1 in measure
// 3, staff 2", ...) into `line`, a buffer of LineSize bytes.
void formatLocation(const TextCursor& cursor, char* line);
