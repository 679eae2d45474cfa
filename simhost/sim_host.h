// The simulated host's state: the open document, the log of every service
// call, contract violations, strict mode and the bookkeeping of lent frames
// and region passes. One instance, as the real host has one process.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "host/host_services.h"
#include "simhost/frame_lender.h"
#include "simhost/sim_document.h"

struct ServiceCall {
  int ordinal;
  std::vector<uint32_t> args;  // before InterfaceVersion
  // Of the keyed record services (9, 10, 14): the key's four words and, of
  // service 9, the size as the caller left it, all as they were on entry.
  std::array<int32_t, 4> key{};
  int32_t sizeIn = 0;
};

// The host lends frames (frame_lender.h) as well as keeping the document.
struct SimHost : FrameLender {
  SimDocument* document = nullptr;
  // Quiet: no call log, so that a benchmark's floor costs what a host call
  // costs and no more. Calls are only counted per ordinal; violations are
  // still recorded.
  bool quiet = false;
  // Strict mode: every 16-bit result carries garbage in its high 16 bits.
  bool strict = false;
  // Service 55 answers 0 on this call of a pass (counted from 1); 0: never.
  int stopAtCell = 0;
  // Faults a host may show: service 2 answering null for every frame, or
  // lending frames that claim this entry count (only counts below the real
  // one are honoured: the host never lends fewer entries than it claims).
  bool nullFrames = false;
  bool nullEntries = false;  // frames whose entry array is null, count kept
  bool overrideEntryCount = false;
  int16_t entryCountOverride = 0;
  // Faults of the keyed records: a size reported by service 9 off by this
  // much (0, negative, or more than the record holds), fetches into a
  // buffer that fail, writes the host refuses, and a read-next that answers
  // yes without moving on.
  int32_t sizeError = 0;
  bool failFetches = false;
  bool refuseWrites = false;
  bool readNextStaysPut = false;
  // A read-next that answers yes with a key one lower in the first word
  // and one higher in the second, where the first is above 0.
  bool readNextStepsBack = false;
  // A host that writes fewer bytes of a record into a buffer than the
  // record holds (and than it reported), by this much.
  int32_t shortWrites = 0;
  // A host that answers yes to a size request without writing the size.
  bool sizesUnwritten = false;
  // A host that writes a size back after filling a buffer too: the
  // record's size and this much more (LeavesSizeAlone: it does not).
  static constexpr int32_t LeavesSizeAlone = INT32_MIN;
  int32_t sizeAfterFetch = LeavesSizeAlone;
  // A host whose service 59 counts its limit in characters, not bytes, as
  // its interface allows: under UTF-8 it writes up to three bytes a unit.
  bool textLimitInCharacters = false;
  // Work the host does inside service 10 before it stores a record, as a
  // host that redraws or pumps its messages there would (none: nothing).
  std::function<void()> duringWrite;

  std::vector<ServiceCall> calls;
  std::vector<std::string> violations;

  int framesLent = 0;
  int framesReleased = 0;
  int framesSaved = 0;
  int cellsEntered = 0;
  uint32_t openPass = 0;  // handle of the pass begun and not yet ended
  uint32_t nextPassHandle = 0x5A000001u;

  // Calls per ordinal, in both modes (ordinals 0 to 63).
  std::array<uint64_t, 64> callCounts{};

  // Benchmark mode: quiet, and every frame lent from one reused buffer, so
  // that no host call allocates.
  void useBenchmarkMode() {
    quiet = true;
    framePolicy = FramePolicy::ReusedBuffer;
  }
  // Clears the log and counters; keeps the document and the mode.
  void resetLog();
  // Records a call (only counts it when quiet), and a violation when
  // `version` is not InterfaceVersion.
  void log(int ordinal, std::initializer_list<uint32_t> args,
           uint32_t version) {
    ++callCounts[static_cast<size_t>(ordinal) & 63];
    if (!quiet) calls.push_back(ServiceCall{ordinal, args});
    if (version != InterfaceVersion) wrongVersion(ordinal);
  }
  void wrongVersion(int ordinal);
  void violation(const std::string& what);
  // A 16-bit result as the host returns it (garbage above it when strict).
  uint32_t result16(uint32_t value) const;
  // The ordinals called, in order, for comparing with an expected sequence.
  std::vector<int> ordinals() const;
};

SimHost& simHost();
