// The walker of the text command over a simulated document: the order of
// the ten kinds and of the items within each, the gaps that end a kind and
// those passed over, texts the host hands over without a terminator or with
// no bytes, the records it reads and writes, and the location line of the
// results dialog for each kind.
#include "textsearch/text_walker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/byte_access.h"
#include "host/host_tags.h"
#include "simhost/sim_host.h"
#include "tests/support/counted_text_memory.h"
#include "textsearch/text_location.h"
#include "textsearch/text_prefs.h"
#include "textsearch/text_search.h"

namespace {

namespace L = TextSearchPrefsLayout;

struct Match {
  int kind;
  std::string where;  // the item, from the cursor's key words
  std::string line;   // where, offset and the whole text
};

uint32_t word(const void* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

// The item the cursor stands on, from the key words its kind uses.
std::string whereNow(const TextCursor& cursor) {
  static const char* const names[] = {
      "page",   "measure", "expression", "staff",  "group",
      "repeat", "ending",  "verse",      "chorus", "section"};
  const std::string name = names[cursor.kind];
  const std::string first = std::to_string(keyFirst(cursor));
  const std::string second = std::to_string(keySecond(cursor));
  const char* full = cursor.fullName == 1 ? " full" : " abbreviated";
  switch (cursor.kind) {
    case PageTextBlock:
      return name + " " + first + "/" + second;
    case MeasureTextBlock:
      return name + " " + second + " staff " + first + " #" +
             std::to_string(keySubIndex(cursor));
    case StaffName:
      return name + " " + first + full;
    case GroupName:
      return name + " " + second + " in system " + first + full;
    default:
      return name + " " + first;
  }
}

std::vector<std::string> wheres(const std::vector<Match>& matches,
                                std::string Match::*field = &Match::where) {
  std::vector<std::string> out;
  for (const Match& m : matches) out.push_back(m.*field);
  return out;
}

std::vector<std::string> lines(const std::vector<Match>& matches) {
  return wheres(matches, &Match::line);
}

std::string joined(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : ", ") + part;
  return out;
}

// Items written "kind:first:second:subIndex" (missing words are 0), and
// "mN" for N measure records. Staves and groups get the text as both names.
void addItems(SimDocument& d, const std::string& items,
              const std::string& text = "@") {
  const uint32_t lyrics[] = {TagVerseLyrics, TagChorusLyrics, TagSectionLyrics};
  std::istringstream in(items);
  std::string token;
  while (in >> token) {
    if (token[0] == 'm') {
      d.addMeasureRecords(static_cast<uint16_t>(std::stoi(token.substr(1))));
      continue;
    }
    unsigned kind = 0, first = 0, second = 0;
    int sub = 0;
    sscanf(token.c_str(), "%u:%u:%u:%d", &kind, &first, &second, &sub);
    const uint16_t f = static_cast<uint16_t>(first);
    const uint16_t s = static_cast<uint16_t>(second);
    if (kind == PageTextBlock) d.addPageText(f, s, text);
    if (kind == MeasureTextBlock) d.addMeasureText(f, s, int16_t(sub), text);
    if (kind == TextExpression) d.addTextExpression(f, text);
    if (kind == StaffName) d.addStaff(f, text, text);
    if (kind == GroupName) d.addGroup(f, s, text, text);
    if (kind == TextRepeat) d.addTextRepeat(f, text);
    if (kind == EndingRepeat) d.addEndingRepeat(f, text);
    if (kind >= VerseLyrics) d.addLyrics(lyrics[kind - VerseLyrics], f, text);
  }
}

// Every kind, with items the walk reaches and items behind gaps it never
// reaches. Each text marks its match with '@'.
void buildEverything(SimDocument& doc) {
  doc.addMeasureRecords(10);
  doc.addStaffSystems(3);
  doc.addPageText(2, 0, "P2@");
  doc.addPageText(0, 1, "P0b@");
  doc.addPageText(1, 0, "P1@");
  doc.addPageText(0, 0, "^font(x@)P0@");
  doc.addMeasureText(2, 1, 0, "M1S2@");
  doc.addMeasureText(1, 2, 1, "M2S1b@");
  doc.addMeasureText(1, 2, 0, "M2S1@");
  doc.addMeasureText(1, 1, 0, "M1S1@");
  doc.addMeasureText(2, 3, 0, "M3S2@");
  doc.addMeasureText(2, 3, 2, "M3S2c@");  // block 1 is missing
  doc.addMeasureText(3, 1, 0, "S3@");     // staff 3 is past the count
  doc.addMeasureText(1, 10, 0, "M10S1@");
  doc.addMeasureText(1, 11, 0, "M11@");  // measure 11 is past the count
  doc.addTextExpression(1, "^f(@)E1@");  // tags are searched here
  doc.addTextExpression(2, "E2@");
  doc.addTextExpression(4, "E4@");
  doc.addStaff(1, "Flute@", "Fl@");
  doc.addStaff(2, "Oboe", "Ob@");
  doc.addStaff(4, "Horn@", "Hn@");
  doc.addGroup(0, 2, "G02@", "g02@");  // the global set has no group 1
  doc.addGroup(1, 1, "G11@", "g11");
  doc.addGroup(1, 2, "G12", "g12@");
  doc.addGroup(1, 4, "G14@", "g14@");
  doc.addGroup(2, 2, "G22@", "g22@");  // system 2 has no group 1
  doc.addGroup(3, 1, "G31@", "g31");
  doc.addTextRepeat(1, "R1@");
  doc.addTextRepeat(2, "R2@");
  doc.addTextRepeat(4, "R4@");
  doc.addEndingRepeat(3, "N3@");
  doc.addEndingRepeat(7, "N7@");
  doc.addEndingRepeat(11, "N11@");
  doc.addLyrics(TagVerseLyrics, 1, "V1@");
  doc.addLyrics(TagVerseLyrics, 5, "V5@");
  doc.addLyrics(TagChorusLyrics, LastLyricNumber, "C1000@");
  doc.addLyrics(TagChorusLyrics, LastLyricNumber + 1, "C1001@");
  doc.addLyrics(TagSectionLyrics, 2, "S2@");
}

const std::vector<std::string> EverythingWalk = {
    "page 0/0 at 11: ^font(x@)P0@",
    "page 0/1 at 3: P0b@",
    "page 1/0 at 2: P1@",
    "page 2/0 at 2: P2@",
    "measure 1 staff 1 #0 at 4: M1S1@",
    "measure 1 staff 2 #0 at 4: M1S2@",
    "measure 2 staff 1 #0 at 4: M2S1@",
    "measure 2 staff 1 #1 at 5: M2S1b@",
    "measure 3 staff 2 #0 at 4: M3S2@",
    "measure 10 staff 1 #0 at 5: M10S1@",
    "expression 1 at 3: ^f(@)E1@",
    "expression 1 at 7: ^f(@)E1@",
    "expression 2 at 2: E2@",
    "staff 1 full at 5: Flute@",
    "staff 1 abbreviated at 2: Fl@",
    "staff 2 abbreviated at 2: Ob@",
    "group 2 in system 0 full at 3: G02@",
    "group 2 in system 0 abbreviated at 3: g02@",
    "group 1 in system 1 full at 3: G11@",
    "group 2 in system 1 abbreviated at 3: g12@",
    "group 1 in system 3 full at 3: G31@",
    "repeat 1 at 2: R1@",
    "repeat 2 at 2: R2@",
    "ending 3 at 2: N3@",
    "ending 7 at 2: N7@",
    "verse 1 at 2: V1@",
    "verse 5 at 2: V5@",
    "chorus 1000 at 5: C1000@",
    "section 2 at 2: S2@",
};

class TextWalkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    failTextAllocationAt(0);
    resetTextSearchPrefs(&prefs);
    for (size_t i = 0; i < L::ElementSwitchCount; ++i) {
      setPrefsWord(prefs, L::ElementSwitches + 2 * i, 1);
    }
    search("@", "<>");
    simHost().document = &doc;
    simHost().strict = false;
    simHost().resetLog();
  }

  void TearDown() override {
    dropCurrentText(session);
    failTextAllocationAt(0);
    EXPECT_EQ(textAllocationsOutstanding(), 0) << "a text was not released";
    simHost().document = nullptr;
    simHost().strict = false;
  }

  void search(const char* text, const char* replacement) {
    strcpy(reinterpret_cast<char*>(prefs.bytes + L::SearchString), text);
    strcpy(reinterpret_cast<char*>(prefs.bytes + L::ReplaceString),
           replacement);
    useTextPrefs(session, &prefs);
  }

  void enableOnly(const std::vector<size_t>& switches, int16_t on = 1) {
    for (size_t i = 0; i < L::ElementSwitchCount; ++i) {
      setPrefsWord(prefs, L::ElementSwitches + 2 * i, 0);
    }
    for (size_t offset : switches) setPrefsWord(prefs, offset, on);
  }

  // The whole search as the results dialog runs it; every match is
  // replaced ("Yes to all") or declined ("No").
  std::vector<Match> walk(bool replaceAll = false) {
    session.foundCount = 0;
    session.replacedCount = 0;
    session.matchOffset = 0;
    session.lengthDelta = 0;
    std::vector<Match> found;
    if (findFirstMatch(textSearch) == 0) return found;
    do {
      found.push_back({cursor.kind, whereNow(cursor),
                       whereNow(cursor) + " at " +
                           std::to_string(session.matchOffset) + ": " +
                           currentText(session)});
      if (replaceAll) {
        replaceMatch(textSearch);
      } else {
        session.lengthDelta = 0;
      }
      if (found.size() > 200) {
        ADD_FAILURE() << "the walk does not end";
        break;
      }
    } while (findNextMatch(textSearch) != 0);
    return found;
  }

  static int callsOf(int ordinal) {
    const auto& calls = simHost().calls;
    return static_cast<int>(
        std::count_if(calls.begin(), calls.end(),
                      [=](auto& c) { return c.ordinal == ordinal; }));
  }

  SimDocument doc;
  TextSearchPrefs prefs{};
  TextSearch textSearch{};
  TextSearchSession& session = textSearch.session;
  TextCursor& cursor = textSearch.cursor;
};

