// A ledger of the GDI objects and device contexts the plug-in holds: its
// import table is patched so that every font and brush it creates, every
// object it deletes and every DC it gets and releases passes through here.
#pragma once

#include <windows.h>

#include <string>

// Patches the module's imports of CreateFontA, CreateSolidBrush,
// DeleteObject, GetDC and ReleaseDC; answers how many were patched.
int installGdiLedger(HMODULE plugin);
// What the plug-in still holds, and how often it deleted an object it did
// not hold (one deleted twice, say); empty when neither. Forgets both, so
// that one fault is reported once.
std::string takeGdiLeftovers();
