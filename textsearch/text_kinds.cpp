// Constant data: the table of the kinds.
#include "textsearch/text_kinds.h"

#include "host/host_records.h"
#include "host/host_tags.h"
#include "textsearch/text_prefs.h"

namespace T = TextSearchPrefsLayout;

namespace {

constexpr size_t NoName = 0;  // kinds whose text is not named by the item
constexpr int32_t Kept = -1;  // a key word the start leaves as it was

}  // namespace

// Row i is kind i; each row names its fields, in the order TextKindRow
// declares them.
constexpr TextKindRow TextKinds[TextKindCount] = {
    // PageTextBlock
    {.itemTag = TagPageTextItem,
     .itemSize = PageItemSize,
     .textTag = TagTextBlock,
     .headerSize = 0,
     .nameOffset = TextItemLayout::TextReference,
     .abbreviatedNameOffset = NoName,
     .startFirst = 0,
     .startSecond = 0,
     .startSubIndex = Kept,
     .switchOffset = T::PageTextBlocks,
     .noun = "page text block",
     .source = TextSource::ItemTextBlock,
     .counts = 0,
     .tagsAllowed = 1,
     .location = LocationForm::PageBlock,
     .probe = ItemProbe::IntoItem,
     .step = KindStep::ReadNext},
    // MeasureTextBlock
    {.itemTag = TagMeasureTextItem,
     .itemSize = MeasureItemSize,
     .textTag = TagTextBlock,
     .headerSize = 0,
     .nameOffset = TextItemLayout::TextReference,
     .abbreviatedNameOffset = NoName,
     .startFirst = 1,
     .startSecond = 1,
     .startSubIndex = 0,
     .switchOffset = T::MeasureTextBlocks,
     .noun = "measure text block",
     .source = TextSource::ItemTextBlock,
     .counts = CountStaves | CountMeasures,
     .tagsAllowed = 1,
     .location = LocationForm::MeasureBlock,
     .probe = ItemProbe::IntoItem,
     .step = KindStep::BlocksInCells},
    // TextExpression
    {.itemTag = TagTextExpression,
     .itemSize = ExpressionItemSize,
     .textTag = TagTextExpression,
     .headerSize = ExpressionHeaderSize,
     .nameOffset = NoName,
     .abbreviatedNameOffset = NoName,
     .startFirst = 0,
     .startSecond = 0,
     .startSubIndex = Kept,
     .switchOffset = T::TextExpressions,
     .noun = "text expression entry",
     .source = TextSource::OwnRecord,
     .counts = 0,
     .tagsAllowed = 0,
     .location = LocationForm::Number,
     .probe = ItemProbe::IntoItem,
     .step = KindStep::UntilGap},
    // StaffName
    {.itemTag = TagStaff,
     .itemSize = StaffItemSize,
     .textTag = TagTextBlock,
     .headerSize = 0,
     .nameOffset = StaffLayout::FullName,
     .abbreviatedNameOffset = StaffLayout::AbbreviatedName,
     .startFirst = 0,
     .startSecond = 0,
     .startSubIndex = Kept,
     .switchOffset = T::StaffNames,
     .noun = "staff name",
     .source = TextSource::NameTextBlocks,
     .counts = 0,
     .tagsAllowed = 1,
     .location = LocationForm::Name,
     .probe = ItemProbe::IntoItem,
     .step = KindStep::UntilGap},
    // GroupName
    {.itemTag = TagGroup,
     .itemSize = GroupItemSize,
     .textTag = TagTextBlock,
     .headerSize = 0,
     .nameOffset = GroupLayout::FullName,
     .abbreviatedNameOffset = GroupLayout::AbbreviatedName,
     .startFirst = 0,
     .startSecond = 1,
     .startSubIndex = 0,
     .switchOffset = T::GroupNames,
     .noun = "group name",
     .source = TextSource::NameTextBlocks,
     .counts = CountStaffSystems,
     .tagsAllowed = 1,
     .location = LocationForm::GroupName,
     .probe = ItemProbe::IntoItem,
     .step = KindStep::GroupsInSystems},
    // TextRepeat
    {.itemTag = TagTextRepeat,
     .itemSize = TextRepeatProbeSize,
     .textTag = TagTextRepeatText,
     .headerSize = 0,
     .nameOffset = NoName,
     .abbreviatedNameOffset = NoName,
     .startFirst = 1,
     .startSecond = 0,
     .startSubIndex = Kept,
     .switchOffset = T::TextRepeats,
     .noun = "text repeat entry",
     .source = TextSource::OwnRecord,
     .counts = 0,
     .tagsAllowed = 0,
     .location = LocationForm::Number,
     .probe = ItemProbe::WithoutBuffer,
     .step = KindStep::UntilEmpty},
    // EndingRepeat
    {.itemTag = TagEndingRepeat,
     .itemSize = EndingRepeatProbeSize,
     .textTag = TagEndingRepeatText,
     .headerSize = 0,
     .nameOffset = NoName,
     .abbreviatedNameOffset = NoName,
     .startFirst = 1,
     .startSecond = 0,
     .startSubIndex = Kept,
     .switchOffset = T::EndingRepeats,
     .noun = "ending repeat in measure",
     .source = TextSource::OwnRecord,
     .counts = CountMeasures,
     .tagsAllowed = 0,
     .location = LocationForm::Number,
     .probe = ItemProbe::WithoutBuffer,
     .step = KindStep::ToMeasureCount},
    // VerseLyrics
    {.itemTag = TagVerseLyrics,
     .itemSize = 0,
     .textTag = TagVerseLyrics,
     .headerSize = 0,
     .nameOffset = NoName,
     .abbreviatedNameOffset = NoName,
     .startFirst = 1,
     .startSecond = Kept,
     .startSubIndex = Kept,
     .switchOffset = T::Lyrics,
     .noun = "verse lyrics",
     .source = TextSource::OwnRecord,
     .counts = 0,
     .tagsAllowed = 1,
     .location = LocationForm::SignedNumber,
     .probe = ItemProbe::WithoutBuffer,
     .step = KindStep::ToLastLyric},
    // ChorusLyrics
    {.itemTag = TagChorusLyrics,
     .itemSize = 0,
     .textTag = TagChorusLyrics,
     .headerSize = 0,
     .nameOffset = NoName,
     .abbreviatedNameOffset = NoName,
     .startFirst = 1,
     .startSecond = Kept,
     .startSubIndex = Kept,
     .switchOffset = T::Lyrics,
     .noun = "chorus lyrics",
     .source = TextSource::OwnRecord,
     .counts = 0,
     .tagsAllowed = 1,
     .location = LocationForm::SignedNumber,
     .probe = ItemProbe::WithoutBuffer,
     .step = KindStep::ToLastLyric},
    // SectionLyrics
    {.itemTag = TagSectionLyrics,
     .itemSize = 0,
     .textTag = TagSectionLyrics,
     .headerSize = 0,
     .nameOffset = NoName,
     .abbreviatedNameOffset = NoName,
     .startFirst = 1,
     .startSecond = Kept,
     .startSubIndex = Kept,
     .switchOffset = T::Lyrics,
     .noun = "section lyrics",
     .source = TextSource::OwnRecord,
     .counts = 0,
     .tagsAllowed = 1,
     .location = LocationForm::SignedNumber,
     .probe = ItemProbe::WithoutBuffer,
     .step = KindStep::ToLastLyric},
};

namespace {

// Every row is filled in (a row left out would be all zeros), and every
// item read into the cursor fits its buffer.
constexpr bool rowsAreWhole() {
  for (const TextKindRow& row : TextKinds) {
    if (row.itemTag == 0 || row.noun == nullptr) return false;
    if (row.probe == ItemProbe::IntoItem && row.itemSize > LargestItemSize) {
      return false;
    }
  }
  return true;
}
static_assert(rowsAreWhole(), "one whole row per kind, items that fit");

}  // namespace
