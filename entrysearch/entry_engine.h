// The engine of the note-entry command: walks the selected region, tests
// entries and notes against the search record and applies the replace record.
#pragma once

#include <cstdint>

#include "entrysearch/entry_options.h"

// Answers the number of replacements made, or -1 when the host stopped the
// pass. `region` is the host's HostRegion.
int16_t runEntrySearch(const EntryOptions* search, const EntryOptions* replace,
                       const uint8_t* region);
