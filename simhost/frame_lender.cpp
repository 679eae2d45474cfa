#include "simhost/frame_lender.h"

#include <algorithm>

#include "host/host_records.h"

uint8_t* FrameLender::lendFrame(LentFrame place) {
  const size_t bytes =
      std::max<size_t>(1, place.entryCount) * HostEntryLayout::Stride;
  if (framePolicy == FramePolicy::ReusedBuffer) {
    if (reusedEntries.size() < bytes) reusedEntries.resize(bytes);
    place.entries = reusedEntries.data();
    reusedLoan = place;
    reusedFrameLent = true;
    return reusedFrame.data();
  }
  place.entries = new uint8_t[bytes];
  uint8_t* frame = new uint8_t[FrameHeaderSize];
  lentFrames[frame] = place;
  return frame;
}

LentFrame* FrameLender::loanOf(const void* frame) {
  if (framePolicy == FramePolicy::ReusedBuffer) {
    return reusedFrameLent && frame == reusedFrame.data() ? &reusedLoan
                                                          : nullptr;
  }
  auto it = lentFrames.find(static_cast<const uint8_t*>(frame));
  return it != lentFrames.end() ? &it->second : nullptr;
}

bool FrameLender::takeBack(const void* frame) {
  if (framePolicy == FramePolicy::ReusedBuffer) {
    if (loanOf(frame) == nullptr) return false;
    reusedFrameLent = false;
    return true;
  }
  auto it = lentFrames.find(static_cast<const uint8_t*>(frame));
  if (it == lentFrames.end()) return false;
  delete[] it->second.entries;
  delete[] it->first;
  lentFrames.erase(it);
  return true;
}

bool FrameLender::anyFrameLent() const {
  return !lentFrames.empty() || reusedFrameLent;
}