TEST_F(TextWalkerTest, VisitsEveryKindInOrderAndStopsAtGaps) {
  buildEverything(doc);
  for (bool strict : {false, true}) {
    SCOPED_TRACE(strict ? "strict host" : "plain host");
    simHost().strict = strict;
    simHost().resetLog();
    EXPECT_EQ(lines(walk()), EverythingWalk);
    dropCurrentText(session);
    EXPECT_EQ(callsOf(10), 0) << "the walk only reads";
    for (const ServiceCall& call : simHost().calls) {
      EXPECT_TRUE(call.ordinal == 9 || call.ordinal == 14) << call.ordinal;
      if (call.ordinal != 14) continue;
      EXPECT_EQ(call.args[0], TagPageTextItem);
      EXPECT_EQ(call.args[1], word(cursor.key));
      EXPECT_EQ(call.args[2], word(cursor.item));
      EXPECT_EQ(call.args[3], 24u);
    }
    EXPECT_TRUE(simHost().violations.empty());
  }
}

TEST_F(TextWalkerTest, ReplacingEverythingWritesEachTextWhereItWasRead) {
  buildEverything(doc);
  const std::vector<Match> replaced = walk(true);
  ASSERT_EQ(replaced.size(), EverythingWalk.size());
  EXPECT_EQ(session.replacedCount, static_cast<int>(replaced.size()));
  EXPECT_EQ(callsOf(10), static_cast<int>(replaced.size()));
  dropCurrentText(session);

  // Every replacement landed in the text that held the match: none is left,
  // and the replacements are found in the same items.
  EXPECT_TRUE(walk().empty());
  dropCurrentText(session);
  search("<>", "");
  EXPECT_EQ(wheres(walk()), wheres(replaced));

  // The items behind the gaps are untouched; a text expression keeps its
  // header.
  EXPECT_EQ(doc.recordText({TagTextExpression, 4, 0, 0}, 12), "E4@");
  EXPECT_EQ(doc.recordText({TagChorusLyrics, LastLyricNumber + 1, 0, 0}),
            "C1001@");
  EXPECT_EQ(doc.recordText({TagEndingRepeatText, 11, 0, 0}), "N11@");
  EXPECT_EQ(doc.recordText({TagTextRepeatText, 4, 0, 0}), "R4@");
  const std::vector<uint8_t>& expression =
      *doc.record({TagTextExpression, 1, 0, 0});
  ASSERT_EQ(expression.size(), 12u + 10u + 3u);
  for (size_t i = 0; i < 12; ++i) EXPECT_EQ(expression[i], 0xE0 + i);
  EXPECT_EQ(doc.recordText({TagTextExpression, 1, 0, 0}, 12), "^f(<>)E1<>");
}

