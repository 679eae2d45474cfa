// The location line of the results dialog for the walker's current item.
#pragma once

#include <cstddef>

constexpr size_t LineSize = 100;

// Writes where the current match lies ("measure text block #1 in measure
// 3, staff 2", ...) into `line`, a buffer of LineSize bytes.
void formatLocation(char* line);
