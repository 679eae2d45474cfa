// The note-entry engine on the benchmark host (no call log, no allocation
// per call), beside a floor: a loop that makes exactly the engine's host
// calls, stores included, and only reads each entry's two flag words and
// each note's flag word. The score is the largest users have, 100 staves x
// 2,000 measures, four layers of 8 entries (6.4 million entries), made
// frame by frame on demand; regions of it from 10 thousand entries up give
// the time per entry against the size.
//   entry_search_benchmark [--plot-data FILE]
//   entry_search_benchmark --counts engine|floor  (scripts/bench-counts.sh)
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "benchmarks/bench_support.h"
#include "entrysearch/entry_engine.h"
#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_services.h"
#include "simhost/sim_host.h"

namespace {

constexpr int16_t ScoreStaves = 100;
constexpr int16_t ScoreMeasures = 2000;
constexpr int Layers = 4;
constexpr int EntriesPerLayer = 8;
constexpr uint32_t NoteFlag = 0x40000000u, ChordFlag = 0x04000000u,
                   GraceFlag = 0x00800000u, TieStart = 0x40000000u;

// Four layer contents, taken in turn: notes and rests, chords and grace
// notes, one to three notes an entry, ties on some. Every layer holds a
// match, so the engine stores every frame.
std::array<std::vector<RawEntry>, 4> layerShapes;

void buildLayerShapes() {
  SimDocument scratch(1, 1);
  for (int shape = 0; shape < 4; ++shape) {
    for (int i = 0; i < EntriesPerLayer; ++i) {
      EntryShape entry;
      entry.position = i * 128;
      entry.duration = 128;
      entry.flags = (i + shape) % 3 == 2 ? 0 : NoteFlag;
      if ((i + shape) % 5 == 1) entry.flags |= ChordFlag;
      if (shape == 3 && i == 6) entry.flags |= GraceFlag;
      const int notes = entry.flags == 0 ? 0 : 1 + (i + shape) % 3;
      for (int n = 0; n < notes; ++n) {
        entry.notes.push_back(
            NoteShape{0, 0, (i + n) % 2 == 0 ? TieStart : 0u});
      }
      layerShapes[shape].push_back(scratch.addEntry(1, 1, shape, entry));
    }
  }
}

void makeLayer(int16_t staff, int16_t measure, int layer,
               std::vector<RawEntry>& entries) {
  const std::vector<RawEntry>& shape =
      layerShapes[(staff + measure + layer) & 3];
  entries.insert(entries.end(), shape.begin(), shape.end());
}

SimDocument& score() {
  static SimDocument document(ScoreStaves, ScoreMeasures);
  return document;
}

struct Run {
  int16_t staves;
  int16_t measures;
  std::vector<uint8_t> region;
  double entries() const {
    return double(staves) * measures * Layers * EntriesPerLayer;
  }
};

Run regionOf(int16_t staves, int16_t measures) {
  Run run{staves, measures, std::vector<uint8_t>(HostRegionLayout::Size, 0)};
  uint8_t* r = run.region.data();
  writeI16(r, HostRegionLayout::FirstStaff, 1);
  writeI16(r, HostRegionLayout::FirstMeasure, 1);
  writeI16(r, HostRegionLayout::LastStaff, staves);
  writeI16(r, HostRegionLayout::LastMeasure, measures);
  writeI32(r, HostRegionLayout::EndPosition, 1 << 30);
  return run;
}

// AND of three entry flags (a note, no chord, no grace) and a note-level
// criterion (tie start); the action sets the accidental flag.
EntryOptions searchRecord, replaceRecord;

void setUpCriteria() {
  resetEntryOptions(&searchRecord);
  resetEntryOptions(&replaceRecord);
  setOptionWord(searchRecord, EntryFlagTable[1].optionOffset, TriOn);
  setOptionWord(searchRecord, EntryFlagTable[4].optionOffset, TriOff);
  setOptionWord(searchRecord, EntryFlagTable[7].optionOffset, TriOff);
  setOptionWord(searchRecord, NoteFlagTable[1].optionOffset, TriOn);
  setOptionWord(replaceRecord, EntryOptionsLayout::NoteLevel, 1);
  setOptionWord(replaceRecord, NoteFlagTable[7].optionOffset, TriOn);
}

const Run* current = nullptr;
volatile uint32_t sink;

void enginePass() {
  sink = static_cast<uint32_t>(
      runEntrySearch(&searchRecord, &replaceRecord, current->region.data()));
}

// The engine's host calls, in its order; every frame of this score is one
// the engine changes, so every frame is stored.
void floorPass() {
  uint32_t sum = 0;
  const uint32_t pass =
      hostBeginRegionPass(current->region.data(), 0, InterfaceVersion);
  for (int32_t s = 1; s <= current->staves; ++s) {
    for (int32_t m = 1; m <= current->measures; ++m) {
      hostEnterCell(pass, 4, s, m, -1, InterfaceVersion);
      for (uint32_t layer = 0; layer < 4; ++layer) {
        if (low16(hostLayerInUse(layer, InterfaceVersion)) == 0) continue;
        uint8_t* frame = static_cast<uint8_t*>(
            hostLoadFrame(0, s, m, layer, 0, InterfaceVersion));
        if (frame == nullptr) continue;
        const uint8_t* entries = reinterpret_cast<const uint8_t*>(
            static_cast<uintptr_t>(readU32(frame, HostFrameLayout::Entries)));
        const int16_t count = readI16(frame, HostFrameLayout::EntryCount);
        for (int16_t i = 0; i < count; ++i) {
          const uint8_t* entry = entries + i * HostEntryLayout::Stride;
          sum += readU32(entry, HostEntryLayout::Flags) +
                 readU16(entry, HostEntryLayout::Flags2);
          const int16_t notes = readI16(entry, HostEntryLayout::NoteCount);
          for (int16_t n = 0; n < notes; ++n) {
            sum += readU32(entry, HostEntryLayout::Notes +
                                      n * HostNoteLayout::Size +
                                      HostNoteLayout::Flags);
          }
        }
        hostSaveFrame(frame, InterfaceVersion);
        hostReleaseFrame(frame, InterfaceVersion);
      }
    }
  }
  hostEndRegionPass(pass, 0, InterfaceVersion);
  sink = sum;
}

// The host calls of one pass, per ordinal.
std::array<uint64_t, 64> callsOf(void (*pass)()) {
  simHost().resetLog();
  pass();
  return simHost().callCounts;
}

void setUpHost() {
  buildLayerShapes();
  score().makeLayersOnDemand(makeLayer);
  setUpCriteria();
  simHost().document = &score();
  simHost().useBenchmarkMode();
}

int countOnly(const char* which) {
  static const Run run = regionOf(ScoreStaves, 100);
  current = &run;
  void (*pass)() = strcmp(which, "floor") == 0 ? floorPass : enginePass;
  pass();  // warm: the lent frame's buffer grows once
  countedPass(pass);
  printf("entries %.0f\n", run.entries());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setUpHost();
  if (argc == 3 && strcmp(argv[1], "--counts") == 0) return countOnly(argv[2]);
  FILE* plot = nullptr;
  if (argc == 3 && strcmp(argv[1], "--plot-data") == 0) {
    plot = fopen(argv[2], "w");
    if (plot != nullptr) fprintf(plot, "# entries engine_ns floor_ns\n");
  }
  const std::pair<int16_t, int16_t> sizes[] = {{5, 64},
                                               {10, 100},
                                               {20, 160},
                                               {50, 200},
                                               {100, 320},
                                               {100, 1000},
                                               {ScoreStaves, ScoreMeasures}};
  printf(
      "Note-entry engine, AND of three entry flags and tie start, notes "
      "changed; floor: the same host calls, flag words read.\n");
  printf("%10s %12s %12s %7s %10s\n", "entries", "engine ns", "floor ns",
         "ratio", "peak MB");
  double engineSeconds = 0, floorSeconds = 0, entries = 0;
  for (const auto& size : sizes) {
    const Run run = regionOf(size.first, size.second);
    current = &run;
    if (callsOf(enginePass) != callsOf(floorPass)) {
      fprintf(stderr, "the floor does not make the engine's host calls\n");
      return 1;
    }
    entries = run.entries();
    const int repetitions = entries > 2e6 ? 7 : entries > 2e5 ? 11 : 31;
    engineSeconds = floorSeconds = 1e30;
    for (int i = 0; i < repetitions; ++i) {
      engineSeconds = std::min(engineSeconds, fastestSeconds(1, enginePass));
      floorSeconds = std::min(floorSeconds, fastestSeconds(1, floorPass));
    }
    const double engineNs = engineSeconds * 1e9 / entries;
    const double floorNs = floorSeconds * 1e9 / entries;
    printf("%10.0f %12.2f %12.2f %7.2f %10.1f\n", entries, engineNs, floorNs,
           engineNs / floorNs, peakMemoryKilobytes() / 1024.0);
    if (plot != nullptr)
      fprintf(plot, "%.0f %.3f %.3f\n", entries, engineNs, floorNs);
  }
  if (plot != nullptr) fclose(plot);
  printf(
      "scale run: %.0f entries in %.3f s (floor %.3f s), peak memory "
      "%.1f MB\n",
      entries, engineSeconds, floorSeconds, peakMemoryKilobytes() / 1024.0);
  printf("note-entry engine ratio: %.2f\n", engineSeconds / floorSeconds);
  return 0;
}