TEST_F(TextWalkerTest, GapsEndSomeKindsAndArePassedOverInOthers) {
  struct Case {
    size_t enabled;
    const char* items;
    const char* visited;
    bool readNextStaysPut = false;   // the host answers yes, key unmoved
    uint16_t emptyStaff = 0;         // a staff the host holds with no bytes
    bool readNextStepsBack = false;  // yes, to a key before in its first word
  };
  const Case cases[] = {
      {L::TextExpressions, "2:1 2:2 2:4", "expression 1, expression 2"},
      {L::TextExpressions, "2:0 2:1", "expression 0, expression 1"},
      {L::TextRepeats, "5:1 5:2 5:4", "repeat 1, repeat 2"},
      {L::TextRepeats, "5:2 5:3", "repeat 2, repeat 3"},
      {L::StaffNames, "3:1 3:2 3:4",
       "staff 1 full, staff 1 abbreviated, staff 2 full, staff 2 abbreviated"},
      {L::GroupNames, "4:0:1 4:0:2 4:0:4",
       "group 1 in system 0 full, group 1 in system 0 abbreviated, "
       "group 2 in system 0 full, group 2 in system 0 abbreviated"},
      {L::EndingRepeats, "m10 6:3 6:7 6:11", "ending 3, ending 7"},
      {L::EndingRepeats, "m10 6:0 6:1", "ending 1"},  // measures from 1
      // The host numbers lyrics 1 to LastLyricNumber, 1000.
      {L::Lyrics, "9:999 9:1000 9:1001", "section 999, section 1000"},
      {L::Lyrics, "7:0 7:1 8:0 8:1 9:0 9:1", "verse 1, chorus 1, section 1"},
      {L::MeasureTextBlocks, "m1 3:1 3:2 1:1:1:1 1:2:1:1",
       "measure 1 staff 1 #1"},
      {L::PageTextBlocks, "0:3:0 0:0:2", "page 0/2, page 3/0"},
      {L::PageTextBlocks, "0:3:0 0:0:2", "", true},
      {L::PageTextBlocks, "0:3:0 0:0:2", "page 0/2, page 3/0", false, 0, true},
      {L::StaffNames, "3:1 3:2 3:3",
       "staff 1 full, staff 1 abbreviated, staff 3 full, staff 3 abbreviated",
       false, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.items);
    SimDocument fresh;
    addItems(fresh, c.items);
    if (c.emptyStaff) fresh.putRecord({TagStaff, c.emptyStaff, 0, 0}, {});
    simHost().document = &fresh;
    simHost().readNextStaysPut = c.readNextStaysPut;
    simHost().readNextStepsBack = c.readNextStepsBack;
    // A host that writes back the size of what it fetched: 0 for the empty.
    if (c.emptyStaff) simHost().sizeAfterFetch = 0;
    enableOnly({c.enabled});
    EXPECT_EQ(joined(wheres(walk())), c.visited);
    simHost().readNextStaysPut = simHost().readNextStepsBack = false;
    simHost().sizeAfterFetch = SimHost::LeavesSizeAlone;
    dropCurrentText(session);
  }
}

