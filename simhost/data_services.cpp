// The host's data services over the simulated document, honouring what the
// plug-in relies on: size then fetch, read-next moving the key, the region
// pass with its handle and stop, and frames lent and handed back one at a time.
#include <algorithm>
#include <cstring>

#include "host/byte_access.h"
#include "host/host_records.h"
#include "host/host_services.h"
#include "simhost/sim_host.h"

namespace {

uint32_t word(const void* pointer) {
  return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(pointer));
}

RecordKey keyOf(uint32_t tag, const void* key) {
  const uint8_t* k = static_cast<const uint8_t*>(key);
  return RecordKey{tag, readU16(k, HostKeyLayout::First),
                   readU16(k, HostKeyLayout::Second),
                   readI16(k, HostKeyLayout::SubIndex)};
}

// Notes on the call just logged what its key and size held on entry.
void noteKeyAndSize(SimHost& host, const void* key, const int32_t* size) {
  if (host.quiet || host.calls.empty() || key == nullptr) return;
  const uint8_t* k = static_cast<const uint8_t*>(key);
  host.calls.back().key = {
      readU16(k, HostKeyLayout::First), readU16(k, HostKeyLayout::Second),
      readI16(k, HostKeyLayout::SubIndex), readU16(k, HostKeyLayout::Fourth)};
  if (size != nullptr) host.calls.back().sizeIn = *size;
}

void writeKey(void* key, const RecordKey& value) {
  uint8_t* k = static_cast<uint8_t*>(key);
  writeU16(k, HostKeyLayout::First, value.first);
  writeU16(k, HostKeyLayout::Second, value.second);
  writeI16(k, HostKeyLayout::SubIndex, value.subIndex);
  writeU16(k, HostKeyLayout::Fourth, 0);
}

// Fills a frame header that lends `count` entries at `entries`.
void writeFrameHeader(uint8_t* frame, const uint8_t* entries,
                      size_t realCount) {
  SimHost& host = simHost();
  memset(frame, 0xCD, FrameHeaderSize);
  writeU32(frame, HostFrameLayout::Entries,
           host.nullEntries ? 0 : word(entries));
  int16_t claimed = static_cast<int16_t>(realCount);
  if (host.overrideEntryCount && host.entryCountOverride < claimed) {
    claimed = host.entryCountOverride;
  }
  writeI16(frame, HostFrameLayout::EntryCount, claimed);
}

static_assert(sizeof(RawEntry) == HostEntryLayout::Stride,
              "a layer's entries lie end to end, as in a frame");

void copyEntries(uint8_t* target, const std::vector<RawEntry>& source) {
  if (!source.empty())
    memcpy(target, source.data(), source.size() * sizeof(RawEntry));
}

// Service 3: the lent entries go back into the document's layer (a layer
// made on demand keeps nothing).
void storeEntries(SimHost& host, const LentFrame& lent) {
  ++host.framesSaved;
  if (host.document->layersMadeOnDemand()) return;
  std::vector<RawEntry>& target =
      host.document->layer(lent.staff, lent.measure, lent.layer);
  const size_t count = std::min(lent.entryCount, target.size());
  if (count > 0) memcpy(target.data(), lent.entries, count * sizeof(RawEntry));
}

}  // namespace

