// The frames that host data service 2 lends and services 3 and 4 take back,
// under one of two policies: a fresh frame per loan, in allocations of
// exactly its size so that the sanitizers catch a read past its last entry
// (the tests), or one frame whose buffers are reused from loan to loan, so
// that a loan allocates nothing once they have grown (the benchmarks).
// Either way at most one frame is out at a time in a well-behaved run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

// A frame's header is the host's own; the plug-in reads the part that
// HostFrameLayout describes.
constexpr size_t FrameHeaderSize = 32;

// What a lent frame holds: whose entries, and where the copies lie.
struct LentFrame {
  int16_t staff;
  int16_t measure;
  int16_t layer;
  uint8_t* entries;
  size_t entryCount;
};

enum class FramePolicy : uint8_t { FreshFramePerLoan, ReusedBuffer };

struct FrameLender {
  FramePolicy framePolicy = FramePolicy::FreshFramePerLoan;
  // The fresh frames out, by header address.
  std::map<const uint8_t*, LentFrame> lentFrames;
  // The reused frame and its entries, and its loan while it is out.
  std::array<uint8_t, FrameHeaderSize> reusedFrame{};
  std::vector<uint8_t> reusedEntries;
  LentFrame reusedLoan{};
  bool reusedFrameLent = false;

  // Lends a frame header with room for `place.entryCount` entries after it
  // (at least one); answers the header. The loan's `entries` tells where
  // the entries go.
  uint8_t* lendFrame(LentFrame place);
  // The loan of a frame that is out, or null.
  LentFrame* loanOf(const void* frame);
  // Takes a frame back; false when it is not out.
  bool takeBack(const void* frame);
  bool anyFrameLent() const;
};
