#include "simhost/sim_host.h"

#include "host/host_services.h"

SimHost& simHost() {
  static SimHost host;
  return host;
}

void SimHost::resetLog() {
  calls.clear();
  violations.clear();
  framesLent = framesReleased = framesSaved = cellsEntered = 0;
  callCounts.fill(0);
}

void SimHost::wrongVersion(int ordinal) {
  violation("service " + std::to_string(ordinal) +
            " called without InterfaceVersion last");
}

void SimHost::violation(const std::string& what) { violations.push_back(what); }

uint32_t SimHost::result16(uint32_t value) const {
  // The garbage changes with every call, so no fixed pattern can pass by
  // luck; its top bit is always set, so it is never zero.
  const uint32_t varying =
      (0x25C3u + static_cast<uint32_t>(calls.size())) & 0x7FFFu;
  const uint32_t garbage = (0x8000u | varying) << 16;
  return strict ? ((value & 0xFFFFu) | garbage) : (value & 0xFFFFu);
}

std::vector<int> SimHost::ordinals() const {
  std::vector<int> result;
  for (const ServiceCall& call : calls) result.push_back(call.ordinal);
  return result;
}
