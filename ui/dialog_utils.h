// Small utilities the plug-in's dialogs share, working directly on the
// dialog window the host hands to the dialog procedure.
#pragma once

#include <cstdint>

#include "host/host_services.h"

// Selects the whole text of an edit.
void selectAllText(HostWindow dialog, uint32_t controlId);
// Limits an edit to `limit` characters (low 16 bits, signed).
void limitText(HostWindow dialog, uint32_t controlId, uint32_t limit);
// Shows the control when the low 16 bits of `flag` are non-zero, else hides it.
void showControl(HostWindow dialog, uint32_t controlId, uint32_t flag);

// A WindowPosition: two little-endian i16 words, left then top, of the
// dialog's outer top-left corner in screen pixels; -32768 in either word
// means the dialog has not been placed yet.
constexpr int16_t PositionUnset = INT16_MIN;

// Stores the window's outer left and top, cut to 16 bits.
void saveWindowPosition(HostWindow dialog, uint8_t* position);
// Moves the window there, keeping its size, when the position is set and
// its corner lies in the work area of some monitor (left of or above the
// primary too); elsewhere the dialog stays where the host put it.
void restoreWindowPosition(HostWindow dialog, const uint8_t* position);
