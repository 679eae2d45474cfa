#include "textsearch/text_kinds.h"

#include "host/host_records.h"
#include "host/host_tags.h"
#include "textsearch/text_prefs.h"

namespace T = TextSearchPrefsLayout;

// Row i is kind i; the walk visits the kinds in row order.
const TextKindRow TextKinds[TextKindCount] = {
    {TagPageTextItem, PageItemSize, TextSource::ItemTextBlock, TagTextBlock, 0,
     TextItemLayout::TextReference, 0, 1, 0, 0, -1, 0, T::PageTextBlocks,
     LocationForm::PageBlock, "page text block"},
    {TagMeasureTextItem, MeasureItemSize, TextSource::ItemTextBlock,
     TagTextBlock, 0, TextItemLayout::TextReference, 0, 1, 1, 1, 0,
     CountStaves | CountMeasures, T::MeasureTextBlocks,
     LocationForm::MeasureBlock, "measure text block"},
    {TagTextExpression, ExpressionItemSize, TextSource::OwnRecord,
     TagTextExpression, ExpressionHeaderSize, 0, 0, 0, 0, 0, -1, 0,
     T::TextExpressions, LocationForm::Number, "text expression entry"},
    {TagStaff, StaffItemSize, TextSource::NameTextBlocks, TagTextBlock, 0,
     StaffLayout::FullName, StaffLayout::AbbreviatedName, 1, 0, 0, -1, 0,
     T::StaffNames, LocationForm::Name, "staff name"},
    {TagGroup, GroupItemSize, TextSource::NameTextBlocks, TagTextBlock, 0,
     GroupLayout::FullName, GroupLayout::AbbreviatedName, 1, 0, 1, 0,
     CountStaffSystems, T::GroupNames, LocationForm::GroupName, "group name"},
    {TagTextRepeat, TextRepeatProbeSize, TextSource::OwnRecord,
     TagTextRepeatText, 0, 0, 0, 0, 1, 0, -1, 0, T::TextRepeats,
     LocationForm::Number, "text repeat entry"},
    {TagEndingRepeat, EndingRepeatProbeSize, TextSource::OwnRecord,
     TagEndingRepeatText, 0, 0, 0, 0, 1, 0, -1, CountMeasures, T::EndingRepeats,
     LocationForm::Number, "ending repeat in measure"},
    {TagVerseLyrics, 0, TextSource::OwnRecord, TagVerseLyrics, 0, 0, 0, 1, 1,
     -1, -1, 0, T::Lyrics, LocationForm::SignedNumber, "verse lyrics"},
    {TagChorusLyrics, 0, TextSource::OwnRecord, TagChorusLyrics, 0, 0, 0, 1, 1,
     -1, -1, 0, T::Lyrics, LocationForm::SignedNumber, "chorus lyrics"},
    {TagSectionLyrics, 0, TextSource::OwnRecord, TagSectionLyrics, 0, 0, 0, 1,
     1, -1, -1, 0, T::Lyrics, LocationForm::SignedNumber, "section lyrics"},
};
