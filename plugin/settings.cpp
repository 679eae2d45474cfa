// Settings persistence in the current user's registry: three REG_BINARY
// values holding the three records byte for byte. Nothing is ever shown
// about the registry; a value that cannot be read keeps its defaults.
#include "plugin/settings.h"

#include <windows.h>

#include <cstring>

EntryOptions storedSearchOptions;
EntryOptions storedReplaceOptions;
TextSearchPrefs storedTextPrefs;

namespace {

const char SettingsKey[] = "Software\\QZPlugins\\QZSearchReplace111";
const char SearchValue[] = "SearchOptions";
const char ReplaceValue[] = "ReplaceOptions";
const char TextValue[] = "TextSearchPrefs";

constexpr DWORD LargestRecord = TextSearchPrefsSize;
static_assert(EntryOptionsSize <= LargestRecord, "one buffer fits both");

// Reads one value through a temporary buffer of the record's size. The
// record takes the bytes only when the value fills it exactly: a longer
// value does not fit the buffer, and a shorter one would leave the record
// half old, half new, so both keep the defaults. The registry type is not
// looked at.
void loadValue(HKEY key, const char* name, uint8_t* record, DWORD size) {
  uint8_t buffer[LargestRecord];
  DWORD length = size;
  if (RegQueryValueExA(key, name, nullptr, nullptr, buffer, &length) ==
          ERROR_SUCCESS &&
      length == size) {
    memcpy(record, buffer, size);
  }
}

void storeValue(HKEY key, const char* name, const uint8_t* record, DWORD size) {
  // A failed write does not stop the next one.
  RegSetValueExA(key, name, 0, REG_BINARY, record, size);
}

}  // namespace

uint32_t loadSettings(EntryOptions* search, EntryOptions* replace,
                      TextSearchPrefs* text) {
  applyDefaults(search, replace, text);
  HKEY key = nullptr;
  const LONG opened =
      RegOpenKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, KEY_READ, &key);
  if (opened != ERROR_SUCCESS) return static_cast<uint32_t>(opened);
  loadValue(key, SearchValue, search->bytes, EntryOptionsSize);
  loadValue(key, ReplaceValue, replace->bytes, EntryOptionsSize);
  loadValue(key, TextValue, text->bytes, TextSearchPrefsSize);
  return static_cast<uint32_t>(RegCloseKey(key));
}

uint32_t storeSettings(const EntryOptions* search, const EntryOptions* replace,
                       const TextSearchPrefs* text) {
  HKEY key = nullptr;
  const LONG created =
      RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKey, 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr);
  if (created != ERROR_SUCCESS) return static_cast<uint32_t>(created);
  storeValue(key, SearchValue, search->bytes, EntryOptionsSize);
  storeValue(key, ReplaceValue, replace->bytes, EntryOptionsSize);
  storeValue(key, TextValue, text->bytes, TextSearchPrefsSize);
  return static_cast<uint32_t>(RegCloseKey(key));
}
