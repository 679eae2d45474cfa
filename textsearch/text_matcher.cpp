// No state: every function works on its arguments alone.
#include "textsearch/text_matcher.h"

#include <cstring>

#include "textsearch/text_memory.h"

namespace T = TextSearchPrefsLayout;

namespace {

// The last search for one character in one text: where it began and what
// it found (-1: nothing up to the end). Searches move forward through a
// text, so one that begins within the stretch already searched has its
// answer at once, and a text full of carets is not read again for each.
struct CharacterSearch {
  int32_t from = -1;
  int32_t found = -1;
};

// The parentheses searched for by the tags of one text.
struct TagSearch {
  CharacterSearch open, close;
};

// Where the first one-byte character `wanted` at or after the character
// boundary `from` is, or -1. A trail byte that equals it is not it.
int32_t findCharacter(const TextCharacters& characters, const char* text,
                      int32_t from, char wanted, CharacterSearch& last) {
  if (last.from >= 0 && from >= last.from &&
      (last.found < 0 || from <= last.found)) {
    return last.found;
  }
  int32_t found = -1;
  if (isSelfSynchronising(characters)) {
    const char* at = strchr(text + from, wanted);
    if (at != nullptr) found = static_cast<int32_t>(at - text);
  } else {
    for (int32_t at = from; text[at] != '\0';
         at = nextCharacter(characters, text, at)) {
      if (text[at] == wanted && characterLength(characters, text + at) == 1) {
        found = at;
        break;
      }
    }
  }
  last = CharacterSearch{from, found};
  return found;
}

// Where the tag that starts at the character boundary `at` ends (one past
// its closing parenthesis), or -1 when there is no tag there. A tag is a
// caret not followed by a second caret, running to the first closing
// parenthesis after the first opening parenthesis after it.
int32_t tagEnd(const TextCharacters& characters, const char* text, int32_t at,
               TagSearch& search) {
  if (text[at] != '^' || characterLength(characters, text + at) != 1 ||
      text[at + 1] == '^') {
    return -1;
  }
  const int32_t open =
      findCharacter(characters, text, at + 1, '(', search.open);
  if (open < 0) return -1;
  const int32_t close =
      findCharacter(characters, text, open + 1, ')', search.close);
  if (close < 0) return -1;
  return close + 1;
}

// The search string as one text compares with it: folded unless case
// matters, and whether the code page lets the comparison go byte by byte.
struct Needle {
  const char* bytes;
  int32_t length;
  bool caseSensitive;
  bool byteByByte;
};

Needle needleOf(const TextPattern& pattern) {
  return Needle{
      pattern.caseSensitive ? pattern.searchText : pattern.foldedSearch,
      pattern.searchLength, pattern.caseSensitive,
      isSelfSynchronising(pattern.characters)};
}

// Whether the search string matches at the character boundary `at`,
// character by character: a match ends on a character boundary, and only
// one-byte characters fold (the pattern keeps the search string folded).
// Where the code page is self-synchronising, a byte-for-byte match of the
// search string's whole characters is that.
bool matchesAt(const TextCharacters& table, const Needle& needle,
               const char* text, int32_t at) {
  const bool caseSensitive = needle.caseSensitive;
  const char* search = needle.bytes;
  const int32_t length = needle.length;
  if (needle.byteByByte) {
    for (int32_t i = 0; i < length; ++i) {
      const char c = text[at + i];
      if (c == '\0') return false;
      if ((caseSensitive ? c : foldLetter(c)) != search[i]) return false;
    }
    return true;
  }
  for (int32_t i = 0; i < length;) {
    const char c = text[at + i];
    if (c == '\0') return false;
    const int32_t width = characterLength(table, text + at + i);
    if (width != characterLength(table, search + i)) return false;
    if (width > 1) {
      if (memcmp(text + at + i, search + i, static_cast<size_t>(width)) != 0) {
        return false;
      }
    } else if ((caseSensitive ? c : foldLetter(c)) != search[i]) {
      return false;
    }
    i += width;
  }
  return true;
}

}  // namespace

