#include "textsearch/text_walker.h"

#include <cstring>

#include "host/byte_access.h"
#include "host/host_services.h"
#include "host/host_tags.h"
#include "textsearch/text_matcher.h"
#include "textsearch/text_memory.h"

namespace K = HostKeyLayout;

TextCursor textCursor;

namespace {

constexpr int16_t LastLyricNumber = 1000;

const TextKindRow& kindRow() { return TextKinds[textCursor.kind]; }

bool kindEnabled(int kind) {
  return textSession.prefs != nullptr &&
         prefsWord(*textSession.prefs, TextKinds[kind].switchOffset) != 0;
}

void setFirst(uint32_t v) {
  writeU16(textCursor.key, K::First, static_cast<uint16_t>(v));
}
void setSecond(uint32_t v) {
  writeU16(textCursor.key, K::Second, static_cast<uint16_t>(v));
}
void setSubIndex(int32_t v) {
  writeI16(textCursor.key, K::SubIndex, static_cast<int16_t>(v));
}

// Probes the cursor's item; `size` is the size variable the host may
// write. Answers the host's 16-bit result.
int16_t probe(int32_t* size) {
  if (textCursor.record != nullptr) {
    memset(textCursor.record, 0, static_cast<size_t>(textCursor.recordSize));
  }
  return low16(hostReadRecord(textCursor.tag, textCursor.key, textCursor.record,
                              size, InterfaceVersion));
}

// Size then fetch of a text record, with one spare byte that always holds
// a terminator: a text from the host is never read past its end. Texts of
// 32767 bytes or more are not searched (offsets are 16-bit).
char* fetchText(uint32_t tag, uint8_t* key, int32_t header) {
  int32_t size = 0;
  if (low16(hostReadRecord(tag, key, nullptr, &size, InterfaceVersion)) == 0 ||
      size <= header || size - header >= TextLengthLimit) {
    return nullptr;
  }
  char* text = allocateText(static_cast<size_t>(size) + 1);
  if (text == nullptr) return nullptr;
  int32_t capacity = size;
  if (low16(hostReadRecord(tag, key, text, &capacity, InterfaceVersion)) == 0) {
    releaseText(text);
    return nullptr;
  }
  text[size] = '\0';
  return text;
}

// Searches the text block that text reference `reference` names.
int16_t searchTextReference(uint16_t reference) {
  uint8_t key[K::Size] = {};
  writeU16(key, K::First, reference);
  uint8_t record[TextReferenceLayout::Size] = {};
  int32_t size = TextReferenceLayout::Size;
  if (low16(hostReadRecord(TagTextReference, key, record, &size,
                           InterfaceVersion)) == 0) {
    return 0;
  }
  char* text = fetchTextBlock(readI16(record, TextReferenceLayout::TextBlock));
  if (text == nullptr) return 0;
  const int16_t found = findInText(text, 0);
  releaseText(text);
  return found;
}

int16_t searchFetched(uint32_t tag, int32_t header) {
  char* text = fetchText(tag, textCursor.key, header);
  if (text == nullptr) return 0;
  const int16_t found = findInText(text + header, 0);
  releaseText(text);
  return found;
}

// Staff and group names: the full name first, then the abbreviated one.
int16_t searchName(size_t fullOffset, size_t abbreviatedOffset) {
  const bool full = textCursor.fullName == 0;
  textCursor.fullName = full ? 1 : 0;
  return searchTextReference(
      readU16(textCursor.record, full ? fullOffset : abbreviatedOffset));
}

void setUpKind() {
  const TextKindRow& kind = kindRow();
  textCursor.tag = kind.itemTag;
  textCursor.recordSize = kind.itemSize;
  textCursor.record = itemBuffer(textCursor.kind);
  textCursor.tagsAllowed = kind.tagsAllowed;
  if (kind.startFirst >= 0) setFirst(static_cast<uint32_t>(kind.startFirst));
  if (kind.startSecond >= 0) setSecond(static_cast<uint32_t>(kind.startSecond));
  if (kind.startSubIndex >= 0) setSubIndex(kind.startSubIndex);
  if (kind.source == TextSource::NameTextBlocks) textCursor.fullName = 0;
  if (kind.counts & CountStaves) {
    textCursor.staffCount = countRecords(TagStaff, StaffItemSize);
  }
  if (kind.counts & CountMeasures) {
    textCursor.measureCount = countRecords(TagMeasure, MeasureRecordSize);
  }
  if (kind.counts & CountStaffSystems) {
    textCursor.staffSystemCount =
        countRecords(TagStaffSystem, StaffSystemRecordSize);
  }
}

}  // namespace

uint8_t* itemBuffer(uint8_t kind) {
  uint8_t* const buffers[] = {textCursor.pageItem, textCursor.measureItem,
                              textCursor.expressionItem, textCursor.staffItem,
                              textCursor.groupItem};
  return kind < sizeof buffers / sizeof buffers[0] ? buffers[kind] : nullptr;
}

