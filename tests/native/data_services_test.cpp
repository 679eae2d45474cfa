// The simulated host's data services over its document: reading records by
// size then fetch, walking records with read-next, writing records, the region
// pass, layers in use, lent frames, strict results and the call log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_services.h"
#include "host/host_tags.h"
#include "simhost/sim_host.h"

namespace {

constexpr uint8_t Guard = 0xEE;
constexpr uint32_t WrongVersion = 0x05000004u;

struct Key {
  uint8_t bytes[HostKeyLayout::Size] = {};
  Key(uint16_t first, uint16_t second = 0, int16_t subIndex = 0,
      uint16_t fourth = 0) {
    writeU16(bytes, HostKeyLayout::First, first);
    writeU16(bytes, HostKeyLayout::Second, second);
    writeI16(bytes, HostKeyLayout::SubIndex, subIndex);
    writeU16(bytes, HostKeyLayout::Fourth, fourth);
  }
  // "first/second/subIndex/fourth".
  std::string words() const {
    return std::to_string(readU16(bytes, 0)) + "/" +
           std::to_string(readU16(bytes, 2)) + "/" +
           std::to_string(readI16(bytes, 4)) + "/" +
           std::to_string(readU16(bytes, 6));
  }
};

uint32_t word(const void* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// A record read as the plug-in reads it: its size, then its bytes.
std::optional<std::vector<uint8_t>> fetch(uint32_t tag, const Key& key) {
  Key copy = key;
  int32_t size = -1;
  if (low16(hostReadRecord(tag, copy.bytes, nullptr, &size,
                           InterfaceVersion)) == 0) {
    return std::nullopt;
  }
  EXPECT_GT(size, 0);
  std::vector<uint8_t> bytes(size > 0 ? size : 1);
  EXPECT_NE(low16(hostReadRecord(tag, copy.bytes, bytes.data(), &size,
                                 InterfaceVersion)),
            0);
  return bytes;
}

std::string textIn(const std::vector<uint8_t>& bytes, size_t offset) {
  if (offset >= bytes.size()) return "<no text>";
  const char* start = reinterpret_cast<const char*>(bytes.data()) + offset;
  return std::string(start, strnlen(start, bytes.size() - offset));
}

// The text named by a text reference word: reference record, then text block.
std::string referencedText(int16_t reference) {
  const auto ref = fetch(TagTextReference, Key(reference));
  if (!ref) return "<no reference " + std::to_string(reference) + ">";
  EXPECT_EQ(ref->size(), 48u);
  const int16_t block = readI16(ref->data(), 0);
  const auto text = fetch(TagTextBlock, Key(block));
  return text ? textIn(*text, 0) : "<no block " + std::to_string(block) + ">";
}

void releaseLentFrames() {
  while (!simHost().lentFrames.empty()) {
    hostReleaseFrame(const_cast<uint8_t*>(simHost().lentFrames.begin()->first),
                     InterfaceVersion);
  }
}

class DataServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { restore(&doc); }
  void TearDown() override {
    releaseLentFrames();
    restore(nullptr);
  }
  static void restore(SimDocument* document) {
    SimHost& host = simHost();
    host.document = document;
    host.resetLog();
    host.strict = false;
    host.stopAtCell = 0;
    host.openPass = 0;
  }
  SimDocument doc{2, 3};
};

TEST_F(DataServicesTest, KeyWordsARecordKindDoesNotUseAreIgnored) {
  const int16_t block = doc.addTextBlock("Fine");
  doc.addLyrics(TagVerseLyrics, 2, "verse two");
  doc.addLyrics(TagChorusLyrics, 2, "chorus two");
  doc.addLyrics(TagSectionLyrics, 3, "section three");
  doc.addTextExpression(4, "dolce");
  doc.addStaff(3, "Violin", "Vln.");
  doc.addGroup(1, 2, "Strings", "Str.");
  doc.addPageText(1, 2, "Title");
  doc.addMeasureText(5, 6, 1, "tutti");
  doc.addTextRepeat(2, "D.S. al Fine");
  struct Case {
    const char* what;
    uint32_t tag;
    uint16_t first, second;
    int16_t subIndex;
    int referenceAt;  // offset of a text reference word; -1: text in record
    size_t textOffset;
    const char* text;  // null: no record answers
  };
  const Case cases[] = {
      {"text block", TagTextBlock, uint16_t(block), 77, -3, -1, 0, "Fine"},
      {"verse", TagVerseLyrics, 2, 9, 9, -1, 0, "verse two"},
      {"chorus", TagChorusLyrics, 2, 1, 0, -1, 0, "chorus two"},
      {"section", TagSectionLyrics, 3, 0, 5, -1, 0, "section three"},
      {"other verse", TagVerseLyrics, 3, 0, 0, -1, 0, nullptr},
      {"expression", TagTextExpression, 4, 12, 1, -1, 12, "dolce"},
      {"repeat text", TagTextRepeatText, 2, 3, 3, -1, 0, "D.S. al Fine"},
      {"staff full", TagStaff, 3, 40, 2, 30, 0, "Violin"},
      {"staff abbreviated", TagStaff, 3, 0, 8, 32, 0, "Vln."},
      {"group full", TagGroup, 1, 2, 6, 4, 0, "Strings"},
      {"group abbreviated", TagGroup, 1, 2, 0, 22, 0, "Str."},
      {"other group", TagGroup, 1, 3, 0, 4, 0, nullptr},
      {"page text", TagPageTextItem, 1, 2, 11, 0, 0, "Title"},
      {"other page index", TagPageTextItem, 1, 1, 0, 0, 0, nullptr},
      {"measure text", TagMeasureTextItem, 5, 6, 1, 0, 0, "tutti"},
      {"other subIndex", TagMeasureTextItem, 5, 6, 2, 0, 0, nullptr},
      {"other measure", TagMeasureTextItem, 5, 7, 1, 0, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto bytes = fetch(c.tag, Key(c.first, c.second, c.subIndex));
    if (c.text == nullptr) {
      EXPECT_FALSE(bytes.has_value());
      continue;
    }
    ASSERT_TRUE(bytes.has_value());
    if (c.referenceAt < 0) {
      EXPECT_EQ(textIn(*bytes, c.textOffset), c.text);
    } else {
      EXPECT_EQ(referencedText(readI16(bytes->data(), c.referenceAt)), c.text);
    }
  }
  EXPECT_TRUE(simHost().violations.empty());
}

TEST_F(DataServicesTest, SizeQueryAnswersTheSizeOfPresentRecordsOnly) {
  doc.addMeasureRecords(4);
  doc.addStaffSystems(3);
  doc.addTextExpression(2, "pp");
  // Expected size 0: no such record.
  const std::tuple<uint32_t, uint16_t, int32_t> cases[] = {
      {TagMeasure, 1, 24},        {TagMeasure, 4, 24},
      {TagMeasure, 5, 0},         {TagMeasure, 0, 0},
      {TagStaffSystem, 3, 20},    {TagStaffSystem, 4, 0},
      {TagTextExpression, 2, 15}, {TagTextExpression, 1, 0}};
  for (const auto& [tag, number, expected] : cases) {
    Key key(number);
    int32_t size = -1;
    const uint32_t answer =
        hostReadRecord(tag, key.bytes, nullptr, &size, InterfaceVersion);
    EXPECT_EQ(low16(answer) != 0, expected != 0) << tag << " " << number;
    if (expected != 0) {
      EXPECT_EQ(size, expected) << tag << " " << number;
    }
  }
}

TEST_F(DataServicesTest, ReadCopiesNoMoreThanTheBufferCapacity) {
  doc.addTextExpression(7, "Allegro moderato");
  const std::vector<uint8_t>& stored =
      *doc.record({TagTextExpression, 7, 0, 0});
  ASSERT_EQ(stored.size(), 12u + 16u + 1u);
  for (const int32_t capacity : {0, 1, 14, 29, 35}) {
    SCOPED_TRACE("capacity " + std::to_string(capacity));
    std::vector<uint8_t> buffer(capacity + 8, Guard);
    Key key(7, 3, 3);
    int32_t size = capacity;
    EXPECT_NE(low16(hostReadRecord(TagTextExpression, key.bytes, buffer.data(),
                                   &size, InterfaceVersion)),
              0);
    const size_t copied = std::min<size_t>(capacity, stored.size());
    EXPECT_TRUE(
        std::equal(stored.begin(), stored.begin() + copied, buffer.begin()));
    for (size_t i = capacity; i < buffer.size(); ++i) {
      EXPECT_EQ(buffer[i], Guard) << "byte " << i << " past the capacity";
    }
  }
}

// Walks every record of `tag` from `start`, as "first/second/subIndex/fourth
// text" per record, and checks that nothing is written past a record's size.
std::vector<std::string> walk(uint32_t tag, Key start, size_t recordSize) {
  std::vector<std::string> seen;
  std::vector<uint8_t> buffer(recordSize + 4, Guard);
  while (seen.size() < 20 &&
         low16(hostReadNextRecord(tag, start.bytes, buffer.data(), recordSize,
                                  InterfaceVersion)) != 0) {
    seen.push_back(start.words() + " " +
                   referencedText(readI16(buffer.data(), 0)));
    for (size_t i = recordSize; i < buffer.size(); ++i) {
      EXPECT_EQ(buffer[i], Guard) << "after " << seen.back();
    }
  }
  return seen;
}

TEST_F(DataServicesTest, ReadNextWalksOneTagInKeyOrderAndMovesTheKey) {
  doc.addPageText(3, 1, "c");
  doc.addPageText(1, 10, "b3");
  doc.addPageText(1, 2, "b2");
  doc.addPageText(2, 1, "x");
  doc.addPageText(1, 1, "b1");
  doc.addMeasureText(2, 1, 0, "m4");
  doc.addMeasureText(1, 2, 1, "m3");
  doc.addMeasureText(1, 2, 0, "m2");
  doc.addMeasureText(1, 1, 3, "m1");
  // Stale subIndex and fourth words in the starting key are not kept.
  EXPECT_EQ(walk(TagPageTextItem, Key(0, 0, 5, 0xBEEF), 24),
            (std::vector<std::string>{"1/1/0/0 b1", "1/2/0/0 b2", "1/10/0/0 b3",
                                      "2/1/0/0 x", "3/1/0/0 c"}));
  EXPECT_EQ(walk(TagMeasureTextItem, Key(0), 10),
            (std::vector<std::string>{"1/1/3/0 m1", "1/2/0/0 m2", "1/2/1/0 m3",
                                      "2/1/0/0 m4"}));
  // Resuming after a given key, and nothing after the last of a tag even
  // though other tags' records follow it.
  EXPECT_EQ(walk(TagPageTextItem, Key(1, 2), 24).size(), 3u);
  EXPECT_TRUE(walk(TagPageTextItem, Key(3, 1), 24).empty());
  EXPECT_TRUE(simHost().violations.empty());
}

TEST_F(DataServicesTest, WriteRecordHoldsExactlyTheBytesWritten) {
  const int16_t block = doc.addTextBlock("a much longer text than five");
  const uint8_t data[] = {'a', 'b', 'c', 'd', 0};
  Key stale(block, 9, 9);
  EXPECT_NE(low16(hostWriteRecord(TagTextBlock, stale.bytes, data, sizeof data,
                                  InterfaceVersion)),
            0);
  EXPECT_EQ(fetch(TagTextBlock, Key(block)),
            std::vector<uint8_t>(data, data + sizeof data));
  std::vector<uint8_t> measure(24);
  for (size_t i = 0; i < measure.size(); ++i) measure[i] = uint8_t(3 * i + 1);
  Key fresh(7);
  hostWriteRecord(TagMeasure, fresh.bytes, measure.data(), measure.size(),
                  InterfaceVersion);
  EXPECT_EQ(fetch(TagMeasure, Key(7)), measure);
  EXPECT_TRUE(simHost().violations.empty());
}

TEST_F(DataServicesTest, RegionPassStopsAtTheChosenCellAndChecksItsHandle) {
  uint8_t region[HostRegionLayout::Size] = {};
  for (const int stopAt : {0, 1, 3}) {
    simHost().resetLog();
    simHost().stopAtCell = stopAt;
    const uint32_t handle = hostBeginRegionPass(region, 0, InterfaceVersion);
    for (int cell = 1; cell <= 4; ++cell) {
      EXPECT_EQ(low16(hostEnterCell(handle, 4, 1, cell, -1, InterfaceVersion)),
                cell == stopAt ? 0 : 1)
          << "cell " << cell << ", stop at " << stopAt;
      if (cell == stopAt) break;
    }
    hostEndRegionPass(handle, stopAt != 0, InterfaceVersion);
    EXPECT_TRUE(simHost().violations.empty());
  }
}

TEST_F(DataServicesTest, LayerInUseFollowsTheDocumentWithinZeroToThree) {
  doc.setLayerInUse(2, false);
  struct Case {
    uint32_t layer;
    int16_t answer;
    size_t violations;
  } const cases[] = {{0, 1, 0}, {1, 1, 0},   {2, 0, 0},          {3, 1, 0},
                     {4, 0, 1}, {100, 0, 1}, {0xFFFFFFFFu, 0, 1}};
  for (const Case& c : cases) {
    simHost().resetLog();
    EXPECT_EQ(low16(hostLayerInUse(c.layer, InterfaceVersion)), c.answer)
        << "layer " << c.layer;
    EXPECT_EQ(simHost().violations.size(), c.violations) << "layer " << c.layer;
  }
}

TEST_F(DataServicesTest, LentFrameHoldsTheCellsEntriesByteForByte) {
  doc.addEntry(2, 3, 0, EntryShape{0, 1024, 0, 0, {{5, 0, 0}}});
  for (int16_t i = 0; i < 3; ++i) {
    const NoteShape notes[] = {{i, 1, 0}, {int16_t(i + 2), -1, 7}};
    doc.addEntry(2, 3, 1,
                 EntryShape{256 * i, 256, 0x4000u >> i, 0, {notes[0]}});
    doc.addEntry(2, 3, 1, EntryShape{256 * i, 256, 0, 0, {notes[0], notes[1]}});
  }
  uint8_t* frame =
      static_cast<uint8_t*>(hostLoadFrame(0, 2, 3, 1, 0, InterfaceVersion));
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(readI16(frame, HostFrameLayout::EntryCount), 6);
  const uint8_t* entries = reinterpret_cast<const uint8_t*>(
      uintptr_t{readU32(frame, HostFrameLayout::Entries)});
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(memcmp(entries + i * HostEntryLayout::Stride,
                     doc.layer(2, 3, 1)[i].data(), HostEntryLayout::Stride),
              0)
        << "entry " << i;
  }
  hostReleaseFrame(frame, InterfaceVersion);

  const uint32_t outside[][3] = {{0, 1, 0}, {3, 1, 0}, {1, 0, 0}, {1, 4, 0}};
  for (const auto& cell : outside) {
    EXPECT_EQ(hostLoadFrame(0, cell[0], cell[1], cell[2], 0, InterfaceVersion),
              nullptr)
        << "staff " << cell[0] << ", measure " << cell[1];
  }
  EXPECT_TRUE(simHost().lentFrames.empty());
  EXPECT_TRUE(simHost().violations.empty());
  EXPECT_EQ(simHost().framesLent, 1);
}

TEST_F(DataServicesTest, FrameChangesReachTheDocumentOnlyWhenSaved) {
  doc.addEntry(1, 2, 0, EntryShape{0, 512, 0x11u, 0, {}});
  doc.addEntry(1, 2, 0, EntryShape{512, 512, 0x22u, 0, {}});
  const RawEntry before = doc.layer(1, 2, 0)[1];
  auto change = [](void* frame, uint8_t unread, uint32_t flags) {
    uint8_t* entries = reinterpret_cast<uint8_t*>(uintptr_t{
        readU32(static_cast<uint8_t*>(frame), HostFrameLayout::Entries)});
    uint8_t* second = entries + HostEntryLayout::Stride;
    second[2] = unread;
    writeU32(second, HostEntryLayout::Flags, flags);
  };

  void* frame = hostLoadFrame(0, 1, 2, 0, 0, InterfaceVersion);
  ASSERT_NE(frame, nullptr);
  change(frame, 0x99, 0xABCD0000u);
  EXPECT_EQ(doc.layer(1, 2, 0)[1], before) << "changed before service 3";
  EXPECT_NE(low16(hostSaveFrame(frame, InterfaceVersion)), 0);
  RawEntry saved = before;
  saved[2] = 0x99;
  writeU32(saved.data(), HostEntryLayout::Flags, 0xABCD0000u);
  EXPECT_EQ(doc.layer(1, 2, 0)[1], saved);
  EXPECT_EQ(entryFlags(doc.layer(1, 2, 0)[0]), 0x11u);
  EXPECT_NE(low16(hostReleaseFrame(frame, InterfaceVersion)), 0);
  EXPECT_TRUE(simHost().lentFrames.empty());
  EXPECT_TRUE(simHost().violations.empty());
  EXPECT_EQ(simHost().framesLent, 1);
  EXPECT_EQ(simHost().framesSaved, 1);
  EXPECT_EQ(simHost().framesReleased, 1);
}

TEST_F(DataServicesTest, MisuseIsRecordedAsOneViolationAndChangesNothing) {
  const std::vector<uint8_t> text = {'F', 'i', 'n', 'e', 0};
  doc.addTextBlock("Fine");
  Key key(1);
  uint8_t region[HostRegionLayout::Size] = {}, notLent[HostFrameLayout::Size];
  auto begin = [&] { return hostBeginRegionPass(region, 0, InterfaceVersion); };
  auto load = [](uint32_t measure) {
    return hostLoadFrame(0, 1, measure, 0, 0, InterfaceVersion);
  };
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"write of size 0",
       [&] {
         hostWriteRecord(TagTextBlock, key.bytes, "x", 0, InterfaceVersion);
       }},
      {"write without data",
       [&] {
         hostWriteRecord(TagTextBlock, key.bytes, nullptr, 5, InterfaceVersion);
       }},
      {"cell of another pass",
       [&] {
         const uint32_t h = begin();
         hostEnterCell(h + 1, 4, 1, 1, -1, InterfaceVersion);
         hostEndRegionPass(h, 0, InterfaceVersion);
       }},
      {"end of another pass",
       [&] { hostEndRegionPass(begin() ^ 0x100, 0, InterfaceVersion); }},
      {"two passes at once",
       [&] {
         begin();
         hostEndRegionPass(begin(), 0, InterfaceVersion);
       }},
      {"two frames at once",
       [&] {
         load(1);
         load(2);
       }},
      {"save of a frame not lent",
       [&] { hostSaveFrame(notLent, InterfaceVersion); }},
      {"release of a frame not lent",
       [&] { hostReleaseFrame(notLent, InterfaceVersion); }},
      {"release twice",
       [&] {
         void* frame = load(1);
         hostReleaseFrame(frame, InterfaceVersion);
         hostReleaseFrame(frame, InterfaceVersion);
       }},
  };
  for (const auto& [what, misuse] : cases) {
    simHost().resetLog();
    simHost().openPass = 0;
    misuse();
    EXPECT_EQ(simHost().violations.size(), 1u) << what;
    EXPECT_EQ(fetch(TagTextBlock, key), text) << what;
    releaseLentFrames();
  }
}

