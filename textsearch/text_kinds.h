// The ten kinds of text the text command searches, and the one table that
// says, for each, where its items and texts lie among the host's records,
// how the walk probes an item and steps to the next, whether the matcher
// steps over inline tags, and how its location reads. The walker (its
// write-back and location line included) reads rows of it and switches on
// no kind: the walk visits the rows in order and ends after the last.
// Constant data only.
//
// What a new kind touches:
// - here: its TextElementKind (the next number) and TextKindCount; the size
//   of its item, if the walk reads the item into the cursor (and
//   LargestItemSize, if it is the largest);
// - text_kinds.cpp: its row, every field named;
// - host/host_tags.h: the tags of its records; host/host_records.h: the
//   offsets of the item's words that name its texts, if the item names them;
// - its switch. TextSearchPrefs has no spare word, and its 132 bytes are
//   also the stored "TextSearchPrefs" value. A kind that shares a switch
//   (as the three lyric kinds share `lyrics`) names that switch's offset and
//   touches nothing more. A switch of its own grows the record and so
//   changes the stored format: text_prefs.h (the size, ElementSwitchCount
//   and the offsets after the switches), text_prefs.cpp (if it is on by
//   default), and a value stored in the old size no longer loads
//   (plugin/settings.cpp);
// - a box of its own in the options dialog: resources/dialog_ids.h (the
//   element boxes are consecutive ids, one per switch, in switch order),
//   resources/dialogs.rc (the box, in a group box grown to hold it) and
//   text_options_dialog.cpp, whose check names the last box;
// - only if no row yet steps, probes, finds its text or names its location
//   as it needs: a value of an enum below and its case in text_walker.cpp
//   (KindStep, ItemProbe, TextSource) or text_location.cpp (LocationForm);
// - for tests, the simulated document (simhost/sim_document.*), to hold its
//   records.
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
// The cursor's one item buffer holds the largest of them.
constexpr int32_t LargestItemSize = StaffItemSize;
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

// How an item is probed: read into the cursor's item buffer, or asked for
// without a buffer.
enum class ItemProbe : uint8_t { IntoItem, WithoutBuffer };

// How the walk steps from one item of a kind to the next. Keys and counts
// are the cursor's; "first" and "second" are its key words.
enum class KindStep : uint8_t {
  ReadNext,         // the host's read-next (service 14) from the key on
  BlocksInCells,    // subIndex 0, 1... of each staff (first) in each measure
                    // (second), up to the counts; a cell without block 0 is
                    // passed over
  UntilGap,         // first + 1, until the first absent item
  UntilEmpty,       // first + 1, until the first item absent or of size 0
  GroupsInSystems,  // second 1, 2... until a gap, in each staff system
                    // (first) up to the count; a system without group 1 is
                    // passed over
  ToMeasureCount,   // first + 1 up to the measure count, gaps passed over
  ToLastLyric,      // first + 1 up to LastLyricNumber, gaps passed over
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
  // The key words set when the kind starts; -1: left as they were (the
  // first is always set).
  int32_t startFirst;
  int32_t startSecond;
  int32_t startSubIndex;
  size_t switchOffset;  // the kind's switch in TextSearchPrefs
  const char* noun;     // the item's name in the location line
  TextSource source;
  uint8_t counts;       // KindCounts
  int16_t tagsAllowed;  // 1: the matcher may step over inline tags
  LocationForm location;
  ItemProbe probe;
  KindStep step;
};

// Row i is kind i; the walk visits the kinds in row order.
extern const TextKindRow TextKinds[TextKindCount];

// The kind a walk starts at when no switch is on: the options dialog never
// accepts that, but a stored record can hold it.
constexpr uint8_t KindWhenNoneIsOn = VerseLyrics;
