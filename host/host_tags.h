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

// The host's codes as numbers: a letter slipped in a name above fails here.
static_assert(TagPageTextItem == 0x4F027054u, "page text item tag");
static_assert(TagMeasureTextItem == 0x64746D74u, "measure text item tag");
static_assert(TagTextExpression == 0x534F4454u, "text expression tag");
static_assert(TagStaff == 0x534F4953u, "staff tag");
static_assert(TagGroup == 0x53444E47u, "group tag");
static_assert(TagTextRepeat == 0x534F5253u, "text repeat tag");
static_assert(TagEndingRepeat == 0x534F4553u, "ending repeat tag");
static_assert(TagVerseLyrics == 0x74787665u, "verse lyrics tag");
static_assert(TagChorusLyrics == 0x74786368u, "chorus lyrics tag");
static_assert(TagSectionLyrics == 0x74787365u, "section lyrics tag");
static_assert(TagTextReference == 0x534F5458u, "text reference tag");
static_assert(TagTextBlock == 0x7478626Cu, "text block tag");
static_assert(TagTextRepeatText == 0x6F735254u, "text repeat text tag");
static_assert(TagEndingRepeatText == 0x6F734554u, "ending repeat text tag");
static_assert(TagMeasure == 0x534F4D53u, "measure tag");
static_assert(TagStaffSystem == 0x534F5353u, "staff system tag");
