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

constexpr TextKindRow TextKinds[TextKindCount] = {
    // itemTag, itemSize, textTag, headerSize, nameOffset,
    // abbreviatedNameOffset, start first, second, subIndex, switchOffset,
    // noun, source, counts, tagsAllowed, location, probe, step
    {TagPageTextItem, PageItemSize, TagTextBlock, 0,
     TextItemLayout::TextReference, NoName, 0, 0, Kept, T::PageTextBlocks,
     "page text block", TextSource::ItemTextBlock, 0, 1,
     LocationForm::PageBlock, ItemProbe::IntoItem, KindStep::ReadNext},
    {TagMeasureTextItem, MeasureItemSize, TagTextBlock, 0,
     TextItemLayout::TextReference, NoName, 1, 1, 0, T::MeasureTextBlocks,
     "measure text block", TextSource::ItemTextBlock,
     CountStaves | CountMeasures, 1, LocationForm::MeasureBlock,
     ItemProbe::IntoItem, KindStep::BlocksInCells},
    {TagTextExpression, ExpressionItemSize, TagTextExpression,
     ExpressionHeaderSize, NoName, NoName, 0, 0, Kept, T::TextExpressions,
     "text expression entry", TextSource::OwnRecord, 0, 0, LocationForm::Number,
     ItemProbe::IntoItem, KindStep::UntilGap},
    {TagStaff, StaffItemSize, TagTextBlock, 0, StaffLayout::FullName,
     StaffLayout::AbbreviatedName, 0, 0, Kept, T::StaffNames, "staff name",
     TextSource::NameTextBlocks, 0, 1, LocationForm::Name, ItemProbe::IntoItem,
     KindStep::UntilGap},
    {TagGroup, GroupItemSize, TagTextBlock, 0, GroupLayout::FullName,
     GroupLayout::AbbreviatedName, 0, 1, 0, T::GroupNames, "group name",
     TextSource::NameTextBlocks, CountStaffSystems, 1, LocationForm::GroupName,
     ItemProbe::IntoItem, KindStep::GroupsInSystems},
    {TagTextRepeat, TextRepeatProbeSize, TagTextRepeatText, 0, NoName, NoName,
     1, 0, Kept, T::TextRepeats, "text repeat entry", TextSource::OwnRecord, 0,
     0, LocationForm::Number, ItemProbe::WithoutBuffer, KindStep::UntilEmpty},
    {TagEndingRepeat, EndingRepeatProbeSize, TagEndingRepeatText, 0, NoName,
     NoName, 1, 0, Kept, T::EndingRepeats, "ending repeat in measure",
     TextSource::OwnRecord, CountMeasures, 0, LocationForm::Number,
     ItemProbe::WithoutBuffer, KindStep::ToMeasureCount},
    {TagVerseLyrics, 0, TagVerseLyrics, 0, NoName, NoName, 1, Kept, Kept,
     T::Lyrics, "verse lyrics", TextSource::OwnRecord, 0, 1,
     LocationForm::SignedNumber, ItemProbe::WithoutBuffer,
     KindStep::ToLastLyric},
    {TagChorusLyrics, 0, TagChorusLyrics, 0, NoName, NoName, 1, Kept, Kept,
     T::Lyrics, "chorus lyrics", TextSource::OwnRecord, 0, 1,
     LocationForm::SignedNumber, ItemProbe::WithoutBuffer,
     KindStep::ToLastLyric},
    {TagSectionLyrics, 0, TagSectionLyrics, 0, NoName, NoName, 1, Kept, Kept,
     T::Lyrics, "section lyrics", TextSource::OwnRecord, 0, 1,
     LocationForm::SignedNumber, ItemProbe::WithoutBuffer,
     KindStep::ToLastLyric},
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
