#include "plugin/settings.h"

void applyDefaults(EntryOptions* search, EntryOptions* replace,
                   TextSearchPrefs* text) {
  resetEntryOptions(search);
  resetEntryOptions(replace);
  resetTextSearchPrefs(text);
}
