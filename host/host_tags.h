// HostTag codes: a 32-bit code naming a kind of host record, its four bytes
// written from the high byte to the low one.
#pragma once

#include <cstdint>

constexpr uint32_t makeHostTag(char a, char b, char c, char d) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
         static_cast<uint32_t>(static_cast<uint8_t>(d));
}

constexpr uint32_t TagPageTextItem = makeHostTag('O', '\x02', 'p', 'T');
constexpr uint32_t TagMeasureTextItem = makeHostTag('d', 't', 'm', 't');
constexpr uint32_t TagTextExpression = makeHostTag('S', 'O', 'D', 'T');
constexpr uint32_t TagStaff = makeHostTag('S', 'O', 'I', 'S');
constexpr uint32_t TagGroup = makeHostTag('S', 'D', 'N', 'G');
constexpr uint32_t TagTextRepeat = makeHostTag('S', 'O', 'R', 'S');
constexpr uint32_t TagEndingRepeat = makeHostTag('S', 'O', 'E', 'S');
constexpr uint32_t TagVerseLyrics = makeHostTag('t', 'x', 'v', 'e');
constexpr uint32_t TagChorusLyrics = makeHostTag('t', 'x', 'c', 'h');
constexpr uint32_t TagSectionLyrics = makeHostTag('t', 'x', 's', 'e');
constexpr uint32_t TagTextReference = makeHostTag('S', 'O', 'T', 'X');
constexpr uint32_t TagTextBlock = makeHostTag('t', 'x', 'b', 'l');
constexpr uint32_t TagTextRepeatText = makeHostTag('o', 's', 'R', 'T');
constexpr uint32_t TagEndingRepeatText = makeHostTag('o', 's', 'E', 'T');
constexpr uint32_t TagMeasure = makeHostTag('S', 'O', 'M', 'S');
constexpr uint32_t TagStaffSystem = makeHostTag('S', 'O', 'S', 'S');

static_assert(TagPageTextItem == 0x4F027054u, "page text item tag");
static_assert(TagTextBlock == 0x7478626Cu, "text block tag");
