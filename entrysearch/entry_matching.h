// Testing and changing one entry or note against the criteria records,
// table-driven through EntryFlagTable, NoteFlagTable and
// ValueCriterionTable. Nothing here keeps state: the records and the host's
// entries come in as arguments.
#pragma once

#include <cstdint>

#include "entrysearch/entry_options.h"
#include "host/byte_access.h"

// The host record field a value criterion stands for, read as a signed
// number of its width; `record` is the HostEntry or HostNote of its level.
inline int32_t valueField(const ValueCriterionRow& row, const uint8_t* record) {
  return row.fieldWidth == 4 ? readI32(record, row.fieldOffset)
                             : readI16(record, row.fieldOffset);
}

// Every criterion that can be replaced is a 16-bit field (entry_options.cpp
// checks the table).
inline void setValueField(const ValueCriterionRow& row, uint8_t* record,
                          int16_t value) {
  writeI16(record, row.fieldOffset, value);
}

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
