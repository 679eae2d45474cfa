// The three settings records and their persistence between runs of the host.
#pragma once

#include <cstdint>

#include "entrysearch/entry_options.h"
#include "textsearch/text_prefs.h"

// The records live as long as the library; the dialogs edit them and the
// commands read them.
extern EntryOptions storedSearchOptions;
extern EntryOptions storedReplaceOptions;
extern TextSearchPrefs storedTextPrefs;

void applyDefaults(EntryOptions* search, EntryOptions* replace,
                   TextSearchPrefs* text);

// Defaults, then whatever the registry holds. Answers the registry's status.
uint32_t loadSettings(EntryOptions* search, EntryOptions* replace,
                      TextSearchPrefs* text);

// Writes the three records to the registry. Answers the registry's status:
// 0 when the key could be created or opened and was closed.
uint32_t storeSettings(const EntryOptions* search, const EntryOptions* replace,
                       const TextSearchPrefs* text);
