// Pictures of windows as the user sees them, frames included, taken from
// the screen and written as 24-bit BMP files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Brings the window to the screen, lets it paint, and writes its outer
// rectangle to `path`. Answers false when nothing could be written.
bool saveWindowPicture(HWND window, const std::string& path);

// The window's outer rectangle as now on the screen, once pending paints are
// done, row by row from the top. Nothing is invalidated first, so a control
// the window forgot to repaint shows what it showed before.
std::vector<COLORREF> paintedPixels(HWND window);
