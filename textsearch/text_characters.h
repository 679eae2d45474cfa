// Characters of the ANSI code page in force: the one place that knows how
// long a character is. Three forms exist:
// - single-byte (Western, Cyrillic, Greek, Thai): one byte, one character;
// - double-byte (Japanese, Chinese, Korean): a lead byte and whatever byte
//   follows it, which may look like an ASCII letter, a caret or a
//   parenthesis;
// - UTF-8 (Windows set to "Use Unicode UTF-8"): a lead byte C2-DF, E0-EF or
//   F0-F4 and the 1, 2 or 3 continuation bytes (80-BF) it announces. Every
//   other byte (a stray continuation, C0, C1, F5-FF) is a character of its
//   own, as Windows shows each such byte as one replacement character.
// In every form a character also ends early at a byte that cannot continue
// it or at the terminator, so nothing reads past the terminator.
// The Windows side reads the code page and hands the core these tables.
#pragma once

#include <cstddef>
#include <cstdint>

enum class CharacterForm : uint8_t { SingleByte, DoubleByte, Utf8 };

// The longest character of any form, in bytes.
constexpr size_t MaxCharacterBytes = 4;

struct TextCharacters {
  CharacterForm form;
  // By first byte: the length its character has when it is complete.
  uint8_t announced[256];
  // Whether a byte can continue a character; never the terminator.
  bool continues[256];
};

// What the text command needs to know of the ANSI code page in force.
struct AnsiCodePage {
  TextCharacters characters;
  uint8_t fontCharset;  // the character set of fonts that show its texts
};

TextCharacters singleByteCharacters();
// From lead-byte ranges as the system gives them: pairs of first and last
// byte, ending at a pair of zeros or after `size` bytes. No range: the
// single-byte form.
TextCharacters doubleByteCharacters(const uint8_t* leadRanges, size_t size);
TextCharacters utf8Characters();

// The form of the system's code page: UTF-8 for 65001 (the one code page a
// system runs with whose characters can be longer than two bytes),
// double-byte where there are lead bytes, single-byte otherwise.
TextCharacters charactersOfCodePage(uint32_t codePage,
                                    const uint8_t* leadRanges, size_t size);

// The length in bytes of the character at `text` (not the terminator).
inline int32_t characterLength(const TextCharacters& characters,
                               const char* text) {
  const int32_t announced = characters.announced[static_cast<uint8_t>(*text)];
  int32_t length = 1;
  while (length < announced &&
         characters.continues[static_cast<uint8_t>(text[length])]) {
    ++length;
  }
  return length;
}

inline int32_t nextCharacter(const TextCharacters& characters, const char* text,
                             int32_t at) {
  return at + characterLength(characters, text + at);
}

// The first character start at or after `offset`, which lies within the
// text, before its terminator. `known` is a character start at or before
// `offset`.
int32_t alignToCharacter(const TextCharacters& characters, const char* text,
                         int32_t offset, int32_t known);

// Whether the byte at `at` starts a character of the double-byte form, told
// without walking from the start of the text: the byte after one that
// cannot be a lead byte starts a character (it follows a one-byte character
// or a trail byte), and so does `known` (a character start at or before
// `at`); from there the lead-range bytes before `at` pair up, so `at` starts
// a character when their count is even.
bool startsDoubleByteCharacter(const TextCharacters& characters,
                               const char* text, int32_t at, int32_t known);

// Where the first ASCII character `wanted` at or after the character start
// `from` and before `end` (within the text) lies, or -1. A trail byte that
// equals it is not it. In the other forms an ASCII byte is always a
// character of its own.
int32_t findOneByteCharacter(const TextCharacters& characters, const char* text,
                             int32_t from, int32_t end, char wanted);

// Case folding of the C locale: only a to z fold, and only as characters
// of their own (never a trail byte).
inline char foldLetter(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// `text` with the letters that are characters of their own folded, into
// `folded` (as long as `text`), terminated.
void foldText(const TextCharacters& characters, const char* text, char* folded);

// The length of the longest start of `text`, at most `maxBytes` long and
// ending before its terminator, that ends in a complete character: a
// character that the limit cuts, or that the terminator or any other byte
// cuts short, is left out at the end. Reads nothing at or past `maxBytes`
// or the terminator.
size_t wholeCharactersLength(const TextCharacters& characters, const char* text,
                             size_t maxBytes);

// Copies those whole characters of `source` into `target` (which holds
// `maxBytes` + 1 bytes and may be `source` itself) and terminates it;
// answers their length.
size_t copyWholeCharacters(const TextCharacters& characters, char* target,
                           const char* source, size_t maxBytes);
