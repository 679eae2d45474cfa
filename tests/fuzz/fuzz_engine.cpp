// The note-entry engine over arbitrary regions, frames (entry and note
// counts anywhere in their range, any flag bytes) and option records, with
// a host that may refuse frames, understate counts or stop the pass.
#include <cstring>

#include "entrysearch/entry_engine.h"
#include "host/byte_access.h"
#include "host/host_records.h"
#include "simhost/sim_host.h"
#include "tests/fuzz/fuzz_input.h"

namespace R = HostRegionLayout;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  SimHost& host = simHost();
  const uint8_t faults = in.byte();
  host.nullFrames = (faults & 0x1F) == 1;
  host.overrideEntryCount = (faults & 2) != 0;
  host.entryCountOverride = static_cast<int16_t>(in.word());
  host.stopAtCell = (faults & 4) != 0 ? in.byte() % 12 : 0;
  host.strict = (faults & 8) != 0;

  // Staff and measure numbers stay near the score so that a run is quick;
  // positions and the scope take any value.
  std::vector<uint8_t> region(R::Size, 0);
  writeI16(region.data(), R::RegionScope, static_cast<int16_t>(in.word()));
  writeI16(region.data(), R::FirstStaff,
           static_cast<int16_t>(in.byte() % 7) - 2);
  writeI16(region.data(), R::FirstMeasure,
           static_cast<int16_t>(in.byte() % 7) - 2);
  writeI32(region.data(), R::StartPosition,
           static_cast<int32_t>(in.word() << 16 | in.word()));
  writeI16(region.data(), R::LastStaff,
           static_cast<int16_t>(in.byte() % 7) - 2);
  writeI16(region.data(), R::LastMeasure,
           static_cast<int16_t>(in.byte() % 7) - 2);
  writeI32(region.data(), R::EndPosition,
           static_cast<int32_t>(in.word() << 16 | in.word()));

  EntryOptions search, replace;
  for (uint8_t& b : search.bytes) b = in.byte() % 4 == 0 ? in.byte() : 0;
  for (uint8_t& b : replace.bytes) b = in.byte() % 4 == 0 ? in.byte() : 0;

  SimDocument document(3, 3);
  for (int layer = 0; layer < 4; ++layer)
    document.setLayerInUse(layer, in.bit());
  const int entries = in.byte() % 24;
  for (int i = 0; i < entries; ++i) {
    RawEntry& entry = document.addEntry(static_cast<int16_t>(1 + in.byte() % 3),
                                        static_cast<int16_t>(1 + in.byte() % 3),
                                        in.byte() % 4, EntryShape{});
    for (uint8_t b : in.bytes(HostEntryLayout::Stride)) {
      entry[in.byte() % HostEntryLayout::Stride] = b;
    }
  }
  host.document = &document;
  host.resetLog();

  const int32_t count = runEntrySearch(&search, &replace, region.data());
  FUZZ_CHECK(count >= EntrySearchStopped);
  FUZZ_CHECK(host.lentFrames.empty());
  FUZZ_CHECK(host.framesLent == host.framesReleased);
  FUZZ_CHECK(host.openPass == 0);
  FUZZ_CHECK(host.violations.empty());
  host = SimHost();
  return 0;
}