// One call of every service with a 16-bit result, in a correct order, each
// answer paired with whether its low 16 bits must be non-zero.
std::vector<std::pair<uint32_t, bool>> shortResults(SimDocument& doc,
                                                    uint32_t version) {
  simHost().document = &doc;
  simHost().resetLog();
  simHost().stopAtCell = 2;
  doc.addTextBlock("one");
  doc.setLayerInUse(1, false);
  Key present(1), absent(9), next(0);
  int32_t size = 0;
  uint8_t buffer[32], region[HostRegionLayout::Size] = {};
  std::vector<std::pair<uint32_t, bool>> r;
  for (Key* key : {&present, &absent}) {
    r.push_back(
        {hostReadRecord(TagTextBlock, key->bytes, nullptr, &size, version),
         key == &present});
  }
  for (const bool found : {true, false}) {
    r.push_back({hostReadNextRecord(TagTextBlock, next.bytes, buffer,
                                    sizeof buffer, version),
                 found});
  }
  r.push_back(
      {hostWriteRecord(TagTextBlock, present.bytes, "two", 4, version), true});
  r.push_back({hostLayerInUse(0, version), true});
  r.push_back({hostLayerInUse(1, version), false});
  const uint32_t handle = hostBeginRegionPass(region, 0, version);
  r.push_back({hostEnterCell(handle, 4, 1, 1, -1, version), true});
  r.push_back({hostEnterCell(handle, 4, 1, 2, -1, version), false});
  void* frame = hostLoadFrame(0, 1, 1, 0, 0, version);
  EXPECT_EQ(simHost().lentFrames.count(static_cast<uint8_t*>(frame)), 1u);
  r.push_back({hostSaveFrame(frame, version), true});
  r.push_back({hostReleaseFrame(frame, version), true});
  r.push_back({hostEndRegionPass(handle, 1, version), true});
  return r;
}