// Each kind's first match and the search going on in the same text: with
// "Search tags" off, the kinds whose texts hold no tags find the matches
// inside both tags, the others only those before and after them; with it
// on, every kind finds all four.
TEST_F(TextWalkerTest, TagsAreSteppedOverInTheKindsThatHoldThem) {
  addItems(doc, "m1 0:0:0 1:1:1:0 2:1 3:1 4:0:1 5:1 6:1 7:1 8:1 9:1",
           "@^f(@)^g(@)@");
  const char* const kinds[] = {"page 0/0",
                               "measure 1 staff 1 #0",
                               "expression 1",
                               "staff 1 full",
                               "staff 1 abbreviated",
                               "group 1 in system 0 full",
                               "group 1 in system 0 abbreviated",
                               "repeat 1",
                               "ending 1",
                               "verse 1",
                               "chorus 1",
                               "section 1"};
  const std::set<std::string> tagless = {"expression 1", "repeat 1",
                                         "ending 1"};
  for (int16_t searchTags : {0, 1}) {
    SCOPED_TRACE(searchTags);
    setPrefsWord(prefs, L::SearchTags, searchTags);
    useTextPrefs(session, &prefs);
    std::vector<std::string> expected;
    for (const char* kind : kinds) {
      for (int at : {0, 4, 9, 11}) {
        if (at % 11 == 0 || searchTags != 0 || tagless.count(kind) != 0) {
          expected.push_back(std::string(kind) + " at " + std::to_string(at) +
                             ": @^f(@)^g(@)@");
        }
      }
    }
    EXPECT_EQ(lines(walk()), expected);
  }
}

TEST_F(TextWalkerTest, KeyCountersStopAtTheirLastValue) {
  // Items 0 and 1 lie where a counter that wraps round would go next.
  for (uint8_t kind : {2, 3, 5}) {
    SCOPED_TRACE(int(kind));
    const std::string k = std::to_string(kind);
    addItems(doc, k + ":0 " + k + ":1 " + k + ":65535");
    enableOnly({L::ElementSwitches + 2 * kind});
    cursor.kind = kind;
    ASSERT_NE(startKind(cursor, session), 0);
    dropCurrentText(session);
    cursor.fullName = 0;
    writeU16(cursor.key, HostKeyLayout::First, 65535);
    EXPECT_EQ(advanceItem(cursor), 0);
    EXPECT_EQ(keyFirst(cursor), 65535);
  }
  // A cell's blocks end at 32767, where the number would wrap to a block
  // the host may hold at -32768.
  addItems(doc, "m1 1:1:1:0 1:1:1:32767 1:1:1:-32768");
  enableOnly({L::ElementSwitches + 2 * MeasureTextBlock});
  cursor.kind = MeasureTextBlock;
  ASSERT_NE(startKind(cursor, session), 0);
  dropCurrentText(session);
  writeI16(cursor.key, HostKeyLayout::SubIndex, 32767);
  EXPECT_EQ(advanceItem(cursor), 0);
  // A system's groups end at 65535, where the number would wrap to a group
  // 0, which no walk starts from.
  addItems(doc, "4:0:0 4:0:65535");
  enableOnly({L::ElementSwitches + 2 * GroupName});
  cursor.kind = GroupName;
  EXPECT_EQ(startKind(cursor, session), 0);
  cursor.fullName = 0;
  writeU16(cursor.key, HostKeyLayout::First, 0);
  writeU16(cursor.key, HostKeyLayout::Second, 65535);
  EXPECT_EQ(advanceItem(cursor), 0);
}

TEST_F(TextWalkerTest, AKindCountsOnlyTheRecordsItsWalkClimbsThrough) {
  buildEverything(doc);
  const std::vector<uint32_t> countable = {TagStaff, TagMeasure,
                                           TagStaffSystem};
  const std::pair<uint8_t, std::vector<uint32_t>> cases[] = {
      {MeasureTextBlock, {TagStaff, TagMeasure}},
      {GroupName, {TagStaffSystem}},
      {EndingRepeat, {TagMeasure}},
      {TextExpression, {}}};
  for (const auto& [kind, counted] : cases) {
    SCOPED_TRACE(int(kind));
    enableOnly({L::ElementSwitches + 2 * kind});
    cursor = TextCursor{};
    cursor.kind = kind;
    simHost().resetLog();
    startKind(cursor, session);
    dropCurrentText(session);
    std::vector<uint32_t> seen;
    for (const ServiceCall& call : simHost().calls) {
      const uint32_t tag = call.args[0];
      if (call.ordinal == 9 && call.args[2] == 0 &&
          std::count(countable.begin(), countable.end(), tag) &&
          std::count(seen.begin(), seen.end(), tag) == 0) {
        seen.push_back(tag);
      }
    }
    EXPECT_EQ(seen, counted);
  }
}

TEST_F(TextWalkerTest, SwitchesChooseTheKindsWalked) {
  struct Case {
    unsigned switches;  // bit i: the switch of kind i (7: lyrics)
    int16_t on;
    uint8_t firstKind;
    const char* kinds;  // of each match, in order
  };
  const Case cases[] = {
      {0x80, 1, VerseLyrics, "7 7 8 9"},
      {0x88, 1, StaffName, "3 3 3 7 7 8 9"},
      {0x40, 2, EndingRepeat, "6 6"},
      {0x11, -1, PageTextBlock, "0 0 0 0 4 4 4 4 4"},
      {0x22, 1, MeasureTextBlock, "1 1 1 1 1 1 5 5"},
      // Nothing on: kind 7 is walked all the same, as it is started.
      {0x00, 0, VerseLyrics, "7 7"},
  };
  buildEverything(doc);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kinds);
    std::vector<size_t> enabled;
    for (size_t i = 0; i < L::ElementSwitchCount; ++i) {
      if ((c.switches >> i) & 1) enabled.push_back(L::ElementSwitches + 2 * i);
    }
    enableOnly(enabled, c.on);
    chooseFirstKind(cursor, session);
    EXPECT_EQ(cursor.kind, c.firstKind);
    std::string kinds;
    for (const Match& m : walk()) {
      kinds += (kinds.empty() ? "" : " ") + std::to_string(m.kind);
    }
    EXPECT_EQ(kinds, c.kinds);
    dropCurrentText(session);
  }
  // No later kind: the kind stays as it was.
  enableOnly({L::StaffNames});
  cursor.kind = StaffName;
  EXPECT_EQ(nextEnabledKind(cursor, session), 0);
  EXPECT_EQ(cursor.kind, StaffName);
}

