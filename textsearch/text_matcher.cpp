#include "textsearch/text_matcher.h"

#include <cstring>

#include "host/byte_access.h"
#include "textsearch/text_memory.h"
#include "textsearch/text_walker.h"

namespace T = TextSearchPrefsLayout;

TextSearchSession textSession;

namespace {

bool prefsSwitch(size_t offset) {
  return textSession.prefs != nullptr &&
         prefsWord(*textSession.prefs, offset) != 0;
}

const TextCharacters& characters() { return textSession.characters; }

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
int32_t findCharacter(const char* text, int32_t from, char wanted,
                      CharacterSearch& last) {
  if (last.from >= 0 && from >= last.from &&
      (last.found < 0 || from <= last.found)) {
    return last.found;
  }
  int32_t found = -1;
  if (isSelfSynchronising(characters())) {
    const char* at = strchr(text + from, wanted);
    if (at != nullptr) found = static_cast<int32_t>(at - text);
  } else {
    for (int32_t at = from; text[at] != '\0';
         at = nextCharacter(characters(), text, at)) {
      if (text[at] == wanted && characterLength(characters(), text + at) == 1) {
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
int32_t tagEnd(const char* text, int32_t at, TagSearch& search) {
  if (text[at] != '^' || characterLength(characters(), text + at) != 1 ||
      text[at + 1] == '^') {
    return -1;
  }
  const int32_t open = findCharacter(text, at + 1, '(', search.open);
  if (open < 0) return -1;
  const int32_t close = findCharacter(text, open + 1, ')', search.close);
  if (close < 0) return -1;
  return close + 1;
}

// Whether the search string matches at the character boundary `at`,
// character by character: a match ends on a character boundary, and only
// one-byte characters fold (the session keeps the search string folded).
// Where the code page is self-synchronising, a byte-for-byte match of the
// search string's whole characters is that.
bool matchesAt(const char* text, int32_t at, bool caseSensitive) {
  const TextCharacters& table = characters();
  const char* search =
      caseSensitive ? textSession.searchText : textSession.foldedSearch;
  const int32_t length = textSession.searchLength;
  if (isSelfSynchronising(table)) {
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

void useTextPrefs(const TextSearchPrefs* prefs,
                  const TextCharacters* characters) {
  textSession.prefs = prefs;
  textSession.characters =
      characters != nullptr ? *characters : singleByteCharacters();
  // A stored string may lack its terminator, and one cut at 50 bytes may
  // end in part of a character: only its whole characters are taken.
  textSession.searchLength = static_cast<int16_t>(copyWholeCharacters(
      textSession.characters, textSession.searchText,
      reinterpret_cast<const char*>(prefs->bytes + T::SearchString),
      TextMaxChars));
  textSession.replaceLength = static_cast<int16_t>(copyWholeCharacters(
      textSession.characters, textSession.replaceText,
      reinterpret_cast<const char*>(prefs->bytes + T::ReplaceString),
      TextMaxChars));
  foldText(textSession.characters, textSession.searchText,
           textSession.foldedSearch);
}

void dropCurrentText() {
  releaseText(textSession.currentText);
  textSession.currentText = nullptr;
}

char* duplicateText(const char* text) {
  const size_t length = strlen(text);
  char* copy = allocateText(length + 1);
  if (copy != nullptr) memcpy(copy, text, length + 1);
  return copy;
}

int16_t findInText(const char* text, int16_t start) {
  // An empty search string would match everywhere and never move on.
  if (text == nullptr || text[0] == '\0' || textSession.searchLength == 0) {
    return 0;
  }
  const int32_t length = static_cast<int32_t>(strlen(text));
  if (length >= TextLengthLimit || start < 0 || start >= length) return 0;
  const bool stepOverTags =
      textCursor.tagsAllowed == 1 && !prefsSwitch(T::SearchTags);
  const bool caseSensitive = prefsSwitch(T::CaseSensitive);
  int32_t p = alignToCharacter(characters(), text, start);
  TagSearch tags;
  for (;;) {
    while (stepOverTags && text[p] == '^') {
      const int32_t end = tagEnd(text, p, tags);
      if (end < 0) break;
      p = end;
    }
    if (text[p] == '\0') return 0;
    if (matchesAt(text, p, caseSensitive)) {
      char* copy = duplicateText(text);
      if (copy == nullptr) return 0;
      dropCurrentText();
      textSession.currentText = copy;
      textSession.matchOffset = static_cast<int16_t>(p);
      return 1;
    }
    p = nextCharacter(characters(), text, p);
    if (text[p] == '\0') return 0;
  }
}

int16_t continueInText() {
  if (textSession.currentText == nullptr) return 0;
  const int32_t next = textSession.searchLength + textSession.matchOffset +
                       textSession.lengthDelta;
  if (next >= static_cast<int32_t>(strlen(textSession.currentText))) return 0;
  char* copy = duplicateText(textSession.currentText);
  if (copy == nullptr) return 0;
  const int16_t found = findInText(copy, static_cast<int16_t>(next));
  releaseText(copy);
  return found;
}

void replaceMatch() {
  // A refused replacement counts as declined, so the search moves on past
  // the match instead of finding it again.
  textSession.lengthDelta = 0;
  if (textSession.currentText == nullptr) return;
  const int32_t length = static_cast<int32_t>(strlen(textSession.currentText));
  const int32_t newLength =
      length - textSession.searchLength + textSession.replaceLength;
  if (newLength >= TextLengthLimit) return;
  char* replaced = allocateText(static_cast<size_t>(newLength) + 1);
  if (replaced == nullptr) return;
  const int32_t offset = textSession.matchOffset;
  memcpy(replaced, textSession.currentText, static_cast<size_t>(offset));
  memcpy(replaced + offset, textSession.replaceText,
         static_cast<size_t>(textSession.replaceLength));
  // The rest after the match, with its terminator.
  const int32_t rest = length - offset - textSession.searchLength + 1;
  memcpy(replaced + offset + textSession.replaceLength,
         textSession.currentText + offset + textSession.searchLength,
         static_cast<size_t>(rest));
  dropCurrentText();
  textSession.currentText = replaced;
  textSession.lengthDelta = static_cast<int16_t>(textSession.replaceLength -
                                                 textSession.searchLength);
  writeBackText(replaced);
  ++textSession.replacedCount;
}

void writeBackText(const char* text) {
  const TextKindRow& kind = TextKinds[textCursor.kind];
  const uint32_t length = static_cast<uint32_t>(strlen(text));
  uint8_t key[HostKeyLayout::Size];
  memcpy(key, textCursor.key, sizeof key);
  if (kind.source != TextSource::OwnRecord) {
    // The text block fetched last: that of the name being searched.
    memset(key, 0, sizeof key);
    writeU16(key, HostKeyLayout::First,
             static_cast<uint16_t>(textCursor.textBlockNumber));
    hostWriteRecord(kind.textTag, key, text, length + 1, InterfaceVersion);
    return;
  }
  if (kind.headerSize == 0) {
    hostWriteRecord(kind.textTag, key, text, length + 1, InterfaceVersion);
    return;
  }
  // The record is rebuilt: its header from the item read by the walker,
  // then the text and its terminator; the size given counts two bytes more.
  const uint32_t headerSize = static_cast<uint32_t>(kind.headerSize);
  const uint32_t size = length + headerSize + 3;
  char* record = allocateText(size);
  if (record == nullptr) return;
  memcpy(record, itemBuffer(textCursor.kind),
         static_cast<size_t>(kind.itemSize));
  memcpy(record + headerSize, text, length + 1);
  hostWriteRecord(kind.textTag, key, record, size, InterfaceVersion);
  releaseText(record);
}

char* displayText(int16_t* position) {
  const char* text = textSession.currentText;
  if (text == nullptr) return nullptr;
  const int32_t length = static_cast<int32_t>(strlen(text));
  char* shown = allocateText(static_cast<size_t>(length) + 1);
  if (shown == nullptr) return nullptr;
  int32_t copied = 0;
  TagSearch tags;
  for (int32_t i = 0; i < length;) {
    const int32_t end = tagEnd(text, i, tags);
    if (end < 0) {
      const int32_t next = nextCharacter(characters(), text, i);
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
