// Testing and changing one entry or note against the criteria records,
// table-driven through EntryFlagTable and NoteFlagTable.
#pragma once

#include <cstdint>

#include "entrysearch/entry_options.h"

// The entry-level test: duration, position, then every active entry flag
// row, combined by the search record's matchAll (AND) or not (OR). With no
// active criterion AND matches every entry and OR matches none.
// `entry` points at one HostEntry.
bool matchEntry(const uint8_t* entry, const EntryOptions& search);

// The note-level test: displacement, raise/lower, then every active note
// flag row, combined the same way. `note` points at one HostNote.
bool matchNote(const uint8_t* note, const EntryOptions& search);

// Applies the replace record's entry flag actions (Off clears, On sets).
void replaceEntry(uint8_t* entry, const EntryOptions& replace);

// Applies the replace record's displacement, raise/lower and note flags.
void replaceNote(uint8_t* note, const EntryOptions& replace);
