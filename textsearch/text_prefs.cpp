#include "textsearch/text_prefs.h"

#include "host/byte_access.h"

namespace L = TextSearchPrefsLayout;

int16_t prefsWord(const TextSearchPrefs& prefs, size_t offset) {
  return readI16(prefs.bytes, offset);
}

void setPrefsWord(TextSearchPrefs& prefs, size_t offset, int16_t value) {
  writeI16(prefs.bytes, offset, value);
}

void resetTextSearchPrefs(TextSearchPrefs* prefs) {
  if (prefs == nullptr) return;
  prefs->bytes[L::SearchString] = 0;
  prefs->bytes[L::ReplaceString] = 0;
  setPrefsWord(*prefs, L::ReplaceEnabled, 0);
  setPrefsWord(*prefs, L::CaseSensitive, 0);
  setPrefsWord(*prefs, L::SearchTags, 0);
  for (size_t i = 0; i < L::ElementSwitchCount; ++i) {
    const bool onByDefault = L::ElementSwitches + 2 * i < L::EndingRepeats;
    setPrefsWord(*prefs, L::ElementSwitches + 2 * i, onByDefault ? 1 : 0);
  }
  setPrefsWord(*prefs, L::OptionsDialogLeft, INT16_MIN);
  setPrefsWord(*prefs, L::OptionsDialogTop, INT16_MIN);
  setPrefsWord(*prefs, L::ResultsDialogLeft, INT16_MIN);
  setPrefsWord(*prefs, L::ResultsDialogTop, INT16_MIN);
}
