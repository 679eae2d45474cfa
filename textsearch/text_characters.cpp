#include "textsearch/text_characters.h"

LeadByteTable leadBytesFromRanges(const uint8_t* ranges, size_t size) {
  LeadByteTable table{};
  for (size_t i = 0; i + 1 < size; i += 2) {
    const uint8_t first = ranges[i];
    const uint8_t last = ranges[i + 1];
    if (first == 0 && last == 0) break;
    for (int byte = first; byte <= last; ++byte) table.lead[byte] = true;
  }
  return table;
}

bool hasLeadBytes(const LeadByteTable& table) {
  for (bool lead : table.lead) {
    if (lead) return true;
  }
  return false;
}

size_t wholeCharactersLength(const LeadByteTable* table, const char* text,
                             size_t maxBytes) {
  size_t length = 0;
  while (length < maxBytes && text[length] != '\0') {
    const bool lead =
        table != nullptr && table->lead[static_cast<uint8_t>(text[length])];
    if (!lead) {
      ++length;
      continue;
    }
    // Both bytes must lie within the limit and before the terminator.
    if (length + 2 > maxBytes || text[length + 1] == '\0') break;
    length += 2;
  }
  return length;
}
