// Characters of the ANSI code page in force. On Japanese, Chinese and
// Korean systems a lead byte and the byte after it are one character, and
// that second byte may look like an ASCII letter, a caret or a parenthesis.
// The Windows side reads the code page; the text command steps through
// texts with this table alone, so a single-byte code page (no lead bytes)
// works byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>

struct LeadByteTable {
  bool lead[256];
};

// What the text command needs to know of the ANSI code page in force.
struct AnsiCodePage {
  LeadByteTable leadBytes;
  uint8_t fontCharset;  // the character set of fonts that show its texts
};

// A table from lead-byte ranges as the system gives them: pairs of first
// and last byte, ending at a pair of zeros or after `size` bytes.
LeadByteTable leadBytesFromRanges(const uint8_t* ranges, size_t size);

// Whether the table has any lead byte at all.
bool hasLeadBytes(const LeadByteTable& table);

// The length in bytes of the character at `text` (not the terminator): 2
// for a lead byte followed by any byte but the terminator, 1 otherwise, so
// a lead byte cut short at the end of a text is a character of its own.
inline int32_t characterLength(const LeadByteTable* table, const char* text) {
  return table != nullptr && table->lead[static_cast<uint8_t>(text[0])] &&
                 text[1] != '\0'
             ? 2
             : 1;
}

// The length of the longest start of `text`, at most `maxBytes` long and
// stopping at a terminator, that holds only whole characters: a character
// that the limit cuts in two, or a lead byte just before the terminator, is
// left out.
size_t wholeCharactersLength(const LeadByteTable* table, const char* text,
                             size_t maxBytes);
