// The engine of the note-entry command: walks the selected region through
// the host's region pass, tests entries and notes against the search record
// and applies the replace record to every match.
#pragma once

#include <cstdint>

#include "entrysearch/entry_options.h"

constexpr int32_t EntrySearchStopped = -1;

// Answers the number of replacements made, or EntrySearchStopped when the
// host stopped the pass. `region` is the host's HostRegion. The count is
// kept in 32 bits: a large selection can hold more than 32767 matches, and
// a 16-bit count would wrap (at 65535 even to the stop value).
int32_t runEntrySearch(const EntryOptions* search, const EntryOptions* replace,
                       const uint8_t* region);
