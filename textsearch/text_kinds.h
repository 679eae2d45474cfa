// The ten kinds of text the text command searches, and the one table that
// says, for each, where its items and texts lie among the host's records,
// whether the matcher steps over inline tags, and how its location reads.
// The walker, the write-back and the location line read rows of it.
#pragma once

#include <cstddef>
#include <cstdint>

enum TextElementKind : uint8_t {
  PageTextBlock = 0,
  MeasureTextBlock = 1,
  TextExpression = 2,
  StaffName = 3,
  GroupName = 4,
  TextRepeat = 5,
  EndingRepeat = 6,
  VerseLyrics = 7,
  ChorusLyrics = 8,
  SectionLyrics = 9,
};
constexpr size_t TextKindCount = 10;

// Item record sizes of the kinds that read their item into a buffer.
constexpr int32_t PageItemSize = 24;
constexpr int32_t MeasureItemSize = 10;
constexpr int32_t ExpressionItemSize = 14;  // the header, two bytes of text
constexpr int32_t StaffItemSize = 66;
constexpr int32_t GroupItemSize = 30;
// The sizes asked for when the repeats are probed, without a buffer.
constexpr int32_t TextRepeatProbeSize = 16;
constexpr int32_t EndingRepeatProbeSize = 28;
// The header of a text expression record, before its text.
constexpr int32_t ExpressionHeaderSize = 12;

// Where a kind's text is.
enum class TextSource : uint8_t {
  // The item's word at `nameOffset` is a text reference number; the
  // reference names the text block that holds the text.
  ItemTextBlock,
  // Two texts per item, the full name first: text reference numbers at
  // `nameOffset` and `abbreviatedNameOffset`.
  NameTextBlocks,
  // A record of `textTag` at the item's key: `headerSize` bytes, then the
  // text.
  OwnRecord,
};

// The counts a kind takes when it starts, in this order.
enum KindCounts : uint8_t {
  CountStaves = 1,
  CountMeasures = 2,
  CountStaffSystems = 4,
};

// How the location line names an item (key words as the walker keeps them).
enum class LocationForm : uint8_t {
  PageBlock,     // "<noun> #<second + 1>", then the page or "[All pages]"
  MeasureBlock,  // "<noun> #<subIndex + 1> in measure <second>, staff <first>"
  Name,          // "<full|abbreviated> <noun> #<first>"
  GroupName,     // "<full|abbreviated> <noun> #<second> in <system>"
  Number,        // "<noun> #<first>"
  SignedNumber,  // "<noun> #<first, as a signed number>"
};

struct TextKindRow {
  uint32_t itemTag;    // the item record, probed with services 9 and 14
  int32_t itemSize;    // the size asked for when an item is probed
  uint32_t textTag;    // the record that holds the text, read and written
  int32_t headerSize;  // bytes before the text in that record
  size_t nameOffset;   // item words naming text references (see TextSource)
  size_t abbreviatedNameOffset;
  // The key words set when the kind starts; -1: left as they were.
  int32_t startFirst;
  int32_t startSecond;
  int32_t startSubIndex;
  size_t switchOffset;  // the kind's switch in TextSearchPrefs
  const char* noun;     // the item's name in the location line
  TextSource source;
  uint8_t counts;       // KindCounts
  int16_t tagsAllowed;  // 1: the matcher may step over inline tags
  LocationForm location;
};

extern const TextKindRow TextKinds[TextKindCount];
