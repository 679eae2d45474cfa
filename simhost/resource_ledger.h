// A ledger of what the plug-in holds: its import table is patched so that
// every font and brush it creates, every object it deletes, every DC it gets
// and releases, every heap block it allocates and frees (its texts) and
// every library it loads and frees passes through here.
#pragma once

#include <windows.h>

#include <string>

// Patches the module's imports of CreateFontA, CreateSolidBrush,
// DeleteObject, GetDC, ReleaseDC, malloc, calloc, realloc, free,
// LoadLibraryA, FreeLibrary and the registry calls (which refuse, as
// Windows may, an argument it documents as reserved); answers how many were
// patched.
int installResourceLedger(HMODULE plugin);
// Set around unloading the plug-in, whose runtime then frees blocks it took
// before the ledger was installed.
void ledgerUnloading(bool on);
// What the plug-in still holds, and how often it deleted an object or freed
// a block it did not hold (one deleted twice, say); empty when none. Forgets
// all of it, so that one fault is reported once.
std::string takeLeftovers();
// While set, every library the plug-in loads is missing, as on a system
// without it.
void refuseLibraries(bool refuse);