TEST_F(TextWalkerTest, TextsWithoutTerminatorsOrBytesAreReadSafely) {
  doc.addPageText(0, 0, "zz");  // text block 1
  doc.putRecord({TagTextBlock, 1, 0, 0}, {'x', '@'});
  doc.addPageText(0, 1, "zz");  // text block 2, then emptied
  doc.putRecord({TagTextBlock, 2, 0, 0}, {});
  std::vector<uint8_t> expression(12, 0xE0);
  expression.push_back('e');
  expression.push_back('@');
  doc.putRecord({TagTextExpression, 1, 0, 0}, expression);
  doc.putRecord({TagTextExpression, 2, 0, 0}, std::vector<uint8_t>(12, 0xE0));
  doc.addTextExpression(3, "f@");
  doc.addTextRepeat(1, "q@");  // an item of size 0 at the start: passed over
  doc.putRecord({TagTextRepeat, 1, 0, 0}, {});
  doc.addTextRepeat(2, "");
  doc.putRecord({TagTextRepeatText, 2, 0, 0}, {'r', '@'});
  doc.addTextRepeat(3, "@");  // an item of size 0 after it ends the kind
  doc.putRecord({TagTextRepeat, 3, 0, 0}, {});
  doc.addTextRepeat(4, "@");
  doc.putRecord({TagVerseLyrics, 1, 0, 0}, {});
  doc.putRecord({TagVerseLyrics, 2, 0, 0}, {'a', 'b', '@'});
  doc.putRecord({TagVerseLyrics, 3, 0, 0}, {});
  doc.addLyrics(TagVerseLyrics, 4, std::string(40000, 'a') + "@");
  doc.addLyrics(TagVerseLyrics, 5, "c@");
  EXPECT_EQ(lines(walk()), (std::vector<std::string>{
                               "page 0/0 at 1: x@", "expression 1 at 1: e@",
                               "expression 3 at 1: f@", "repeat 2 at 1: r@",
                               "verse 2 at 2: ab@", "verse 5 at 1: c@"}));
  dropCurrentText(session);

  // A host that writes less than it reported: the rest of a text reads as
  // its end; a staff record cut short in its full name's high byte names
  // the low byte's text, and no abbreviated one, not the last staff's.
  SimDocument cut;
  cut.addPageText(0, 0, "@bcd");
  cut.addStaff(1, "F@", "f@");
  cut.addStaff(2, "O@", "o@");
  std::vector<uint8_t> staff = *cut.record({TagStaff, 2, 0, 0});
  staff.resize(StaffLayout::FullName + 1);
  cut.putRecord({TagStaff, 2, 0, 0}, staff);
  simHost().document = &cut;
  enableOnly({L::PageTextBlocks, L::StaffNames});
  simHost().shortWrites = 2;
  EXPECT_EQ(joined(lines(walk())), "page 0/0 at 0: @bc");
  dropCurrentText(session);
  simHost().shortWrites = 0;
  EXPECT_EQ(joined(wheres(walk())),
            "page 0/0, staff 1 full, staff 1 abbreviated, staff 2 full");
  // One that then writes a larger size back: the text still ends where
  // the buffer does.
  enableOnly({L::PageTextBlocks});
  simHost().sizeAfterFetch = 64;
  EXPECT_EQ(joined(lines(walk())), "page 0/0 at 0: @bcd");
  simHost().sizeAfterFetch = SimHost::LeavesSizeAlone;
}

