#include "entrysearch/entry_engine.h"

#include <algorithm>

#include "entrysearch/entry_criteria.h"
#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_services.h"

namespace R = HostRegionLayout;

namespace {

struct Region {
  int16_t scope;
  int16_t firstStaff;
  int16_t firstMeasure;
  int32_t startPosition;
  int16_t lastStaff;
  int16_t lastMeasure;
  int32_t endPosition;
};

Region readRegion(const uint8_t* region) {
  return Region{
      readI16(region, R::RegionScope),  readI16(region, R::FirstStaff),
      readI16(region, R::FirstMeasure), readI32(region, R::StartPosition),
      readI16(region, R::LastStaff),    readI16(region, R::LastMeasure),
      readI32(region, R::EndPosition)};
}

// A 16-bit number as a host argument: only its low 16 bits are set.
uint32_t arg16(int32_t value) { return static_cast<uint16_t>(value); }

struct Walk {
  CompiledCriteria criteria;
  Region region;
  int32_t count = 0;
};

// Tests one entry in the region and applies the replace record; answers
// whether anything was applied.
bool processEntry(Walk& walk, uint8_t* entry, int32_t measure) {
  const int32_t position = readI32(entry, HostEntryLayout::Position);
  if (measure == walk.region.firstMeasure &&
      position < walk.region.startPosition) {
    return false;
  }
  if (measure == walk.region.lastMeasure &&
      position >= walk.region.endPosition) {
    return false;
  }
  const CompiledCriteria& criteria = walk.criteria;
  const bool matched = entryMatches(criteria, entry);
  if (!matched && criteria.entryTest.matchAll) return false;

  if (!criteria.noteLevel) {
    if (!matched) return false;
    applyEntryAction(criteria.entryAction, entry);
    ++walk.count;
    return true;
  }
  // The note count comes from the host: never step outside the 12 notes
  // the entry has room for.
  const int16_t noteCount =
      std::clamp<int16_t>(readI16(entry, HostEntryLayout::NoteCount), 0,
                          static_cast<int16_t>(HostEntryLayout::MaxNotes));
  bool applied = false;
  for (int16_t i = 0; i < noteCount; ++i) {
    uint8_t* note = entry + HostEntryLayout::Notes + i * HostNoteLayout::Size;
    if (!noteMatches(criteria, note)) continue;
    applyNoteAction(criteria.noteAction, note);
    ++walk.count;
    applied = true;
  }
  return applied;
}

// Loads one layer's frame, processes its entries, stores the frame if
// anything was applied and hands it back.
void processLayer(Walk& walk, int32_t staff, int32_t measure, uint32_t layer) {
  if (low16(hostLayerInUse(layer, InterfaceVersion)) == 0) return;
  uint8_t* frame = static_cast<uint8_t*>(
      hostLoadFrame(arg16(walk.region.scope), arg16(staff), arg16(measure),
                    layer, 0, InterfaceVersion));
  if (frame == nullptr) return;
  uint8_t* entries = reinterpret_cast<uint8_t*>(
      static_cast<uintptr_t>(readU32(frame, HostFrameLayout::Entries)));
  int16_t entryCount = readI16(frame, HostFrameLayout::EntryCount);
  if (entries == nullptr || entryCount < 0) entryCount = 0;
  bool changed = false;
  for (int16_t i = 0; i < entryCount; ++i) {
    changed |=
        processEntry(walk, entries + i * HostEntryLayout::Stride, measure);
  }
  if (changed) hostSaveFrame(frame, InterfaceVersion);
  hostReleaseFrame(frame, InterfaceVersion);
}

}  // namespace

int32_t runEntrySearch(const EntryOptions* search, const EntryOptions* replace,
                       const uint8_t* region) {
  // The records are compiled once; every entry is then tested and changed
  // with a few word operations.
  Walk walk{compileCriteria(*search, *replace), readRegion(region)};
  const uint32_t handle = hostBeginRegionPass(region, 0, InterfaceVersion);
  bool stopped = false;
  // Counted in 32 bits so that a last staff or measure of 32767 ends the loop.
  for (int32_t staff = walk.region.firstStaff;
       !stopped && staff <= walk.region.lastStaff; ++staff) {
    for (int32_t measure = walk.region.firstMeasure;
         measure <= walk.region.lastMeasure; ++measure) {
      if (low16(hostEnterCell(handle, 4, arg16(staff), arg16(measure), -1,
                              InterfaceVersion)) == 0) {
        stopped = true;
        break;
      }
      for (uint32_t layer = 0; layer < 4; ++layer) {
        processLayer(walk, staff, measure, layer);
      }
    }
  }
  hostEndRegionPass(handle, stopped ? 1 : 0, InterfaceVersion);
  return stopped ? EntrySearchStopped : walk.count;
}
