// No state: every function works on its arguments alone.
#include "textsearch/text_matcher.h"

#include <cstring>

namespace T = TextSearchPrefsLayout;

namespace {

// Where the first one-byte character `wanted` at or after the character
// start `from` is, or -1. An answer known from an earlier search is reused:
// one that began at or before `from` and found nothing before it; one that
// began after `from` needs only the stretch before it searched.
int32_t findCharacter(const TextCharacters& characters, const char* text,
                      int32_t length, int32_t from, char wanted,
                      CharacterSearch& last) {
  if (last.from >= 0 && from >= last.from &&
      (last.found < 0 || from <= last.found)) {
    return last.found;
  }
  int32_t found;
  if (from < last.from) {  // an earlier search that began after `from`
    found = findOneByteCharacter(characters, text, from, last.from, wanted);
    if (found < 0) found = last.found;
  } else {
    found = findOneByteCharacter(characters, text, from, length, wanted);
  }
  last = CharacterSearch{from, found};
  return found;
}

// Where the tag that starts at the character start `at` ends (one past its
// closing parenthesis), or -1 when there is no tag there.
int32_t tagEnd(const TextCharacters& characters, const char* text,
               int32_t length, int32_t at, TagSearch& search) {
  // A caret at a character start is a character of its own in every form.
  if (text[at] != '^' || text[at + 1] == '^') {
    return -1;
  }
  const int32_t open =
      findCharacter(characters, text, length, at + 1, '(', search.open);
  if (open < 0) return -1;
  const int32_t close =
      findCharacter(characters, text, length, open + 1, ')', search.close);
  if (close < 0) return -1;
  return close + 1;
}

// Where the first one-byte character `wanted` of a string lies, or -1.
int32_t firstOneByte(const TextCharacters& characters, const char* text,
                     char wanted) {
  for (int32_t at = 0; text[at] != '\0';) {
    const int32_t width = characterLength(characters, text + at);
    if (width == 1 && text[at] == wanted) return at;
    at += width;
  }
  return -1;
}

// Whether a string holds a caret or a parenthesis as a character of its
// own.
bool holdsTagCharacter(const TextCharacters& characters, const char* text) {
  return firstOneByte(characters, text, '^') >= 0 ||
         firstOneByte(characters, text, '(') >= 0 ||
         firstOneByte(characters, text, ')') >= 0;
}

// What is known of one character after the match at `offset` is replaced
// by the pattern's replacement, whose first such character is at
// `firstInserted` (-1: none).
void shiftCharacterSearch(CharacterSearch& search, const TextPattern& pattern,
                          int32_t offset, int32_t firstInserted) {
  if (search.from < 0 || (search.found >= 0 && search.found < offset)) return;
  const int32_t end = offset + pattern.searchLength;
  const int32_t delta = pattern.replaceLength - pattern.searchLength;
  if (search.from >= end) {
    search.from += delta;
    if (search.found >= 0) search.found += delta;
    return;
  }
  // The search covered the match: nothing before it, and the first in the
  // replacement or the one found after the match.
  if (firstInserted >= 0) {
    search = CharacterSearch{search.from < offset ? search.from : offset,
                             offset + firstInserted};
  } else if (search.found >= 0 && search.found < end) {
    search = CharacterSearch{};  // the match held it: not known beyond
  } else {
    search = CharacterSearch{search.from < offset ? search.from : offset,
                             search.found < 0 ? -1 : search.found + delta};
  }
}

// Whether a text may be compared with the search string byte by byte, each
// byte folded: from a character start, bytes equal to the search string's
// are the same characters in every form, so the match ends on a character
// boundary. Folding keeps that only where each letter of the search string
// is a character of one byte, and so is its other case.
bool foldsByteByByte(const TextCharacters& characters, const char* search) {
  for (int32_t at = 0; search[at] != '\0';) {
    const int32_t width = characterLength(characters, search + at);
    for (int32_t k = at; k < at + width; ++k) {
      const char upper = foldLetter(search[k]);
      if (upper < 'A' || upper > 'Z') continue;
      const char lower = static_cast<char>(upper - 'A' + 'a');
      if (width > 1 || characters.announced[static_cast<uint8_t>(upper)] > 1 ||
          characters.announced[static_cast<uint8_t>(lower)] > 1) {
        return false;
      }
    }
    at += width;
  }
  return true;
}

// Whether the search string matches at the character boundary `at`,
// character by character: a match ends on a character boundary, and only
// one-byte characters fold (the pattern keeps the search string folded).
// Where the pattern allows, a byte-for-byte match of the search string's
// whole characters is that. The text holds at least as many bytes from
// `at` on as the search string, none of them its terminator (its length
// is taken up to the first).
bool matchesAt(const TextPattern& pattern, const char* text, int32_t at) {
  const char* search = pattern.comparedSearch;
  const char* from = text + at;
  const int32_t length = pattern.searchLength;
  if (pattern.comparesBytes) {
    for (const char* end = search + length; search != end; ++search, ++from) {
      if (pattern.compared[static_cast<uint8_t>(*from)] != *search) {
        return false;
      }
    }
    return true;
  }
  const TextCharacters& table = pattern.characters;
  for (int32_t i = 0; i < length;) {
    const char c = from[i];
    const int32_t width = characterLength(table, from + i);
    if (width != characterLength(table, search + i)) return false;
    if (width > 1) {
      if (memcmp(from + i, search + i, static_cast<size_t>(width)) != 0) {
        return false;
      }
    } else if (pattern.compared[static_cast<uint8_t>(c)] != search[i]) {
      return false;
    }
    i += width;
  }
  return true;
}

// Where the first character start at or after the character start `from`
// and at most `last` lies whose first byte is one that `stops` holds, or
// -1. Each such byte starts a character wherever it stands, or the form is
// double-byte, where a byte is checked to start one: from the last start
// known, which moves past each trail byte found, so no check looks back
// further than the one before it.
int32_t nextCandidate(const TextCharacters& characters, const bool* stops,
                      const char* text, int32_t from, int32_t last) {
  const char* end = text + last;
  int32_t known = from;
  for (const char* p = text + from; p <= end; ++p) {
    if (!stops[static_cast<uint8_t>(*p)]) continue;
    const int32_t at = static_cast<int32_t>(p - text);
    if (characters.form != CharacterForm::DoubleByte ||
        startsDoubleByteCharacter(characters, text, at, known)) {
      return at;
    }
    known = at + 1;  // a trail byte: its character ends after it
  }
  return -1;
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
  if (pattern.caseSensitive) {
    memcpy(pattern.comparedSearch, pattern.searchText, TextFieldSize);
  } else {
    foldText(characters, pattern.searchText, pattern.comparedSearch);
  }
  pattern.comparesBytes =
      pattern.caseSensitive || foldsByteByByte(characters, pattern.searchText);
  pattern.leavesTagsAlone =
      !holdsTagCharacter(characters, pattern.searchText) &&
      !holdsTagCharacter(characters, pattern.replaceText);
  // Only a character that starts like the search string, or a caret where
  // tags are stepped over, needs a look: the bytes between are skipped,
  // unless the search string starts with a byte that can continue a UTF-8
  // character (it then starts none where it continues one).
  const char first = pattern.comparedSearch[0];
  const char other = pattern.caseSensitive || first < 'A' || first > 'Z'
                         ? first
                         : static_cast<char>(first - 'A' + 'a');
  for (bool* stops : pattern.stops) {
    stops[static_cast<uint8_t>(first)] = true;
    stops[static_cast<uint8_t>(other)] = true;
  }
  pattern.stops[1][static_cast<uint8_t>('^')] = true;
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    pattern.compared[byte] = pattern.caseSensitive ? c : foldLetter(c);
  }
  pattern.skipsToCandidates =
      characters.form != CharacterForm::Utf8 ||
      !characters.continues[static_cast<uint8_t>(first)];
  pattern.replaceOpen =
      static_cast<int16_t>(firstOneByte(characters, pattern.replaceText, '('));
  pattern.replaceClose =
      static_cast<int16_t>(firstOneByte(characters, pattern.replaceText, ')'));
  return pattern;
}

