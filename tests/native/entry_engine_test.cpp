// The note-entry engine against the simulated document: region bounds,
// AND/OR at both levels, entry- and note-level replacement, counts, frames
// stored and released, the stop, and the exact sequence of host calls (by
// the host's service ordinals).
#include "entrysearch/entry_engine.h"

#include <gtest/gtest.h>

#include <vector>

#include "entrysearch/entry_matching.h"
#include "host/byte_access.h"
#include "host/host_records.h"
#include "resources/dialog_ids.h"
#include "simhost/sim_host.h"

namespace L = EntryOptionsLayout;

namespace {

// The host's flag bits, as the flag tables name them.
constexpr uint32_t Legality = 0x80000000u;
constexpr uint32_t NoteRest = 0x40000000u;
constexpr uint32_t Grace = 0x00800000u;
constexpr uint32_t Chord = 0x04000000u;
constexpr uint16_t Slur = 0x0020;             // in the second flag word
constexpr uint32_t TieStart = 0x40000000u;    // a note's
constexpr uint32_t Accidental = 0x01000000u;  // a note's

EntryOptions freshOptions() {
  EntryOptions options{};
  resetEntryOptions(&options);
  return options;
}

// Sets the option word of the flag row, entry or note, whose box this is.
void setFlagOption(EntryOptions& o, int16_t controlId, int16_t value) {
  for (const EntryFlagRow& row : EntryFlagTable)
    if (row.controlId == controlId) setOptionWord(o, row.optionOffset, value);
  for (const NoteFlagRow& row : NoteFlagTable)
    if (row.controlId == controlId) setOptionWord(o, row.optionOffset, value);
}

// A selection whose scope, negative, the engine must pass on to the host in
// 16 bits.
std::vector<uint8_t> region(int16_t firstStaff, int16_t firstMeasure,
                            int32_t start, int16_t lastStaff,
                            int16_t lastMeasure, int32_t end) {
  std::vector<uint8_t> r = selectionRegion(firstStaff, firstMeasure, start,
                                           lastStaff, lastMeasure, end);
  writeI16(r.data(), HostRegionLayout::RegionScope, -7);
  return r;
}

RawEntry rawEntry(const EntryShape& shape) {
  SimDocument scratch(1, 1);
  return scratch.addEntry(1, 1, 0, shape);
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    simHost().resetLog();
    simHost().document = &doc;
    simHost().stopAtCell = 0;
    simHost().openPass = 0;
  }
  void TearDown() override {
    EXPECT_TRUE(simHost().violations.empty()) << simHost().violations.front();
    EXPECT_TRUE(simHost().lentFrames.empty());
    EXPECT_EQ(simHost().framesLent, simHost().framesReleased);
    simHost().document = nullptr;
    simHost().strict = false;
    simHost().nullFrames = false;
    simHost().overrideEntryCount = false;
    simHost().nullEntries = false;
  }

  int32_t run(const std::vector<uint8_t>& r) {
    return runEntrySearch(&search, &replace, r.data());
  }

  SimDocument doc{3, 4};
  EntryOptions search = freshOptions();
  EntryOptions replace = freshOptions();
};

}  // namespace