TEST_F(TextWalkerTest, ItemsAreProbedWithTheKindsBufferAndTheCursorKey) {
  // Kinds 5 to 9 are probed without a buffer; the three lyrics kinds share
  // one switch. The start key's words as the host reads them, over a key
  // that an earlier walk left at 7, 7, 7 (Kept: a word the start leaves as
  // it was), and the size asked for.
  constexpr int Kept = 7;
  struct Case {
    uint32_t tag;
    const uint8_t* buffer;
    std::array<int32_t, 3> key;
    int32_t size;
  };
  const Case cases[] = {{TagPageTextItem, cursor.item, {0, 0, Kept}, 24},
                        {TagMeasureTextItem, cursor.item, {1, 1, 0}, 10},
                        {TagTextExpression, cursor.item, {0, 0, Kept}, 14},
                        {TagStaff, cursor.item, {0, 0, Kept}, 66},
                        {TagGroup, cursor.item, {0, 1, 0}, 30},
                        {TagTextRepeat, nullptr, {1, 0, Kept}, 16},
                        {TagEndingRepeat, nullptr, {1, 0, Kept}, 28},
                        {TagVerseLyrics, nullptr, {1, Kept, Kept}, 0},
                        {TagChorusLyrics, nullptr, {1, Kept, Kept}, 0},
                        {TagSectionLyrics, nullptr, {1, Kept, Kept}, 0}};
  buildEverything(doc);
  doc.addStaff(0, "S0@", "s0@");  // names at the start keys
  doc.addGroup(0, 1, "G01@", "g01@");
  for (size_t kind = 0; kind < TextKindCount; ++kind) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    enableOnly({L::ElementSwitches + 2 * std::min<size_t>(kind, 7)});
    simHost().resetLog();
    chooseFirstKind(cursor, session);
    cursor.kind = static_cast<uint8_t>(kind);
    for (size_t word : {HostKeyLayout::First, HostKeyLayout::Second,
                        HostKeyLayout::SubIndex}) {
      writeU16(cursor.key, word, Kept);
    }
    cursor.fullName = 1;  // a walk ended on a full name: names start anew
    ASSERT_NE(startKind(cursor, session), 0);
    dropCurrentText(session);
    if (kind == StaffName || kind == GroupName) {
      EXPECT_EQ(cursor.fullName, 1) << "the full name first";
    }
    const auto& calls = simHost().calls;
    const auto probe = std::find_if(calls.begin(), calls.end(), [&](auto& c) {
      return c.ordinal == 9 && c.args[0] == cases[kind].tag;
    });
    ASSERT_NE(probe, calls.end());
    EXPECT_EQ(probe->args[1], word(cursor.key));
    EXPECT_EQ(probe->args[2], word(cases[kind].buffer));
    EXPECT_EQ(
        std::vector<int32_t>(probe->key.begin(), probe->key.begin() + 3),
        std::vector<int32_t>(cases[kind].key.begin(), cases[kind].key.end()));
    EXPECT_EQ(probe->sizeIn, cases[kind].size);
    // Only measure text blocks, group names and ending repeats count (probe
    // without a buffer) the staves, measures or staff systems they run
    // through.
    const bool counts = kind == 1 || kind == 4 || kind == 6;
    EXPECT_EQ(std::any_of(calls.begin(), calls.end(),
                          [&](auto& c) {
                            return c.ordinal == 9 && c.args[2] == 0 &&
                                   (c.args[0] == TagStaff ||
                                    c.args[0] == TagMeasure ||
                                    c.args[0] == TagStaffSystem);
                          }),
              counts);
  }
}

TEST_F(TextWalkerTest, TextsEmptyOrTooLongAreSizedButNotRead) {
  doc.putRecord({TagTextExpression, 1, 0, 0}, std::vector<uint8_t>(12, 0));
  // 32,767 bytes with the terminator: too long to search.
  doc.addPageText(0, 0, std::string(TextLengthLimit - 1, 'a'));
  enableOnly({L::TextExpressions, L::PageTextBlocks});
  EXPECT_TRUE(walk().empty());
  for (const ServiceCall& call : simHost().calls) {
    const bool text =
        call.args[0] == TagTextExpression || call.args[0] == TagTextBlock;
    EXPECT_TRUE(call.ordinal != 9 || !text || call.args[2] == 0 ||
                call.args[2] == word(cursor.item))
        << "a read into a text buffer";
  }
  // The limit counts the text, not the header of a record before it.
  std::string longest(TextLengthLimit - 8, 'a');
  longest.back() = '@';
  doc.addTextExpression(2, longest);
  enableOnly({L::TextExpressions});
  EXPECT_EQ(joined(wheres(walk())), "expression 2");
}

TEST_F(TextWalkerTest, CountsAndTextBlocksAreReadByNumber) {
  doc.addMeasureRecords(5);
  doc.addStaffSystems(2);
  doc.putRecord({TagStaffSystem, 4, 0, 0}, std::vector<uint8_t>(20, 0));
  EXPECT_EQ(countRecords(TagMeasure, 24), 5);
  EXPECT_EQ(countRecords(TagStaffSystem, 20), 2) << "counted to the first gap";
  EXPECT_EQ(countRecords(TagStaff, 66), 0);
  SimDocument full;  // more records than the count can hold
  full.addMeasureRecords(INT16_MAX + 1);
  simHost().document = &full;
  EXPECT_EQ(countRecords(TagMeasure, 24), INT16_MAX) << "the last one too";
  simHost().document = &doc;

  const int16_t block = doc.addTextBlock("Allegro");
  for (size_t at = 0; at < HostKeyLayout::Size; ++at) cursor.key[at] = 7;
  simHost().resetLog();
  char* text = fetchTextBlock(cursor, block);
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "Allegro");
  EXPECT_EQ(cursor.textBlockNumber, block);
  releaseText(text);
  for (const ServiceCall& call : simHost().calls) {
    EXPECT_EQ(call.key, (std::array<int32_t, 4>{block, 0, 0, 0}))
        << "a text block's key holds its number alone";
  }
  EXPECT_EQ(fetchTextBlock(cursor, block + 1), nullptr);
  EXPECT_EQ(cursor.textBlockNumber, block + 1);
  // A host that says yes without writing the size has no text to give.
  simHost().sizesUnwritten = true;
  EXPECT_EQ(fetchTextBlock(cursor, block), nullptr);
  simHost().sizesUnwritten = false;
}

