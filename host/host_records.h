// Layouts of the host's records as far as the plug-in reads and writes them.
// All fields are little-endian and reached through byte_access.h at these
// offsets; the bytes in between belong to the host and pass through untouched.
#pragma once

#include <cstddef>
#include <cstdint>

#include "host/byte_access.h"

// HostKey: identifies a keyed record (services 9, 10 and 14).
namespace HostKeyLayout {
constexpr size_t First = 0;     // u16
constexpr size_t Second = 2;    // u16
constexpr size_t SubIndex = 4;  // i16
constexpr size_t Fourth = 6;    // u16, always 0
constexpr size_t Size = 8;
}  // namespace HostKeyLayout

// HostRegion: the selected region handed to the note-entry command.
namespace HostRegionLayout {
constexpr size_t RegionScope = 0;    // i16, passed on to service 2
constexpr size_t FirstStaff = 2;     // i16
constexpr size_t FirstMeasure = 4;   // i16
constexpr size_t StartPosition = 6;  // i32, inclusive, in firstMeasure
constexpr size_t LastStaff = 12;     // i16, inclusive
constexpr size_t LastMeasure = 14;   // i16, inclusive
constexpr size_t EndPosition = 16;   // i32, exclusive, in lastMeasure
constexpr size_t Size = 20;
}  // namespace HostRegionLayout

// HostFrame: the entries of one staff, measure and layer, lent by service 2.
namespace HostFrameLayout {
constexpr size_t Entries = 14;     // u32 pointer to the HostEntry array
constexpr size_t EntryCount = 18;  // i16
constexpr size_t Size = 20;        // the part the plug-in reads
}  // namespace HostFrameLayout

// HostEntry: one note, chord or rest.
namespace HostEntryLayout {
constexpr size_t Flags = 8;       // u32
constexpr size_t Flags2 = 12;     // u16
constexpr size_t NoteCount = 14;  // i16
constexpr size_t Notes = 16;      // MaxNotes HostNote records
constexpr size_t MaxNotes = 12;
constexpr size_t Position = 136;  // i32
constexpr size_t Duration = 140;  // i32
constexpr size_t Stride = 146;
}  // namespace HostEntryLayout

// HostNote: one note of an entry.
namespace HostNoteLayout {
constexpr size_t Displacement = 0;  // i16
constexpr size_t RaiseLower = 2;    // i16
constexpr size_t Flags = 6;         // u32
constexpr size_t Size = 10;
}  // namespace HostNoteLayout

static_assert(HostEntryLayout::Flags + 4 == HostEntryLayout::Flags2 &&
                  HostEntryLayout::Flags2 + 2 == HostEntryLayout::NoteCount &&
                  HostEntryLayout::NoteCount + 2 == HostEntryLayout::Notes,
              "an entry's flag words, note count and notes lie back to back");
static_assert(HostEntryLayout::Notes +
                      HostEntryLayout::MaxNotes * HostNoteLayout::Size ==
                  HostEntryLayout::Position,
              "the note array ends where the entry's position begins");
static_assert(HostEntryLayout::Duration + 4 <= HostEntryLayout::Stride,
              "an entry's fields lie within its stride");

static_assert(HostKeyLayout::Second == HostKeyLayout::First + 2 &&
                  HostKeyLayout::SubIndex == HostKeyLayout::Second + 2 &&
                  HostKeyLayout::Fourth == HostKeyLayout::SubIndex + 2 &&
                  HostKeyLayout::Size == HostKeyLayout::Fourth + 2,
              "a key is four 16-bit words");
static_assert(HostNoteLayout::RaiseLower == HostNoteLayout::Displacement + 2 &&
                  HostNoteLayout::Flags + 4 == HostNoteLayout::Size,
              "a note begins with its two offsets and ends with its flags");

// HostMenuItem: filled by FinaleExtensionEnumerate.
namespace HostMenuItemLayout {
constexpr size_t TextSize = 64;
constexpr size_t FirstText = 0;
constexpr size_t SecondText = 64;
constexpr size_t ThirdText = 128;
constexpr size_t Word192 = 192;  // u16, written 0
constexpr size_t Word194 = 194;  // u16, written 0
constexpr size_t Size = 196;     // the part the plug-in writes
}  // namespace HostMenuItemLayout

