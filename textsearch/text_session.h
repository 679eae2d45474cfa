// The state of one interactive text search.
#pragma once

#include <cstdint>

#include "host/host_services.h"
#include "textsearch/text_characters.h"
#include "textsearch/text_prefs.h"

// Offsets are signed 16-bit: texts of this length or longer are not
// searched, and a replacement that would make a text this long is refused.
constexpr int32_t TextLengthLimit = 32767;

struct TextSearchSession {
  HostWindow resultsDialog;
  // 32-bit: a "Yes to all" over a large score can pass 32,767 matches.
  int32_t foundCount;
  int32_t replacedCount;
  int16_t matchOffset;  // of the current match in currentText
  int16_t lengthDelta;  // replacement less search length after a replace
  char* currentText;    // owned copy of the text holding the match
  // The preferences of this search, with both strings cut to at most 50
  // characters (a stored record may hold no terminator).
  const TextSearchPrefs* prefs;
  char searchText[TextFieldSize];
  char foldedSearch[TextFieldSize];  // its one-byte letters folded
  char replaceText[TextFieldSize];
  int16_t searchLength;
  int16_t replaceLength;
  // The characters of the code page: texts are searched, folded, stepped
  // over and copied one whole character at a time.
  TextCharacters characters;
};

extern TextSearchSession textSession;

// Points the session at a preferences record and takes its strings, in the
// code page with `characters` (none: a single-byte code page).
void useTextPrefs(const TextSearchPrefs* prefs,
                  const TextCharacters* characters = nullptr);
// Releases the current text.
void dropCurrentText();