TEST_F(DataServicesTest, StrictResultsCarryGarbageAboveUnchangedLowBits) {
  SimDocument plainDoc(1, 1), strictDoc(1, 1);
  const auto plain = shortResults(plainDoc, InterfaceVersion);
  simHost().strict = true;
  const auto strict = shortResults(strictDoc, InterfaceVersion);
  // The handle and the frame pointer were used as answered.
  EXPECT_TRUE(simHost().violations.empty());
  ASSERT_EQ(plain.size(), strict.size());
  for (size_t i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(low16(plain[i].first) != 0, plain[i].second) << "result " << i;
    EXPECT_EQ(low16(strict[i].first), low16(plain[i].first)) << "result " << i;
    EXPECT_NE(strict[i].first >> 16, 0u) << "result " << i;
  }
}

TEST_F(DataServicesTest, StrictGarbageNeverVanishesHoweverManyCalls) {
  simHost().strict = true;
  int firstClean = 0;
  for (int call = 1; call <= 0x10000 && firstClean == 0; ++call) {
    const uint32_t result = hostLayerInUse(call & 3, InterfaceVersion);
    if ((result >> 16) == 0) firstClean = call;
  }
  EXPECT_EQ(firstClean, 0) << "call " << firstClean << " had clean high bits";
}