int32_t findMatch(const TextPattern& pattern, const char* text, int32_t length,
                  int32_t start, int32_t known, bool stepOverTags,
                  TagSearch& tags) {
  // An empty search string would match everywhere and never move on.
  if (text == nullptr || length <= 0 || pattern.searchLength == 0 ||
      length >= TextLengthLimit || start < 0 || start >= length) {
    return NoMatch;
  }
  const TextCharacters& characters = pattern.characters;
  int32_t p =
      start == known ? start : alignToCharacter(characters, text, start, known);
  // A match takes exactly as many bytes as the search string.
  const int32_t last = length - pattern.searchLength;
  const bool* stops = pattern.stops[stepOverTags ? 1 : 0];
  for (;;) {
    if (pattern.skipsToCandidates) {
      p = nextCandidate(characters, stops, text, p, last);
      if (p < 0) return NoMatch;
    }
    while (stepOverTags && text[p] == '^') {
      const int32_t end = tagEnd(characters, text, length, p, tags);
      if (end < 0) break;
      p = end;
    }
    if (p > last) return NoMatch;
    if (matchesAt(pattern, text, p)) return p;
    p = nextCharacter(characters, text, p);
  }
}

int32_t spliceReplacement(const TextPattern& pattern, char* text,
                          int32_t length, int32_t offset) {
  const int32_t rest = offset + pattern.searchLength;
  if (pattern.replaceLength != pattern.searchLength) {
    // The rest after the match, with its terminator.
    memmove(text + offset + pattern.replaceLength, text + rest,
            static_cast<size_t>(length - rest + 1));
  }
  // Byte by byte: a replacement is short, shorter than a call of memcpy.
  for (int32_t i = 0; i < pattern.replaceLength; ++i) {
    text[offset + i] = pattern.replaceText[i];
  }
  return length - pattern.searchLength + pattern.replaceLength;
}

