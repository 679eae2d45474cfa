// A taskbar along the bottom of the primary monitor, as Windows keeps one:
// the monitor's work area, which the plug-in asks for, leaves it out. Wine
// without a window manager has none, so the host puts itself between the
// plug-in and GetMonitorInfoA.
#pragma once

#include <windows.h>

// Patches the module's import of GetMonitorInfoA; answers whether it did.
bool installTaskbar(HMODULE plugin);
// The taskbar's height in pixels; 0 (the default): no taskbar.
void setTaskbarHeight(int pixels);
