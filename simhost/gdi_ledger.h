// A ledger of the GDI objects, device contexts and libraries the plug-in
// holds: its import table is patched so that every font and brush it
// creates, every object it deletes, every DC it gets and releases and every
// library it loads and frees passes through here.
#pragma once

#include <windows.h>

#include <string>

// Patches the module's imports of CreateFontA, CreateSolidBrush,
// DeleteObject, GetDC, ReleaseDC, LoadLibraryA and FreeLibrary; answers how
// many were patched.
int installGdiLedger(HMODULE plugin);
// What the plug-in still holds, and how often it deleted an object it did
// not hold (one deleted twice, say); empty when neither. Forgets both, so
// that one fault is reported once.
std::string takeGdiLeftovers();
// While set, every library the plug-in loads is missing, as on a system
// without it.
void refuseLibraries(bool refuse);