TEST_F(DataServicesTest, EveryCallIsLoggedAndChecksTheVersion) {
  doc.addTextBlock("logged");
  Key key(1);
  int32_t size = 0;
  hostReadRecord(TagTextBlock, key.bytes, nullptr, &size, InterfaceVersion);
  hostLoadFrame(7, 2, 1, 3, 0, InterfaceVersion);
  hostEnterCell(0x1234, 4, 2, 3, -1, InterfaceVersion);
  const std::vector<ServiceCall>& calls = simHost().calls;
  ASSERT_EQ(simHost().ordinals(), (std::vector<int>{9, 2, 55}));
  EXPECT_EQ(calls[0].args, (std::vector<uint32_t>{TagTextBlock, word(key.bytes),
                                                  0, word(&size)}));
  EXPECT_EQ(calls[1].args, (std::vector<uint32_t>{7, 2, 1, 3, 0}));
  EXPECT_EQ(calls[2].args,
            (std::vector<uint32_t>{0x1234, 4, 2, 3, 0xFFFFFFFFu}));

  releaseLentFrames();
  SimDocument other(1, 1);
  for (const uint32_t version : {InterfaceVersion, WrongVersion}) {
    shortResults(other, version);
    EXPECT_EQ(
        simHost().ordinals(),
        (std::vector<int>{9, 9, 14, 14, 10, 61, 61, 53, 55, 55, 2, 3, 4, 54}));
    EXPECT_EQ(simHost().violations.size(),
              version == InterfaceVersion ? 0 : simHost().calls.size())
        << std::hex << version;
  }
}

}  // namespace
