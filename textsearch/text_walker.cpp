// The walker keeps nothing of its own: all it knows of a walk is in the
// TextCursor it is handed, and what it finds goes into the session it is
// handed.
#include "textsearch/text_walker.h"

#include <cstring>

#include "host/byte_access.h"
#include "host/host_services.h"
#include "host/host_tags.h"
#include "textsearch/text_memory.h"

namespace K = HostKeyLayout;

namespace {

const TextKindRow& kindRow(const TextCursor& cursor) {
  return TextKinds[cursor.kind];
}

bool kindEnabled(const TextSearchSession& session, size_t kind) {
  return sessionSwitch(session, TextKinds[kind].switchOffset);
}

void setFirst(TextCursor& cursor, uint32_t v) {
  writeU16(cursor.key, K::First, static_cast<uint16_t>(v));
}
void setSecond(TextCursor& cursor, uint32_t v) {
  writeU16(cursor.key, K::Second, static_cast<uint16_t>(v));
}
void setSubIndex(TextCursor& cursor, int32_t v) {
  writeI16(cursor.key, K::SubIndex, static_cast<int16_t>(v));
}

// Probes the cursor's item, into the item buffer or without a buffer as
// the kind says; `size` is the size variable the host may write. Answers
// the host's 16-bit result.
inline int16_t probe(TextCursor& cursor, int32_t* size) {
  if (cursor.record != nullptr) {
    memset(cursor.record, 0, static_cast<size_t>(cursor.recordSize));
  }
  return low16(hostReadRecord(cursor.tag, cursor.key, cursor.record, size,
                              InterfaceVersion));
}

// A record with a header is stored with two bytes after its text's
// terminator, which its size counts.
constexpr int32_t RecordSpareBytes = 2;

// The room a text of the kind needs around it to be stored back.
RecordRoom recordRoom(const TextKindRow& kind) {
  return kind.headerSize == 0 ? RecordRoom{0, 0}
                              : RecordRoom{kind.headerSize, RecordSpareBytes};
}

// Size then fetch of a text record, with one spare byte that always holds
// a terminator: a text from the host is never read past its end. The buffer
// is zero-filled, as the host may fill less of it than it said. Texts of
// 32767 bytes or more are not searched (offsets are 16-bit).
char* fetchText(uint32_t tag, uint8_t* key, int32_t header) {
  int32_t size = 0;
  if (low16(hostReadRecord(tag, key, nullptr, &size, InterfaceVersion)) == 0 ||
      size <= header || size - header >= TextLengthLimit) {
    return nullptr;
  }
  char* text = allocateZeroedText(static_cast<size_t>(size) + 1);
  if (text == nullptr) return nullptr;
  int32_t capacity = size;
  if (low16(hostReadRecord(tag, key, text, &capacity, InterfaceVersion)) == 0) {
    releaseText(text);
    return nullptr;
  }
  text[size] = '\0';
  return text;
}

// Has the session search a fetched text from its start, then releases it.
int16_t searchText(const TextCursor& cursor, TextSearchSession& session,
                   char* fetched, int32_t header) {
  if (fetched == nullptr) return 0;
  const int16_t found = findInText(session, fetched + header, 0,
                                   stepsOverTags(session, cursor.tagsAllowed),
                                   recordRoom(kindRow(cursor)));
  releaseText(fetched);
  return found;
}

// Searches the text block that text reference `reference` names.
int16_t searchTextReference(TextCursor& cursor, TextSearchSession& session,
                            uint16_t reference) {
  uint8_t key[K::Size] = {};
  writeU16(key, K::First, reference);
  uint8_t record[TextReferenceLayout::Size] = {};
  int32_t size = TextReferenceLayout::Size;
  if (low16(hostReadRecord(TagTextReference, key, record, &size,
                           InterfaceVersion)) == 0) {
    return 0;
  }
  return searchText(
      cursor, session,
      fetchTextBlock(cursor, readI16(record, TextReferenceLayout::TextBlock)),
      0);
}

// Staff and group names: the full name first, then the abbreviated one.
int16_t searchName(TextCursor& cursor, TextSearchSession& session,
                   size_t fullOffset, size_t abbreviatedOffset) {
  const bool full = cursor.fullName == 0;
  cursor.fullName = full ? 1 : 0;
  return searchTextReference(
      cursor, session,
      readU16(cursor.item, full ? fullOffset : abbreviatedOffset));
}

void setUpKind(TextCursor& cursor) {
  const TextKindRow& kind = kindRow(cursor);
  cursor.tag = kind.itemTag;
  cursor.recordSize = kind.itemSize;
  cursor.record = kind.probe == ItemProbe::IntoItem ? cursor.item : nullptr;
  cursor.tagsAllowed = kind.tagsAllowed;
  // Every kind sets the first key word; some keep the second.
  setFirst(cursor, static_cast<uint32_t>(kind.startFirst));
  if (kind.startSecond >= 0) {
    setSecond(cursor, static_cast<uint32_t>(kind.startSecond));
  }
  if (kind.startSubIndex >= 0) setSubIndex(cursor, kind.startSubIndex);
  if (kind.source == TextSource::NameTextBlocks) cursor.fullName = 0;
  if (kind.counts & CountStaves) {
    cursor.staffCount = countRecords(TagStaff, StaffItemSize);
  }
  if (kind.counts & CountMeasures) {
    cursor.measureCount = countRecords(TagMeasure, MeasureRecordSize);
  }
  if (kind.counts & CountStaffSystems) {
    cursor.staffSystemCount =
        countRecords(TagStaffSystem, StaffSystemRecordSize);
  }
}

// A read-next that does not move the key forward ends the kind, so a
// faulty answer cannot hold the walk in place.
int16_t readNextItem(TextCursor& cursor) {
  uint8_t before[K::Size];
  memcpy(before, cursor.key, sizeof before);
  if (low16(hostReadNextRecord(cursor.tag, cursor.key, cursor.item,
                               kindRow(cursor).itemSize, InterfaceVersion)) ==
      0) {
    return 0;
  }
  const uint16_t first = keyFirst(cursor), second = keySecond(cursor);
  const uint16_t oldFirst = readU16(before, K::First);
  const uint16_t oldSecond = readU16(before, K::Second);
  return (first > oldFirst || (first == oldFirst && second > oldSecond)) ? 1
                                                                         : 0;
}

int16_t nextBlockInCells(TextCursor& cursor, int32_t* size) {
  setSubIndex(cursor, keySubIndex(cursor) + 1);
  if (keySubIndex(cursor) > 0 && probe(cursor, size) != 0) return 1;
  for (;;) {
    setSubIndex(cursor, 0);
    if (keyFirst(cursor) < cursor.staffCount) {
      setFirst(cursor, keyFirst(cursor) + 1u);
    } else {
      setFirst(cursor, 1);
      setSecond(cursor, keySecond(cursor) + 1u);
      // Counts are signed 16-bit: the key climbs from 1 and never wraps.
      if (keySecond(cursor) > cursor.measureCount) return 0;
    }
    if (probe(cursor, size) != 0) return 1;
  }
}

int16_t nextGroupInSystems(TextCursor& cursor, int32_t* size) {
  if (keySecond(cursor) < UINT16_MAX) {
    setSecond(cursor, keySecond(cursor) + 1u);
    if (probe(cursor, size) != 0) return 1;
  }
  for (;;) {
    setSecond(cursor, 1);
    setFirst(cursor, keyFirst(cursor) + 1u);
    if (keyFirst(cursor) > cursor.staffSystemCount) return 0;
    if (probe(cursor, size) != 0) return 1;
  }
}

// The next present number up to `last`, gaps passed over.
int16_t nextNumberUpTo(TextCursor& cursor, int32_t* size, bool signedKey,
                       int32_t last) {
  for (;;) {
    const uint16_t first = keyFirst(cursor);
    const int32_t number = signedKey ? static_cast<int16_t>(first) : first;
    if (number >= last) return 0;
    setFirst(cursor, first + 1u);
    if (probe(cursor, size) != 0) return 1;
  }
}

}  // namespace