extern "C" {

uint32_t HOST_CALL hostReadRecord(uint32_t tag, void* key, void* buffer,
                                  int32_t* size, uint32_t version) {
  SimHost& host = simHost();
  host.log(9, {tag, word(key), word(buffer), word(size)}, version);
  noteKeyAndSize(host, key, size);
  if (key == nullptr || size == nullptr) {
    host.violation("service 9 without a key or a size");
    return host.result16(0);
  }
  const std::vector<uint8_t>* bytes =
      host.document ? host.document->record(keyOf(tag, key)) : nullptr;
  if (bytes == nullptr) return host.result16(0);
  if (buffer == nullptr) {
    if (!host.sizesUnwritten) {
      *size = static_cast<int32_t>(bytes->size()) + host.sizeError;
    }
    return host.result16(1);
  }
  if (host.failFetches) return host.result16(0);
  if (*size < 0) {
    host.violation("service 9 with a negative capacity");
    return host.result16(0);
  }
  // The buffer receives no more than its capacity.
  const size_t whole = std::min(bytes->size(), static_cast<size_t>(*size));
  const size_t shortBy = static_cast<size_t>(std::max(host.shortWrites, 0));
  const size_t count = whole > shortBy ? whole - shortBy : 0;
  if (count > 0) memcpy(buffer, bytes->data(), count);
  if (host.sizeAfterFetch != SimHost::LeavesSizeAlone) {
    *size = static_cast<int32_t>(bytes->size()) + host.sizeAfterFetch;
  }
  return host.result16(1);
}

uint32_t HOST_CALL hostReadNextRecord(uint32_t tag, void* key, void* buffer,
                                      uint32_t size, uint32_t version) {
  SimHost& host = simHost();
  host.log(14, {tag, word(key), word(buffer), size}, version);
  noteKeyAndSize(host, key, nullptr);
  if (key == nullptr || buffer == nullptr) {
    host.violation("service 14 without a key or a buffer");
    return host.result16(0);
  }
  const RecordKey asked = keyOf(tag, key);
  if (host.readNextStepsBack && asked.first > 0) {
    writeKey(key, RecordKey{tag, static_cast<uint16_t>(asked.first - 1),
                            static_cast<uint16_t>(asked.second + 1),
                            asked.subIndex});
    return host.result16(1);
  }
  const auto* next =
      host.document ? host.document->recordAfter(asked) : nullptr;
  if (next == nullptr) return host.result16(0);
  if (host.readNextStaysPut) return host.result16(1);
  const size_t count = std::min<size_t>(next->second.size(), size);
  if (count > 0) memcpy(buffer, next->second.data(), count);
  writeKey(key, next->first);
  return host.result16(1);
}

uint32_t HOST_CALL hostWriteRecord(uint32_t tag, void* key, const void* buffer,
                                   uint32_t size, uint32_t version) {
  SimHost& host = simHost();
  host.log(10, {tag, word(key), word(buffer), size}, version);
  noteKeyAndSize(host, key, nullptr);
  if (key == nullptr || buffer == nullptr || size == 0) {
    host.violation("service 10 without a key, data or size");
    return host.result16(0);
  }
  if (host.duringWrite) host.duringWrite();
  if (host.document == nullptr || host.refuseWrites) return host.result16(0);
  host.document->storeRecord(keyOf(tag, key),
                             static_cast<const uint8_t*>(buffer), size);
  return host.result16(1);
}

uint32_t HOST_CALL hostBeginRegionPass(const void* region, uint32_t zero,
                                       uint32_t version) {
  SimHost& host = simHost();
  host.log(53, {word(region), zero}, version);
  if (host.openPass != 0) host.violation("service 53 while a pass is open");
  if (zero != 0) host.violation("service 53 with an unexpected constant");
  host.openPass = host.nextPassHandle++;
  host.cellsEntered = 0;  // the stop is counted within one pass
  return host.openPass;
}

uint32_t HOST_CALL hostEnterCell(uint32_t handle, uint32_t four, uint32_t staff,
                                 uint32_t measure, int32_t minusOne,
                                 uint32_t version) {
  SimHost& host = simHost();
  host.log(55, {handle, four, staff, measure, static_cast<uint32_t>(minusOne)},
           version);
  if (host.openPass == 0 || handle != host.openPass) {
    host.violation("service 55 outside its pass");
  }
  if (low16(four) != 4 || low16(static_cast<uint32_t>(minusOne)) != -1) {
    host.violation("service 55 with unexpected constants");
  }
  ++host.cellsEntered;
  return host.result16(host.cellsEntered == host.stopAtCell ? 0 : 1);
}

uint32_t HOST_CALL hostLayerInUse(uint32_t layer, uint32_t version) {
  SimHost& host = simHost();
  host.log(61, {layer}, version);
  const int16_t index = low16(layer);
  if (index < 0 || index > 3) {
    host.violation("service 61 with a layer outside 0..3");
    return host.result16(0);
  }
  return host.result16(host.document && host.document->layerInUse(index));
}

void* HOST_CALL hostLoadFrame(uint32_t regionScope, uint32_t staff,
                              uint32_t measure, uint32_t layer, uint32_t zero,
                              uint32_t version) {
  SimHost& host = simHost();
  host.log(2, {regionScope, staff, measure, layer, zero}, version);
  if (host.anyFrameLent()) {
    host.violation("service 2 while another frame is still lent");
  }
  const int16_t s = low16(staff), m = low16(measure), l = low16(layer);
  if (host.nullFrames || host.document == nullptr ||
      !host.document->hasCell(s, m) || l < 0 || l > 3) {
    return nullptr;
  }
  const std::vector<RawEntry>& source = host.document->layer(s, m, l);
  uint8_t* frame = host.lendFrame(LentFrame{s, m, l, nullptr, source.size()});
  const LentFrame& lent = *host.loanOf(frame);
  copyEntries(lent.entries, source);
  writeFrameHeader(frame, lent.entries, source.size());
  ++host.framesLent;
  return frame;
}

uint32_t HOST_CALL hostSaveFrame(void* frame, uint32_t version) {
  SimHost& host = simHost();
  host.log(3, {word(frame)}, version);
  const LentFrame* lent = host.loanOf(frame);
  if (lent == nullptr) {
    host.violation("service 3 with a frame that is not lent");
    return host.result16(0);
  }
  if (host.document == nullptr) return host.result16(0);
  storeEntries(host, *lent);
  return host.result16(1);
}

uint32_t HOST_CALL hostReleaseFrame(void* frame, uint32_t version) {
  SimHost& host = simHost();
  host.log(4, {word(frame)}, version);
  if (!host.takeBack(frame)) {
    host.violation("service 4 with a frame that is not lent");
    return host.result16(0);
  }
  ++host.framesReleased;
  return host.result16(1);
}

uint32_t HOST_CALL hostEndRegionPass(uint32_t handle, uint32_t stopped,
                                     uint32_t version) {
  SimHost& host = simHost();
  host.log(54, {handle, stopped}, version);
  if (host.openPass == 0 || handle != host.openPass) {
    host.violation("service 54 outside its pass");
  }
  host.openPass = 0;
  return host.result16(1);
}

}  // extern "C"