TEST_F(TextWalkerTest, FailedAllocationsLoseMatchesButNothingElse) {
  buildEverything(doc);
  enableOnly({L::PageTextBlocks, L::MeasureTextBlocks, L::TextExpressions,
              L::StaffNames, L::GroupNames, L::TextRepeats});
  const std::vector<std::string> clean = wheres(walk(true));
  ASSERT_EQ(clean.size(), 23u);
  dropCurrentText(session);
  int failAt = 1;
  for (; failAt < 400; ++failAt) {
    SCOPED_TRACE("allocation " + std::to_string(failAt) + " fails");
    SimDocument fresh;
    buildEverything(fresh);
    simHost().document = &fresh;
    simHost().resetLog();
    failTextAllocationAt(failAt);
    const std::vector<std::string> found = wheres(walk(true));
    failTextAllocationAt(0);
    dropCurrentText(session);
    EXPECT_EQ(textAllocationsOutstanding(), 0);
    const int replaced = session.replacedCount;
    if (found == clean && replaced == 23 && callsOf(10) == 23) break;
    // What is left is the clean walk with a match or a text's later
    // matches missing, in the same order.
    size_t next = 0;
    for (const std::string& where : found) {
      while (next < clean.size() && clean[next] != where) ++next;
      EXPECT_LT(next, clean.size()) << where << " out of order";
      ++next;
    }
    EXPECT_LE(replaced, static_cast<int>(found.size()));
    EXPECT_LE(callsOf(10), replaced);
    EXPECT_GE(callsOf(10), replaced - 1);
    // The document differs from a fresh one only by replacements made.
    SimDocument original;
    buildEverything(original);
    ASSERT_EQ(fresh.records().size(), original.records().size());
    for (const auto& [key, bytes] : fresh.records()) {
      std::string restored(bytes.begin(), bytes.end());
      for (size_t at; (at = restored.find("<>")) != std::string::npos;) {
        restored.replace(at, 2, "@");
      }
      const std::vector<uint8_t>* before = original.record(key);
      ASSERT_NE(before, nullptr);
      std::string expected(before->begin(), before->end());
      if (key.tag == TagTextExpression) {
        // A rewritten expression carries two spare bytes after its text.
        restored = restored.substr(0, restored.find('\0', 12));
        expected = expected.substr(0, expected.find('\0', 12));
      }
      EXPECT_EQ(restored, expected) << std::hex << key.tag << " " << key.first;
    }
  }
  EXPECT_GT(failAt, 25) << "each text fetched and each one held allocates";
  EXPECT_LT(failAt, 400) << "a walk without a failing allocation was reached";
}

TEST_F(TextWalkerTest, WriteBackStoresTheRecordOfEachKind) {
  struct Case {
    uint8_t kind;
    uint32_t cursorTag;
    uint16_t first, second;
    int16_t subIndex, textBlock;
    uint32_t writtenTag;
    uint16_t writtenFirst;
  };
  const Case cases[] = {
      {PageTextBlock, TagPageTextItem, 3, 1, 0, 9, TagTextBlock, 9},
      {MeasureTextBlock, TagMeasureTextItem, 2, 5, 1, 11, TagTextBlock, 11},
      {StaffName, TagStaff, 4, 0, 0, 12, TagTextBlock, 12},
      {GroupName, TagGroup, 1, 2, 0, 13, TagTextBlock, 13},
      {TextRepeat, TagTextRepeat, 2, 0, 0, 14, TagTextRepeatText, 2},
      {EndingRepeat, TagEndingRepeat, 7, 0, 0, 15, TagEndingRepeatText, 7},
      {VerseLyrics, TagVerseLyrics, 5, 0, 0, 16, TagVerseLyrics, 5},
      {ChorusLyrics, TagChorusLyrics, 6, 0, 0, 17, TagChorusLyrics, 6},
      {SectionLyrics, TagSectionLyrics, 1000, 0, 0, 18, TagSectionLyrics, 1000},
  };
  const std::vector<uint8_t> text = {'N', 'e', 'w', 0};
  search("e", "");  // holds the text to store
  for (const Case& c : cases) {
    SCOPED_TRACE("kind " + std::to_string(c.kind));
    simHost().resetLog();
    cursor.kind = c.kind;
    cursor.tag = c.cursorTag;
    writeU16(cursor.key, HostKeyLayout::First, c.first);
    writeU16(cursor.key, HostKeyLayout::Second, c.second);
    writeI16(cursor.key, HostKeyLayout::SubIndex, c.subIndex);
    cursor.textBlockNumber = c.textBlock;
    ASSERT_EQ(findInText(session, "New", 0, false), 1);
    writeBackText(cursor, session.held);
    dropCurrentText(session);
    ASSERT_EQ(simHost().calls.size(), 1u);
    EXPECT_EQ(simHost().calls[0].ordinal, 10);
    EXPECT_EQ(simHost().calls[0].args[0], c.writtenTag);
    EXPECT_EQ(simHost().calls[0].args[3], 4u) << "length + 1";
    // A text block by its number alone, any other record by the cursor's.
    EXPECT_EQ(simHost().calls[0].key,
              c.writtenTag == TagTextBlock
                  ? (std::array<int32_t, 4>{c.textBlock, 0, 0, 0})
                  : (std::array<int32_t, 4>{c.first, c.second, c.subIndex, 0}));
    const std::vector<uint8_t>* stored =
        doc.record({c.writtenTag, c.writtenFirst, 0, 0});
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(*stored, text);
    EXPECT_TRUE(simHost().violations.empty());
  }
}