uint16_t keyFirst(const TextCursor& cursor) {
  return readU16(cursor.key, K::First);
}
uint16_t keySecond(const TextCursor& cursor) {
  return readU16(cursor.key, K::Second);
}
int16_t keySubIndex(const TextCursor& cursor) {
  return readI16(cursor.key, K::SubIndex);
}

void chooseFirstKind(TextCursor& cursor, const TextSearchSession& session) {
  cursor.kind = KindWhenNoneIsOn;
  for (size_t kind = 0; kind < TextKindCount; ++kind) {
    if (kindEnabled(session, kind)) {
      cursor.kind = static_cast<uint8_t>(kind);
      return;
    }
  }
}

int16_t startKind(TextCursor& cursor, TextSearchSession& session) {
  for (;;) {
    setUpKind(cursor);
    int32_t size = cursor.recordSize;
    const bool present = probe(cursor, &size) != 0 && size != 0;
    if ((present || advanceItem(cursor) != 0) &&
        searchFromCurrentItem(cursor, session) != 0) {
      return 1;
    }
    if (nextEnabledKind(cursor, session) == 0) return 0;
  }
}

int16_t advanceItem(TextCursor& cursor) {
  const TextKindRow& kind = kindRow(cursor);
  // The abbreviated name of the same item comes after the full one.
  if (kind.source == TextSource::NameTextBlocks && cursor.fullName == 1) {
    return 1;
  }
  int32_t size = cursor.recordSize;
  switch (kind.step) {
    case KindStep::ReadNext:
      return readNextItem(cursor);
    case KindStep::BlocksInCells:
      return nextBlockInCells(cursor, &size);
    case KindStep::UntilGap:
    case KindStep::UntilEmpty:
      if (keyFirst(cursor) == UINT16_MAX) return 0;
      setFirst(cursor, keyFirst(cursor) + 1u);
      if (probe(cursor, &size) == 0) return 0;
      return (kind.step == KindStep::UntilGap || size != 0) ? 1 : 0;
    case KindStep::GroupsInSystems:
      return nextGroupInSystems(cursor, &size);
    case KindStep::ToMeasureCount:
      return nextNumberUpTo(cursor, &size, false, cursor.measureCount);
    case KindStep::ToLastLyric:
      return nextNumberUpTo(cursor, &size, true, LastLyricNumber);
  }
  return 0;
}