uint16_t keyFirst() { return readU16(textCursor.key, K::First); }
uint16_t keySecond() { return readU16(textCursor.key, K::Second); }
int16_t keySubIndex() { return readI16(textCursor.key, K::SubIndex); }

void chooseFirstKind() {
  textCursor.kind = VerseLyrics;
  for (uint8_t kind = PageTextBlock; kind <= EndingRepeat; ++kind) {
    if (kindEnabled(kind)) {
      textCursor.kind = kind;
      return;
    }
  }
}

int16_t startKind() {
  for (;;) {
    setUpKind();
    int32_t size = textCursor.recordSize;
    const bool present = probe(&size) != 0 && size != 0;
    if ((present || advanceItem() != 0) && searchFromCurrentItem() != 0) {
      return 1;
    }
    if (nextEnabledKind() == 0) return 0;
  }
}

int16_t findFirstMatch() {
  chooseFirstKind();
  return startKind();
}

int16_t findNextMatch() {
  if (continueInText() != 0) return 1;
  if (advanceItem() != 0 && searchFromCurrentItem() != 0) return 1;
  return (nextEnabledKind() != 0 && startKind() != 0) ? 1 : 0;
}

int16_t advanceItem() {
  int32_t size = textCursor.recordSize;
  switch (textCursor.kind) {
    case PageTextBlock: {
      // A read-next that does not move the key forward ends the kind, so a
      // faulty answer cannot hold the walk in place.
      uint8_t before[K::Size];
      memcpy(before, textCursor.key, sizeof before);
      if (low16(hostReadNextRecord(textCursor.tag, textCursor.key,
                                   textCursor.pageItem, PageItemSize,
                                   InterfaceVersion)) == 0) {
        return 0;
      }
      const uint16_t first = keyFirst(), second = keySecond();
      const uint16_t oldFirst = readU16(before, K::First);
      const uint16_t oldSecond = readU16(before, K::Second);
      return (first > oldFirst || (first == oldFirst && second > oldSecond))
                 ? 1
                 : 0;
    }
    case MeasureTextBlock:
      setSubIndex(keySubIndex() + 1);
      if (keySubIndex() > 0 && probe(&size) != 0) return 1;
      for (;;) {
        setSubIndex(0);
        if (keyFirst() < textCursor.staffCount) {
          setFirst(keyFirst() + 1u);
        } else {
          setFirst(1);
          setSecond(keySecond() + 1u);
          if (keySecond() > textCursor.measureCount || keySecond() == 0) {
            return 0;
          }
        }
        if (probe(&size) != 0) return 1;
      }
    case TextExpression:
      if (keyFirst() == UINT16_MAX) return 0;
      setFirst(keyFirst() + 1u);
      return probe(&size) != 0 ? 1 : 0;
    case StaffName:
      if (textCursor.fullName == 1) return 1;
      if (keyFirst() == UINT16_MAX) return 0;
      setFirst(keyFirst() + 1u);
      return probe(&size) != 0 ? 1 : 0;
    case GroupName:
      if (textCursor.fullName == 1) return 1;
      if (keySecond() < UINT16_MAX) {
        setSecond(keySecond() + 1u);
        if (probe(&size) != 0) return 1;
      }
      for (;;) {
        setSecond(1);
        setFirst(keyFirst() + 1u);
        if (keyFirst() > textCursor.staffSystemCount || keyFirst() == 0) {
          return 0;
        }
        if (probe(&size) != 0) return 1;
      }
    case TextRepeat: {
      if (keyFirst() == UINT16_MAX) return 0;
      setFirst(keyFirst() + 1u);
      const int16_t result = probe(&size);
      return (result != 0 && size != 0) ? 1 : 0;
    }
    case EndingRepeat:
      while (keyFirst() < textCursor.measureCount) {
        setFirst(keyFirst() + 1u);
        if (probe(&size) != 0) return 1;
      }
      return 0;
    default:
      while (static_cast<int16_t>(keyFirst()) < LastLyricNumber) {
        setFirst(keyFirst() + 1u);
        if (probe(&size) != 0) return 1;
      }
      return 0;
  }
}

int16_t nextEnabledKind() {
  for (int kind = textCursor.kind + 1; kind <= SectionLyrics; ++kind) {
    if (kindEnabled(kind)) {
      textCursor.kind = static_cast<uint8_t>(kind);
      return 1;
    }
  }
  return 0;
}

int16_t searchFromCurrentItem() {
  for (;;) {
    const int16_t found = searchCurrentItem();
    if (found != 0) return found;
    if (advanceItem() == 0) return 0;
  }
}

int16_t searchCurrentItem() {
  const TextKindRow& kind = kindRow();
  switch (kind.source) {
    case TextSource::ItemTextBlock:
      return searchTextReference(readU16(textCursor.record, kind.nameOffset));
    case TextSource::NameTextBlocks:
      return searchName(kind.nameOffset, kind.abbreviatedNameOffset);
    case TextSource::OwnRecord:
      return searchFetched(kind.textTag, kind.headerSize);
  }
  return 0;
}

char* fetchTextBlock(int16_t number) {
  textCursor.textBlockNumber = number;
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