TextPattern makePattern(const TextSearchPrefs& prefs,
                        const TextCharacters& characters) {
  TextPattern pattern{};
  pattern.characters = characters;
  pattern.caseSensitive = prefsWord(prefs, T::CaseSensitive) != 0;
  // A stored string may lack its terminator, and one cut at 50 bytes may
  // end in part of a character: only its whole characters are taken.
  pattern.searchLength = static_cast<int16_t>(copyWholeCharacters(
      characters, pattern.searchText,
      reinterpret_cast<const char*>(prefs.bytes + T::SearchString),
      TextMaxChars));
  pattern.replaceLength = static_cast<int16_t>(copyWholeCharacters(
      characters, pattern.replaceText,
      reinterpret_cast<const char*>(prefs.bytes + T::ReplaceString),
      TextMaxChars));
  foldText(characters, pattern.searchText, pattern.foldedSearch);
  return pattern;
}

char* duplicateText(const char* text) {
  const size_t length = strlen(text);
  char* copy = allocateText(length + 1);
  if (copy != nullptr) memcpy(copy, text, length + 1);
  return copy;
}

int32_t findMatch(const TextPattern& pattern, const char* text, int32_t start,
                  bool stepOverTags) {
  // An empty search string would match everywhere and never move on.
  if (text == nullptr || text[0] == '\0' || pattern.searchLength == 0) {
    return NoMatch;
  }
  const int32_t length = static_cast<int32_t>(strlen(text));
  if (length >= TextLengthLimit || start < 0 || start >= length) {
    return NoMatch;
  }
  const TextCharacters& characters = pattern.characters;
  const Needle needle = needleOf(pattern);
  int32_t p = alignToCharacter(characters, text, start);
  TagSearch tags;
  for (;;) {
    while (stepOverTags && text[p] == '^') {
      const int32_t end = tagEnd(characters, text, p, tags);
      if (end < 0) break;
      p = end;
    }
    if (text[p] == '\0') return NoMatch;
    if (matchesAt(characters, needle, text, p)) return p;
    p = nextCharacter(characters, text, p);
    if (text[p] == '\0') return NoMatch;
  }
}

char* replaceAt(const TextPattern& pattern, const char* text, int32_t offset) {
  const int32_t length = static_cast<int32_t>(strlen(text));
  const int32_t newLength =
      length - pattern.searchLength + pattern.replaceLength;
  if (newLength >= TextLengthLimit) return nullptr;
  char* replaced = allocateText(static_cast<size_t>(newLength) + 1);
  if (replaced == nullptr) return nullptr;
  memcpy(replaced, text, static_cast<size_t>(offset));
  memcpy(replaced + offset, pattern.replaceText,
         static_cast<size_t>(pattern.replaceLength));
  // The rest after the match, with its terminator.
  const int32_t rest = length - offset - pattern.searchLength + 1;
  memcpy(replaced + offset + pattern.replaceLength,
         text + offset + pattern.searchLength, static_cast<size_t>(rest));
  return replaced;
}

char* displayCopy(const TextCharacters& characters, const char* text,
                  int16_t* position) {
  if (text == nullptr) return nullptr;
  const int32_t length = static_cast<int32_t>(strlen(text));
  char* shown = allocateText(static_cast<size_t>(length) + 1);
  if (shown == nullptr) return nullptr;
  int32_t copied = 0;
  TagSearch tags;
  for (int32_t i = 0; i < length;) {
    const int32_t end = tagEnd(characters, text, i, tags);
    if (end < 0) {
      const int32_t next = nextCharacter(characters, text, i);
      while (i < next) shown[copied++] = text[i++];
      continue;
    }
    // Tags before the first shown character move the position back.
    if (copied == 0) *position = static_cast<int16_t>(*position - (end - i));
    i = end;
  }
  shown[copied] = '\0';
  return shown;
}
