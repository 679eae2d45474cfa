#include "textsearch/text_characters.h"

#include <cstring>

namespace {

constexpr uint32_t Utf8CodePage = 65001;

// Continuation bytes of UTF-8, and its lead bytes with the length each
// announces. C0 and C1 could only start overlong forms of ASCII, and F5 and
// above characters past U+10FFFF: Windows reads them as invalid, so they
// are characters of their own.
constexpr uint8_t Utf8FirstContinuation = 0x80;
constexpr uint8_t Utf8LastContinuation = 0xBF;
struct LeadRange {
  uint8_t first, last, length;
};
constexpr LeadRange Utf8Leads[] = {
    {0xC2, 0xDF, 2}, {0xE0, 0xEF, 3}, {0xF0, 0xF4, 4}};

// Nearest character start at or before `offset`, looking back over at most
// the continuation bytes one character can hold: the lead it found, or
// `offset` when `offset` starts a character or continues none.
int32_t utf8CharacterAround(const TextCharacters& characters, const char* text,
                            int32_t offset) {
  for (int32_t back = 1;
       back < static_cast<int32_t>(MaxCharacterBytes) && back <= offset;
       ++back) {
    const uint8_t byte = static_cast<uint8_t>(text[offset - back]);
    if (characters.announced[byte] > 1) return offset - back;
    if (!characters.continues[byte]) break;
  }
  return offset;
}

}  // namespace

TextCharacters singleByteCharacters() {
  TextCharacters characters{};
  characters.form = CharacterForm::SingleByte;
  memset(characters.announced, 1, sizeof characters.announced);
  return characters;
}

TextCharacters doubleByteCharacters(const uint8_t* leadRanges, size_t size) {
  TextCharacters characters = singleByteCharacters();
  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint8_t first = leadRanges[i];
    const uint8_t last = leadRanges[i + 1];
    if (first == 0) break;  // the system ends the ranges with zeros
    for (int byte = first; byte <= last; ++byte) {
      characters.announced[byte] = 2;
      characters.form = CharacterForm::DoubleByte;
    }
  }
  if (characters.form == CharacterForm::DoubleByte) {
    // A trail byte is any byte but the terminator.
    memset(characters.continues + 1, true, sizeof characters.continues - 1);
  }
  return characters;
}

TextCharacters utf8Characters() {
  TextCharacters characters = singleByteCharacters();
  characters.form = CharacterForm::Utf8;
  for (const LeadRange& range : Utf8Leads) {
    for (int byte = range.first; byte <= range.last; ++byte) {
      characters.announced[byte] = range.length;
    }
  }
  for (int byte = Utf8FirstContinuation; byte <= Utf8LastContinuation; ++byte) {
    characters.continues[byte] = true;
  }
  return characters;
}

TextCharacters charactersOfCodePage(uint32_t codePage,
                                    const uint8_t* leadRanges, size_t size) {
  if (codePage == Utf8CodePage) return utf8Characters();
  return doubleByteCharacters(leadRanges, size);
}

int32_t alignToCharacter(const TextCharacters& characters, const char* text,
                         int32_t offset, int32_t known) {
  switch (characters.form) {
    case CharacterForm::SingleByte:
      return offset;
    case CharacterForm::Utf8: {
      const int32_t start = utf8CharacterAround(characters, text, offset);
      const int32_t end = nextCharacter(characters, text, start);
      return start < offset && end > offset ? end : offset;
    }
    case CharacterForm::DoubleByte:
      break;
  }
  // A trail byte: its character ends after it.
  return startsDoubleByteCharacter(characters, text, offset, known)
             ? offset
             : offset + 1;
}

bool startsDoubleByteCharacter(const TextCharacters& characters,
                               const char* text, int32_t at, int32_t known) {
  int32_t leads = 0;
  while (at - leads > known &&
         characters.announced[static_cast<uint8_t>(text[at - leads - 1])] > 1) {
    ++leads;
  }
  return leads % 2 == 0;
}

int32_t findOneByteCharacter(const TextCharacters& characters, const char* text,
                             int32_t from, int32_t end, char wanted) {
  while (from < end) {
    const char* found = static_cast<const char*>(
        memchr(text + from, wanted, static_cast<size_t>(end - from)));
    if (found == nullptr) return -1;
    const int32_t at = static_cast<int32_t>(found - text);
    if (characters.form != CharacterForm::DoubleByte ||
        startsDoubleByteCharacter(characters, text, at, from)) {
      return at;
    }
    from = at + 1;  // a trail byte: its character ends after it
  }
  return -1;
}

void foldText(const TextCharacters& characters, const char* text,
              char* folded) {
  int32_t i = 0;
  while (text[i] != '\0') {
    const int32_t length = characterLength(characters, text + i);
    folded[i] = length == 1 ? foldLetter(text[i]) : text[i];
    for (int32_t k = 1; k < length; ++k) folded[i + k] = text[i + k];
    i += length;
  }
  folded[i] = '\0';
}

size_t wholeCharactersLength(const TextCharacters& characters, const char* text,
                             size_t maxBytes) {
  // Where the last complete character ends. A character that a byte which
  // cannot continue it cuts short is one of its own only while that byte
  // follows it: at the end of the string it would take up what comes after
  // the string wherever the string is put.
  size_t whole = 0;
  size_t length = 0;
  while (length < maxBytes && text[length] != '\0') {
    const size_t announced =
        characters.announced[static_cast<uint8_t>(text[length])];
    size_t bytes = 1;
    while (bytes < announced && length + bytes < maxBytes &&
           characters.continues[static_cast<uint8_t>(text[length + bytes])]) {
      ++bytes;
    }
    length += bytes;
    if (bytes == announced) whole = length;
  }
  return whole;
}

size_t copyWholeCharacters(const TextCharacters& characters, char* target,
                           const char* source, size_t maxBytes) {
  const size_t length = wholeCharactersLength(characters, source, maxBytes);
  memmove(target, source, length);
  target[length] = '\0';
  return length;
}
