// The state of one interactive text search, and the matcher that finds,
// continues, replaces and writes back matches in one text at a time.
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
  char foldedSearch[TextFieldSize];  // its single-byte letters folded
  char replaceText[TextFieldSize];
  int16_t searchLength;
  int16_t replaceLength;
  // The code page's lead bytes, when it has any: texts are then searched,
  // folded, stepped over and copied one whole character at a time.
  bool doubleByte;
  LeadByteTable leadBytes;
};

extern TextSearchSession textSession;

// Points the session at a preferences record and takes its strings, in the
// code page whose lead bytes are given (none: a single-byte code page).
void useTextPrefs(const TextSearchPrefs* prefs,
                  const LeadByteTable* leadBytes = nullptr);
// Releases the current text.
void dropCurrentText();

// Searches `text` from `start`; 1 when a match was found (the session then
// holds it), 0 otherwise.
int16_t findInText(const char* text, int16_t start);
// Searches the current text again after the current match or replacement.
int16_t continueInText();
// Replaces the current match, writes the text back and counts it.
void replaceMatch();
// Stores `text` as the content of the walker's current item.
void writeBackText(const char* text);
// A copy of the current text without tags, the position corrected in
// place; null when it cannot be made. The caller releases it.
char* displayText(int16_t* position);
// A copy of a string in a new allocation, or null.
char* duplicateText(const char* text);