void shiftTagSearch(TagSearch& tags, const TextPattern& pattern,
                    int32_t offset) {
  shiftCharacterSearch(tags.open, pattern, offset, pattern.replaceOpen);
  shiftCharacterSearch(tags.close, pattern, offset, pattern.replaceClose);
}

int32_t tagEndAt(const TextCharacters& characters, const char* text,
                 int32_t length, int32_t at, TagSearch& tags) {
  return tagEnd(characters, text, length, at, tags);
}

void walkShown(const TextCharacters& characters, const char* text,
               int32_t length, ShownWalk& walk, int32_t until, char* shown,
               TagSearch& tags, ShownWalk* lone) {
  while (walk.text < until) {
    const int32_t caret =
        findOneByteCharacter(characters, text, walk.text, until, '^');
    const int32_t run = (caret < 0 ? until : caret) - walk.text;
    if (shown != nullptr) {
      memcpy(shown + walk.shown, text + walk.text, static_cast<size_t>(run));
    }
    walk.shown += run;
    walk.text += run;
    if (caret < 0) return;
    const int32_t end = tagEnd(characters, text, length, caret, tags);
    if (end < 0) {
      // An ordinary caret: the first of a pair, or one that opens no tag
      // for want of parentheses after it, as every later one then does.
      if (lone != nullptr && lone->text == NoLoneCaret &&
          text[caret + 1] != '^') {
        *lone = walk;
      }
      if (shown != nullptr) shown[walk.shown] = '^';
      ++walk.shown;
      ++walk.text;
      continue;
    }
    if (end > until) return;  // the tag runs over `until`: stop at it
    if (walk.shown == 0) walk.leadingTags += end - caret;
    walk.text = end;
  }
}

void walkPast(const TextCharacters& characters, const char* text,
              int32_t length, ShownWalk& walk, int32_t until, char* shown,
              TagSearch& tags, ShownWalk* lone) {
  walkShown(characters, text, length, walk, until, shown, tags, lone);
  if (walk.text < until) {  // at the caret of a tag that runs over `until`
    const int32_t end = tagEnd(characters, text, length, walk.text, tags);
    if (walk.shown == 0) walk.leadingTags += end - walk.text;
    walk.text = end;
  }
}
