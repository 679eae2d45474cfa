#include "plugin/settings.h"

EntryOptions storedSearchOptions;
EntryOptions storedReplaceOptions;
TextSearchPrefs storedTextPrefs;

// Placeholder until settings are kept in the registry: every run of the
// host starts from the defaults and nothing is written.
uint32_t loadSettings(EntryOptions* search, EntryOptions* replace,
                      TextSearchPrefs* text) {
  applyDefaults(search, replace, text);
  return 0;
}

uint32_t storeSettings(const EntryOptions*, const EntryOptions*,
                       const TextSearchPrefs*) {
  return 0;
}
