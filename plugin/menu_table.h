// The plug-in's two menu items and the filling of the host's HostMenuItem.
#pragma once

#include <cstdint>

// Menu index 0 is the note-entry command, which every index but MenuText
// runs.
constexpr int16_t MenuText = 1;
constexpr int16_t MenuItemCount = 2;

// Fills `item` (a HostMenuItem) for a menu index. Answers false and writes
// nothing for an index outside the table or a null record.
bool fillMenuItem(int16_t index, uint8_t* item);
