// The matcher of the text command: a function of its inputs. A pattern is
// made once per search from the preferences' strings, the case switch and
// the characters of the code page; with it the matcher finds the search
// string in one text from an offset, splices the replacement in at a match,
// and makes the copy of a text that the results dialog shows. It keeps no
// state: where a text came from, where it goes back and which match is
// current belong to its callers.
#pragma once

#include <cstdint>

#include "textsearch/text_characters.h"
#include "textsearch/text_prefs.h"

// Offsets are signed 16-bit: texts of this length or longer are not
// searched, and a replacement that would make a text this long is refused.
constexpr int32_t TextLengthLimit = 32767;

// What a search looks for: both strings cut to at most 50 bytes of whole
// characters (a stored record may hold no terminator), the search string
// also folded, and the code page's characters, by which texts are searched,
// folded, stepped over and copied one whole character at a time.
struct TextPattern {
  char searchText[TextFieldSize];
  char foldedSearch[TextFieldSize];  // its one-byte letters folded
  char replaceText[TextFieldSize];
  int16_t searchLength;
  int16_t replaceLength;
  bool caseSensitive;
  TextCharacters characters;
};

TextPattern makePattern(const TextSearchPrefs& prefs,
                        const TextCharacters& characters);

constexpr int32_t NoMatch = -1;

// Where the first match in `text` at or after `start` begins, or NoMatch.
// With `stepOverTags` a match never starts inside an inline tag. Empty
// texts and search strings, texts of TextLengthLimit bytes or more and
// starts outside the text have no match.
int32_t findMatch(const TextPattern& pattern, const char* text, int32_t start,
                  bool stepOverTags);
// `text` with the search string's bytes at `offset` replaced by the
// replacement, in a new allocation (the caller releases it); null when it
// cannot be allocated or would be TextLengthLimit bytes or longer.
char* replaceAt(const TextPattern& pattern, const char* text, int32_t offset);
// A copy of `text` without its tags, in a new allocation (the caller
// releases it), or null; tags before the first shown character move
// `position` back by their length.
char* displayCopy(const TextCharacters& characters, const char* text,
                  int16_t* position);
// A copy of a string in a new allocation, or null.
char* duplicateText(const char* text);