TEST(EntryMatching, EntryCriteriaInAndAndOrModes) {
  EntryShape shape;
  shape.position = 512;
  shape.duration = 256;
  shape.flags = NoteRest | Grace;
  shape.flags2 = Slur;
  const RawEntry entry = rawEntry(shape);
  struct Case {
    const char* name;
    int16_t matchAll;
    int16_t noteRest, grace, chord, slur;  // option words of four rows
    int16_t duration;                      // 0: not a criterion
    bool expected;
  };
  const Case cases[] = {
      {"AND without criteria matches", 1, 0, 0, 0, 0, 0, true},
      {"OR without criteria matches nothing", 0, 0, 0, 0, 0, 0, false},
      {"AND all hold", 1, TriOn, TriOn, 0, TriOn, 256, true},
      {"AND one fails", 1, TriOn, 0, TriOn, 0, 0, false},
      {"AND Off holds on a clear flag", 1, 0, 0, TriOff, 0, 0, true},
      {"AND duration differs", 1, TriOn, 0, 0, 0, 255, false},
      {"OR one holds", 0, 0, 0, TriOn, TriOn, 0, true},
      {"OR none holds", 0, TriOff, 0, TriOn, 0, 0, false},
      {"16-bit word flag off", 1, 0, 0, 0, TriOff, 0, false},
      {"option word 3 never holds", 1, 3, 0, 0, 0, 0, false},
      {"option word 3 never holds in OR", 0, 3, 0, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    EntryOptions search = freshOptions();
    setOptionWord(search, L::MatchAll, c.matchAll);
    setFlagOption(search, IDC_ENTRY_NOTE_REST, c.noteRest);
    setFlagOption(search, IDC_ENTRY_GRACE, c.grace);
    setFlagOption(search, IDC_ENTRY_CHORD, c.chord);
    setFlagOption(search, IDC_ENTRY_SLUR, c.slur);
    if (c.duration != 0) {
      setOptionWord(search, L::DurationEnabled, 1);
      setOptionWord(search, L::Duration, c.duration);
    }
    EXPECT_EQ(matchEntry(entry.data(), search), c.expected) << c.name;
  }
}

TEST(EntryMatching, PositionAndDurationAreComparedSignExtended) {
  EntryShape shape;
  shape.position = shape.duration = -4;
  EntryOptions search = freshOptions();
  setOptionWord(search, L::PositionEnabled, 1);
  setOptionWord(search, L::Position, -4);
  setOptionWord(search, L::DurationEnabled, 1);
  setOptionWord(search, L::Duration, -4);
  EXPECT_TRUE(matchEntry(rawEntry(shape).data(), search));
  setOptionWord(search, L::Position, static_cast<int16_t>(0xFFFC));
  EXPECT_TRUE(matchEntry(rawEntry(shape).data(), search));
  for (int32_t* field : {&shape.position, &shape.duration}) {
    *field = 0xFFFC;  // the same low 16 bits: all 32 are compared
    EXPECT_FALSE(matchEntry(rawEntry(shape).data(), search));
    *field = -4;
  }
}

TEST(EntryMatching, ReplaceEntrySetsAndClearsOnlyReplaceableRows) {
  EntryShape shape;
  // Legality is a search-only row; bits 0x4 and 0x40 are left as they are.
  shape.flags = NoteRest | Legality | 0x4;
  shape.flags2 = Slur | 0x40;
  RawEntry entry = rawEntry(shape);
  const RawEntry before = entry;
  EntryOptions replace = freshOptions();
  setFlagOption(replace, IDC_ENTRY_NOTE_REST, TriOff);  // cleared
  setFlagOption(replace, IDC_ENTRY_CHORD, TriOn);       // set
  setFlagOption(replace, IDC_ENTRY_UP_DOWN, TriOff);    // clear, stays clear
  setFlagOption(replace, IDC_ENTRY_SLUR, TriOff);       // 16-bit word cleared
  setFlagOption(replace, IDC_ENTRY_LEGALITY, TriOff);  // search-only: no effect
  setFlagOption(replace, IDC_ENTRY_GRACE, 5);          // not an action
  replaceEntry(entry.data(), replace);
  EXPECT_EQ(entryFlags(entry), Legality | Chord | 0x4);
  EXPECT_EQ(entryFlags2(entry), 0x40);
  for (size_t i = 0; i < entry.size(); ++i) {
    if (i >= HostEntryLayout::Flags && i < HostEntryLayout::Flags2 + 2)
      continue;
    ASSERT_EQ(entry[i], before[i]) << "byte " << i << " changed";
  }
}

TEST(EntryMatching, NoteCriteriaAndActions) {
  EntryShape shape;
  shape.notes = {NoteShape{3, -1, TieStart}};
  RawEntry entry = rawEntry(shape);
  uint8_t* note = entry.data() + HostEntryLayout::Notes;
  EntryOptions search = freshOptions();
  setOptionWord(search, L::DisplacementEnabled, 1);
  setOptionWord(search, L::Displacement, 3);
  setFlagOption(search, IDC_NOTE_TIE_START, TriOn);
  EXPECT_TRUE(matchNote(note, search));
  writeI16(note, HostNoteLayout::Displacement, -3);
  setOptionWord(search, L::Displacement, -3);
  EXPECT_TRUE(matchNote(note, search)) << "a negative displacement";
  setOptionWord(search, L::RaiseLowerEnabled, 1);
  setOptionWord(search, L::RaiseLower, 0);
  EXPECT_FALSE(matchNote(note, search));
  setOptionWord(search, L::MatchAll, 0);
  EXPECT_TRUE(matchNote(note, search));

  EntryOptions replace = freshOptions();
  setOptionWord(replace, L::DisplacementEnabled, 1);
  setOptionWord(replace, L::Displacement, 100);  // its sign does not spill
  setFlagOption(replace, IDC_NOTE_TIE_START, TriOff);
  setFlagOption(replace, IDC_NOTE_ACCIDENTAL, TriOn);
  setFlagOption(replace, IDC_NOTE_LEGALITY, TriOn);  // Legality: search-only
  replaceNote(note, replace);
  EXPECT_EQ(noteDisplacement(entry, 0), 100);
  EXPECT_EQ(noteRaiseLower(entry, 0), -1) << "raise/lower not enabled";
  EXPECT_EQ(noteFlags(entry, 0), Accidental);
}

TEST_F(EngineTest, OneMeasureRegionKeepsStartBoundAndDropsEndBound) {
  for (int32_t position : {0, 255, 256, 511, 512, 700}) {
    EntryShape shape;
    shape.position = position;
    doc.addEntry(1, 2, 0, shape);
  }
  setFlagOption(replace, IDC_ENTRY_CHORD, TriOn);
  // The region as the host lays it out, byte for byte: scope -7, staff 1,
  // measure 2, from 256 to 512.
  const std::vector<uint8_t> bytes = {0xF9, 0xFF, 1, 0, 2, 0, 0, 1, 0, 0,
                                      0,    0,    1, 0, 2, 0, 0, 2, 0, 0};
  ASSERT_EQ(region(1, 2, 256, 1, 2, 512), bytes);
  EXPECT_EQ(run(bytes), 2);
  std::vector<bool> chord;
  for (const RawEntry& e : doc.layer(1, 2, 0)) {
    chord.push_back(entryFlags(e) & Chord);
  }
  EXPECT_EQ(chord, (std::vector<bool>{false, false, true, true, false, false}));
}

TEST_F(EngineTest, SeveralMeasuresBoundOnlyFirstAndLastInEveryStaff) {
  for (int16_t staff = 1; staff <= 2; ++staff) {
    for (int16_t measure = 1; measure <= 3; ++measure) {
      for (int32_t position : {0, 500, 1000}) {
        EntryShape shape;
        shape.position = position;
        doc.addEntry(staff, measure, 1, shape);
      }
    }
  }
  setFlagOption(replace, IDC_ENTRY_CHORD, TriOn);
  // Measure 1 from 1001 and measure 3 below 0 hold none, measure 2 whole
  // holds 3 a staff: only its frames change and are saved.
  EXPECT_EQ(run(region(1, 1, 1001, 2, 3, 0)), 6);
  EXPECT_EQ(simHost().framesSaved, 2);
}

TEST_F(EngineTest, EmptyRegionsStillBeginAndEndThePass) {
  for (const auto& r :
       {region(2, 1, 0, 1, 1, 100), region(1, 3, 0, 1, 2, 100)}) {
    simHost().resetLog();
    EXPECT_EQ(run(r), 0);
    EXPECT_EQ(simHost().ordinals(), (std::vector<int>{53, 54}));
  }
}

TEST_F(EngineTest, CallSequenceOfOneCell) {
  doc.setLayerInUse(1, false);
  doc.setLayerInUse(3, false);
  EntryShape shape;
  doc.addEntry(1, 2, 0, shape);
  setFlagOption(replace, IDC_ENTRY_CHORD, TriOn);
  const std::vector<uint8_t> r = region(1, 2, 0, 1, 2, 100);
  EXPECT_EQ(run(r), 1);
  // Layer 0 matched and is stored; layer 2 is empty and only released.
  EXPECT_EQ(simHost().ordinals(),
            (std::vector<int>{53, 55, 61, 2, 3, 4, 61, 61, 2, 4, 61, 54}));
  const ServiceCall& load = simHost().calls[3];
  EXPECT_EQ(load.args, (std::vector<uint32_t>{0xFFF9, 1, 2, 0, 0}));
  const std::vector<uint32_t>& enter = simHost().calls[1].args;
  EXPECT_EQ(std::vector<uint32_t>(enter.begin() + 1, enter.begin() + 4),
            (std::vector<uint32_t>{4, 1, 2}));  // 4: the host's constant
  EXPECT_EQ(low16(enter[4]), -1);
  EXPECT_EQ(simHost().calls.back().args[1], 0u) << "not stopped";
}

TEST_F(EngineTest, CountsApplicationsEvenWhenNothingChanges) {
  EntryShape shape;
  shape.flags = Chord;
  doc.addEntry(1, 1, 0, shape);
  setFlagOption(replace, IDC_ENTRY_CHORD, TriOn);
  EXPECT_EQ(run(region(1, 1, 0, 1, 1, 100)), 1);
  EXPECT_EQ(simHost().framesSaved, 1);
}

TEST_F(EngineTest, FrameWithoutMatchIsReleasedUnsaved) {
  EntryShape shape;
  doc.addEntry(1, 1, 0, shape);
  setFlagOption(replace, IDC_ENTRY_NOTE_REST, TriOn);
  // An entry flag, then a note's displacement, that nothing there has, in
  // AND and in OR mode.
  for (int mode = 0; mode < 4; ++mode) {
    const bool noteLevel = mode & 1;
    SCOPED_TRACE(mode);
    simHost().resetLog();
    search = freshOptions();
    setOptionWord(search, L::MatchAll, mode < 2);
    setOptionWord(replace, L::NoteLevel, noteLevel);
    if (noteLevel) {
      setOptionWord(search, L::DisplacementEnabled, 1);
      setOptionWord(search, L::Displacement, 77);
    } else {
      setFlagOption(search, IDC_ENTRY_CHORD, TriOn);
    }
    EXPECT_EQ(run(region(1, 1, 0, 1, 1, 100)), 0);
    EXPECT_EQ(simHost().framesSaved, 0);
    EXPECT_EQ(simHost().framesReleased, 4);
  }
}

TEST_F(EngineTest, NoteLevelReplacesEachMatchingNote) {
  EntryShape shape;
  shape.notes = {NoteShape{0, 0, TieStart}, NoteShape{0, 0, 0},
                 NoteShape{0, 0, TieStart}};
  doc.addEntry(1, 1, 0, shape);
  setFlagOption(search, IDC_NOTE_TIE_START, TriOn);
  setOptionWord(replace, L::NoteLevel, 1);
  setOptionWord(replace, L::RaiseLowerEnabled, 1);
  setOptionWord(replace, L::RaiseLower, 5);
  setFlagOption(replace, IDC_ENTRY_CHORD,
                TriOn);  // entry rows unused at note level
  EXPECT_EQ(run(region(1, 1, 0, 1, 1, 100)), 2);
  const RawEntry& e = doc.layer(1, 1, 0)[0];
  EXPECT_EQ(noteRaiseLower(e, 0), 5);
  EXPECT_EQ(noteRaiseLower(e, 1), 0);
  EXPECT_EQ(noteRaiseLower(e, 2), 5);
  EXPECT_EQ(entryFlags(e) & Chord, 0u);
}

TEST_F(EngineTest, OrModeDoesNotFilterNoteLevelWork) {
  EntryShape shape;
  shape.notes = {NoteShape{0, 0, TieStart}};
  doc.addEntry(1, 1, 0, shape);
  setOptionWord(search, L::MatchAll, 0);
  setFlagOption(search, IDC_ENTRY_CHORD, TriOn);  // the entry is no chord
  setFlagOption(search, IDC_NOTE_TIE_START, TriOn);
  setOptionWord(replace, L::NoteLevel, 1);
  setFlagOption(replace, IDC_NOTE_TIE_START, TriOff);
  EXPECT_EQ(run(region(1, 1, 0, 1, 1, 100)), 1);
  EXPECT_EQ(noteFlags(doc.layer(1, 1, 0)[0], 0), 0u);
}

TEST_F(EngineTest, StopInTheThirdCellKeepsEarlierFramesAndAnswersStopped) {
  for (int16_t measure = 1; measure <= 4; ++measure) {
    doc.addEntry(1, measure, 0, EntryShape{});
  }
  setFlagOption(replace, IDC_ENTRY_CHORD, TriOn);
  simHost().stopAtCell = 3;
  EXPECT_EQ(run(region(1, 1, 0, 2, 4, 100)), EntrySearchStopped);
  EXPECT_EQ(simHost().cellsEntered, 3) << "no cell of the next staff";
  EXPECT_EQ(simHost().framesSaved, 2);
  EXPECT_TRUE(entryFlags(doc.layer(1, 2, 0)[0]) & Chord);
  EXPECT_FALSE(entryFlags(doc.layer(1, 3, 0)[0]) & Chord);
  EXPECT_EQ(simHost().calls.back().ordinal, 54);
  EXPECT_EQ(simHost().calls.back().args[1], 1u);
}

TEST_F(EngineTest, StrictHostResultsAreReadInTheirLow16Bits) {
  simHost().strict = true;
  doc.setLayerInUse(2, false);
  doc.addEntry(1, 1, 0, EntryShape{});
  setFlagOption(replace, IDC_ENTRY_CHORD, TriOn);
  EXPECT_EQ(run(region(1, 1, 0, 1, 2, 100)), 1);
  EXPECT_EQ(simHost().framesLent, 6) << "layer 2 skipped in both cells";
  simHost().stopAtCell = 2;
  simHost().resetLog();
  EXPECT_EQ(run(region(1, 1, 0, 1, 2, 100)), EntrySearchStopped);
}

TEST_F(EngineTest, HostNoteAndEntryCountsOutsideTheirRange) {
  // A frame claiming more than 12 notes or a negative count of entries must
  // not make the engine read or write outside the frame's arrays.
  RawEntry& entry = doc.addEntry(1, 1, 0, EntryShape{});
  writeI16(entry.data(), HostEntryLayout::NoteCount, 40);
  RawEntry& negative = doc.addEntry(1, 1, 0, EntryShape{});
  writeI16(negative.data(), HostEntryLayout::NoteCount, -3);
  setOptionWord(replace, L::NoteLevel, 1);
  setOptionWord(replace, L::DisplacementEnabled, 1);
  setOptionWord(replace, L::Displacement, 9);
  EXPECT_EQ(run(region(1, 1, 0, 1, 1, 100000)), 12);
  EXPECT_EQ(noteDisplacement(doc.layer(1, 1, 0)[0], 11), 9);
}

TEST_F(EngineTest, FramesTheHostCannotLendOrCountAreSkipped) {
  doc.addEntry(1, 1, 0, EntryShape{});
  setFlagOption(replace, IDC_ENTRY_CHORD, TriOn);
  const struct {
    const char* name;
    bool nullFrames;
    bool nullEntries;
    bool overrideCount;
    int16_t count;
  } cases[] = {
      {"null frames", true, false, false, 0},
      {"no entries but a count", false, true, false, 0},
      {"a negative entry count", false, false, true, -1},
      {"the lowest entry count", false, false, true, INT16_MIN},
  };
  for (const auto& c : cases) {
    simHost().resetLog();
    simHost().nullFrames = c.nullFrames;
    simHost().nullEntries = c.nullEntries;
    simHost().overrideEntryCount = c.overrideCount;
    simHost().entryCountOverride = c.count;
    EXPECT_EQ(run(region(1, 1, 0, 1, 1, 100)), 0) << c.name;
    EXPECT_EQ(simHost().framesSaved, 0) << c.name;
    EXPECT_FALSE(entryFlags(doc.layer(1, 1, 0)[0]) & Chord) << c.name;
  }
}

TEST_F(EngineTest, CellsOutsideTheScoreAreSkipped) {
  doc.addEntry(3, 4, 0, EntryShape{});
  setFlagOption(replace, IDC_ENTRY_CHORD, TriOn);
  // Staves 2 to 5 and measures 3 to 6 of a 3 x 4 score: only (3, 4) exists
  // with an entry; the host lends no frame for the cells beyond.
  EXPECT_EQ(run(region(2, 3, 0, 5, 6, 100)), 1);
  EXPECT_EQ(simHost().cellsEntered, 16);
  EXPECT_EQ(simHost().framesLent, 4 * 4);
}