int16_t nextEnabledKind(TextCursor& cursor, const TextSearchSession& session) {
  for (size_t kind = cursor.kind + 1u; kind < TextKindCount; ++kind) {
    if (kindEnabled(session, kind)) {
      cursor.kind = static_cast<uint8_t>(kind);
      return 1;
    }
  }
  return 0;
}

int16_t searchFromCurrentItem(TextCursor& cursor, TextSearchSession& session) {
  for (;;) {
    const int16_t found = searchCurrentItem(cursor, session);
    if (found != 0) return found;
    if (advanceItem(cursor) == 0) return 0;
  }
}

int16_t searchCurrentItem(TextCursor& cursor, TextSearchSession& session) {
  const TextKindRow& kind = kindRow(cursor);
  switch (kind.source) {
    case TextSource::ItemTextBlock:
      return searchTextReference(cursor, session,
                                 readU16(cursor.item, kind.nameOffset));
    case TextSource::NameTextBlocks:
      return searchName(cursor, session, kind.nameOffset,
                        kind.abbreviatedNameOffset);
    case TextSource::OwnRecord:
      return searchText(cursor, session,
                        fetchText(kind.textTag, cursor.key, kind.headerSize),
                        kind.headerSize);
  }
  return 0;
}

char* fetchTextBlock(TextCursor& cursor, int16_t number) {
  cursor.textBlockNumber = number;
  uint8_t key[K::Size] = {};
  writeI16(key, K::First, number);
  return fetchText(TagTextBlock, key, 0);
}

int16_t countRecords(uint32_t tag, int32_t size) {
  uint8_t key[K::Size] = {};
  int16_t count = 0;
  // Bounded: a host that answers yes for ever still ends the count, at the
  // largest count a signed 16-bit number holds.
  while (count < INT16_MAX) {
    writeU16(key, K::First, static_cast<uint16_t>(count + 1));
    int32_t probeSize = size;
    if (low16(hostReadRecord(tag, key, nullptr, &probeSize,
                             InterfaceVersion)) == 0) {
      break;
    }
    ++count;
  }
  return count;
}

void writeBackText(const TextCursor& cursor, HeldText& text) {
  if (text.block == nullptr) return;
  const TextKindRow& kind = kindRow(cursor);
  char* chars = text.block + text.room.header;
  const uint32_t length = static_cast<uint32_t>(text.length);
  uint8_t key[K::Size];
  memcpy(key, cursor.key, sizeof key);
  if (kind.source != TextSource::OwnRecord) {
    // The text block fetched last: that of the name being searched.
    memset(key, 0, sizeof key);
    writeU16(key, K::First, static_cast<uint16_t>(cursor.textBlockNumber));
    hostWriteRecord(kind.textTag, key, chars, length + 1, InterfaceVersion);
    return;
  }
  const RecordRoom room = recordRoom(kind);
  if (room.header == 0) {
    hostWriteRecord(kind.textTag, key, chars, length + 1, InterfaceVersion);
    return;
  }
  // The record is rebuilt around the text, in the room held for it: the
  // item read by the walker (the header and the first bytes of the text as
  // it was read), the text and its terminator over it, and zeros in the
  // spare bytes that the item does not reach. A replacement of the same
  // length leaves all of it as it was stored.
  if (text.room.header != room.header || text.room.spare != room.spare) {
    return;
  }
  if (text.recordLength != text.length) {
    memcpy(text.block, cursor.item, static_cast<size_t>(room.header));
    const int32_t spareFrom = room.header + text.length + 1;
    for (int32_t at = spareFrom; at < spareFrom + room.spare; ++at) {
      text.block[at] =
          at < kind.itemSize ? static_cast<char>(cursor.item[at]) : '\0';
    }
    text.recordLength = text.length;
  }
  hostWriteRecord(kind.textTag, key, text.block,
                  length + 1 + static_cast<uint32_t>(room.header + room.spare),
                  InterfaceVersion);
}
