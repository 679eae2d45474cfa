#include "entrysearch/entry_engine.h"

// Placeholder until the engine exists: no pass, no replacement.
int16_t runEntrySearch(const EntryOptions*, const EntryOptions*,
                       const uint8_t*) {
  return 0;
}