TEST_F(TextWalkerTest, WriteBackRebuildsATextExpressionWithItsHeader) {
  cursor.kind = TextExpression;
  cursor.tag = TagTextExpression;
  writeU16(cursor.key, HostKeyLayout::First, 4);
  // The item's bytes, and past them what a larger item left in the buffer.
  for (int i = 0; i < ExpressionItemSize + 4; ++i) {
    cursor.item[i] = static_cast<uint8_t>(0xA0 + i);
  }
  search("e", "");  // holds the text to store, with the record's room
  ASSERT_EQ(findInText(session, "dolce", 0, false, {ExpressionHeaderSize, 2}),
            1);
  writeBackText(cursor, session.held);
  ASSERT_EQ(simHost().calls.size(), 1u);
  EXPECT_EQ(simHost().calls[0].ordinal, 10);
  EXPECT_EQ(simHost().calls[0].args[0], TagTextExpression);
  EXPECT_EQ(simHost().calls[0].args[3], 5u + 15u);
  const std::vector<uint8_t>* stored = doc.record({TagTextExpression, 4, 0, 0});
  ASSERT_NE(stored, nullptr);
  ASSERT_EQ(stored->size(), 20u);
  for (int i = 0; i < ExpressionHeaderSize; ++i) {
    EXPECT_EQ((*stored)[i], 0xA0 + i) << "header byte " << i;
  }
  EXPECT_EQ(doc.recordText({TagTextExpression, 4, 0, 0}, 12), "dolce");
  EXPECT_EQ((*stored)[17], 0) << "the text's terminator";

  // A text of one letter: its spare bytes reach past the item, where the
  // record gets zeros, not what another item left.
  dropCurrentText(session);
  ASSERT_EQ(findInText(session, "e", 0, false, {ExpressionHeaderSize, 2}), 1);
  writeBackText(cursor, session.held);
  stored = doc.record({TagTextExpression, 4, 0, 0});
  ASSERT_EQ(stored->size(), 16u);
  EXPECT_EQ(std::vector<uint8_t>(stored->begin() + 12, stored->end()),
            (std::vector<uint8_t>{'e', 0, 0, 0}));
  // Emptied by a replacement, stored before or not: the whole header, and
  // spare bytes that start inside the item again.
  std::vector<uint8_t> emptied(cursor.item, cursor.item + ExpressionHeaderSize);
  emptied.insert(emptied.end(), {0, 0xAD, 0});
  for (bool storedBefore : {true, false}) {
    dropCurrentText(session);
    ASSERT_EQ(findInText(session, "e", 0, false, {ExpressionHeaderSize, 2}), 1);
    if (storedBefore) writeBackText(cursor, session.held);
    ASSERT_NE(replaceCurrentMatch(session), nullptr);
    writeBackText(cursor, session.held);
    EXPECT_EQ(*doc.record({TagTextExpression, 4, 0, 0}), emptied);
  }
  // Grown past its block by the second replacement: the spare bytes still
  // have their room.
  dropCurrentText(session);
  search("e", "eeeeeeeeee");
  ASSERT_EQ(findInText(session, "ee", 0, false, {ExpressionHeaderSize, 2}), 1);
  ASSERT_NE(replaceCurrentMatch(session), nullptr);
  ASSERT_EQ(continueInText(session, false), 1);
  ASSERT_NE(replaceCurrentMatch(session), nullptr);
  writeBackText(cursor, session.held);
  EXPECT_EQ(doc.recordText({TagTextExpression, 4, 0, 0}, 12),
            std::string(20, 'e'));
}

TEST(TextLocation, KeyWordsArePrintedAsTheKindShowsThem) {
  struct Case {
    uint8_t kind;
    uint16_t first, second;
    int16_t subIndex, fullName;
    const char* line;
  };
  const Case cases[] = {
      {PageTextBlock, 0, 0, 0, 0, "page text block #1 [All pages]"},
      {PageTextBlock, 65535, 4, 0, 0, "page text block #5 on page 65535"},
      {PageTextBlock, 2, 40000, 0, 0, "page text block #-25535 on page 2"},
      {MeasureTextBlock, 1, 3, 1, 0,
       "measure text block #2 in measure 3, staff 1"},
      {MeasureTextBlock, 40000, 50000, 0, 0,
       "measure text block #1 in measure 50000, staff 40000"},
      {TextExpression, 40000, 0, 0, 0, "text expression entry #40000"},
      {StaffName, 1, 0, 0, 0, "abbreviated staff name #1"},
      {StaffName, 1, 0, 0, 1, "full staff name #1"},
      {GroupName, 0, 2, 0, 1, "full group name #2 in the global staff set"},
      {GroupName, 65535, 40000, 0, 0,
       "abbreviated group name #40000 in staff system 65535"},
      {TextRepeat, 40000, 0, 0, 0, "text repeat entry #40000"},
      {EndingRepeat, 40000, 0, 0, 0, "ending repeat in measure #40000"},
      {VerseLyrics, 40000, 0, 0, 0, "verse lyrics #-25536"},
      {ChorusLyrics, 1, 0, 0, 0, "chorus lyrics #1"},
      {SectionLyrics, 1000, 0, 0, 0, "section lyrics #1000"},
  };
  for (const Case& c : cases) {
    TextCursor cursor{};
    cursor.kind = c.kind;
    writeU16(cursor.key, HostKeyLayout::First, c.first);
    writeU16(cursor.key, HostKeyLayout::Second, c.second);
    writeI16(cursor.key, HostKeyLayout::SubIndex, c.subIndex);
    cursor.fullName = c.fullName;
    char line[LineSize];
    memset(line, '#', sizeof line);
    formatLocation(cursor, line);
    EXPECT_STREQ(line, c.line);
  }
}

}  // namespace
