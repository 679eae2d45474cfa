// Pictures of windows as the user sees them, frames included, taken from
// the screen and written as 24-bit BMP files.
#pragma once

#include <windows.h>

#include <string>

// Brings the window to the screen, lets it paint, and writes its outer
// rectangle to `path`. Answers false when nothing could be written.
bool saveWindowPicture(HWND window, const std::string& path);
