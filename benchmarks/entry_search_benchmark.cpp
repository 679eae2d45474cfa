// The note-entry engine over a region of a million entries in the simulated
// host, beside a plain loop that walks the same frames through the same
// host services and only reads every entry's two flag words.
//   entry_search_benchmark [benchmark flags]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "entrysearch/entry_engine.h"
#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_services.h"
#include "simhost/sim_host.h"

namespace {

constexpr int16_t Staves = 100;
constexpr int16_t Measures = 100;
constexpr int EntriesPerCell = 100;
constexpr double Entries = double(Staves) * Measures * EntriesPerCell;

SimDocument& score() {
  static SimDocument* document = [] {
    auto* d = new SimDocument(Staves, Measures);
    for (int16_t s = 1; s <= Staves; ++s) {
      for (int16_t m = 1; m <= Measures; ++m) {
        for (int i = 0; i < EntriesPerCell; ++i) {
          EntryShape entry;
          entry.position = i * 64;
          // Every other entry a note without chord or grace; every third
          // note starts a tie.
          entry.flags = (i % 2 == 0) ? 0x40000000u : 0x04000000u;
          entry.notes = {NoteShape{0, 0, (i % 3 == 0) ? 0x40000000u : 0u},
                         NoteShape{0, 0, 0}};
          d->addEntry(s, m, 0, entry);
        }
      }
    }
    for (int layer = 1; layer < 4; ++layer) d->setLayerInUse(layer, false);
    return d;
  }();
  return *document;
}

std::vector<uint8_t> wholeRegion() {
  std::vector<uint8_t> r(HostRegionLayout::Size, 0);
  writeI16(r.data(), HostRegionLayout::FirstStaff, 1);
  writeI16(r.data(), HostRegionLayout::FirstMeasure, 1);
  writeI16(r.data(), HostRegionLayout::LastStaff, Staves);
  writeI16(r.data(), HostRegionLayout::LastMeasure, Measures);
  writeI32(r.data(), HostRegionLayout::EndPosition, 1 << 30);
  return r;
}

void prepareHost() {
  simHost().document = &score();
  simHost().resetLog();
  simHost().calls.reserve(1 << 20);
}

// AND of three entry flags (a note, no chord, no grace) and a note-level
// criterion (tie start); the action sets the accidental flag, so every run
// sees the same score.
void BM_EntrySearch(benchmark::State& state) {
  prepareHost();
  EntryOptions search{}, replace{};
  resetEntryOptions(&search);
  resetEntryOptions(&replace);
  setOptionWord(search, EntryFlagTable[1].optionOffset, TriOn);   // Note/Rest
  setOptionWord(search, EntryFlagTable[4].optionOffset, TriOff);  // Chord
  setOptionWord(search, EntryFlagTable[7].optionOffset, TriOff);  // Grace
  setOptionWord(search, NoteFlagTable[1].optionOffset, TriOn);    // Tie Start
  setOptionWord(replace, EntryOptionsLayout::NoteLevel, 1);
  setOptionWord(replace, NoteFlagTable[7].optionOffset, TriOn);  // Accidental
  const std::vector<uint8_t> region = wholeRegion();
  for (auto _ : state) {
    simHost().calls.clear();
    benchmark::DoNotOptimize(runEntrySearch(&search, &replace, region.data()));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Entries));
}

// The same pass, frames and services; only the two flag words are read.
void BM_PlainFlagRead(benchmark::State& state) {
  prepareHost();
  const std::vector<uint8_t> region = wholeRegion();
  for (auto _ : state) {
    simHost().calls.clear();
    uint32_t sum = 0;
    const uint32_t pass =
        hostBeginRegionPass(region.data(), 0, InterfaceVersion);
    for (int32_t s = 1; s <= Staves; ++s) {
      for (int32_t m = 1; m <= Measures; ++m) {
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
          }
          hostReleaseFrame(frame, InterfaceVersion);
        }
      }
    }
    hostEndRegionPass(pass, 0, InterfaceVersion);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Entries));
}

BENCHMARK(BM_EntrySearch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainFlagRead)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per entry to print the ratio at the end.
class PerEntryReporter : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> nanosecondsPerEntry;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const double perIteration =
          run.GetAdjustedRealTime() * 1e9 /
          benchmark::GetTimeUnitMultiplier(run.time_unit);
      nanosecondsPerEntry[run.benchmark_name()] = perIteration / Entries;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  PerEntryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const double search = reporter.nanosecondsPerEntry["BM_EntrySearch"];
  const double plain = reporter.nanosecondsPerEntry["BM_PlainFlagRead"];
  printf("\n%.0f entries per run\n", Entries);
  printf("entry search: %.2f ns per entry\n", search);
  printf("plain read of both flag words: %.2f ns per entry\n", plain);
  if (plain > 0) printf("ratio: %.2f\n", search / plain);
  return 0;
}