static_assert(
    HostMenuItemLayout::SecondText ==
            HostMenuItemLayout::FirstText + HostMenuItemLayout::TextSize &&
        HostMenuItemLayout::ThirdText ==
            HostMenuItemLayout::SecondText + HostMenuItemLayout::TextSize &&
        HostMenuItemLayout::Word192 ==
            HostMenuItemLayout::ThirdText + HostMenuItemLayout::TextSize &&
        HostMenuItemLayout::Word194 == HostMenuItemLayout::Word192 + 2 &&
        HostMenuItemLayout::Size == HostMenuItemLayout::Word194 + 2,
    "a menu item is three texts back to back, then two words");

// The records the text command reads beside the texts (service 9).
// Page and measure text items: the number of their text reference.
namespace TextItemLayout {
constexpr size_t TextReference = 0;  // u16
}  // namespace TextItemLayout

// A staff: the text reference numbers of its two names.
namespace StaffLayout {
constexpr size_t FullName = 30;         // u16
constexpr size_t AbbreviatedName = 32;  // u16
}  // namespace StaffLayout

// A staff group: the text reference numbers of its two names.
namespace GroupLayout {
constexpr size_t FullName = 4;          // u16
constexpr size_t AbbreviatedName = 22;  // u16
}  // namespace GroupLayout

// A text reference: the number of the text block it names.
namespace TextReferenceLayout {
constexpr size_t TextBlock = 0;  // i16
constexpr size_t Size = 48;
}  // namespace TextReferenceLayout

// Records the walker only counts: the sizes asked for.
constexpr int32_t MeasureRecordSize = 24;
constexpr int32_t StaffSystemRecordSize = 20;

// The host lays its records out on 16-bit boundaries: every field, every
// entry in an array and every record starts at an even offset.
constexpr size_t HostOffsets[] = {HostKeyLayout::First,
                                  HostKeyLayout::Second,
                                  HostKeyLayout::SubIndex,
                                  HostKeyLayout::Fourth,
                                  HostKeyLayout::Size,
                                  HostRegionLayout::RegionScope,
                                  HostRegionLayout::FirstStaff,
                                  HostRegionLayout::FirstMeasure,
                                  HostRegionLayout::StartPosition,
                                  HostRegionLayout::LastStaff,
                                  HostRegionLayout::LastMeasure,
                                  HostRegionLayout::EndPosition,
                                  HostRegionLayout::Size,
                                  HostFrameLayout::Entries,
                                  HostFrameLayout::EntryCount,
                                  HostFrameLayout::Size,
                                  HostEntryLayout::Flags,
                                  HostEntryLayout::Flags2,
                                  HostEntryLayout::NoteCount,
                                  HostEntryLayout::Notes,
                                  HostEntryLayout::Position,
                                  HostEntryLayout::Duration,
                                  HostEntryLayout::Stride,
                                  HostNoteLayout::Displacement,
                                  HostNoteLayout::RaiseLower,
                                  HostNoteLayout::Flags,
                                  HostNoteLayout::Size,
                                  HostMenuItemLayout::TextSize,
                                  TextItemLayout::TextReference,
                                  StaffLayout::FullName,
                                  StaffLayout::AbbreviatedName,
                                  GroupLayout::FullName,
                                  GroupLayout::AbbreviatedName,
                                  TextReferenceLayout::TextBlock,
                                  TextReferenceLayout::Size,
                                  MeasureRecordSize,
                                  StaffSystemRecordSize};
constexpr bool allEven(const size_t* offsets, size_t count) {
  return count == 0 || (offsets[0] % 2 == 0 && allEven(offsets + 1, count - 1));
}
static_assert(allEven(HostOffsets, sizeof HostOffsets / sizeof HostOffsets[0]),
              "the host's records are laid out in 16-bit words");

// The host numbers the texts of each kind of lyrics (verse, chorus,
// section) from 1 to this; higher numbers are never looked at.
constexpr int16_t LastLyricNumber = 1000;
