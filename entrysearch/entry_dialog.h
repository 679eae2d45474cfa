// The two-page criteria dialog of the note-entry command.
#pragma once

#include <cstdint>

#include "entrysearch/entry_options.h"
#include "host/host_services.h"

// Runs the criteria dialog on working copies of the two records. Answers 1
// when the user confirmed with "&GO!" (the records then hold the edited
// copies), 0 when the user cancelled.
int16_t runEntryDialog(HostWindow parent, EntryOptions* search,
                       EntryOptions* replace);
