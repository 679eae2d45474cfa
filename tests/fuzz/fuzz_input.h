// Reading a fuzz input as a stream of small decisions. Past the end every
// read answers zero, so any input, even an empty one, is a valid script.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
  uint16_t word() { return static_cast<uint16_t>(byte() | (byte() << 8)); }
  bool bit() { return (byte() & 1) != 0; }
  // Up to `limit` bytes, as many as the next byte says.
  std::vector<uint8_t> bytes(size_t limit) {
    const size_t count = byte() % (limit + 1);
    std::vector<uint8_t> out;
    for (size_t i = 0; i < count; ++i) out.push_back(byte());
    return out;
  }
  // A string without NULs of up to `limit` characters.
  std::string text(size_t limit) {
    std::string out;
    for (uint8_t b : bytes(limit)) out.push_back(b == 0 ? '^' : char(b));
    return out;
  }
  std::string rest() {
    std::string out(reinterpret_cast<const char*>(data_ + at_), size_ - at_);
    at_ = size_;
    for (char& c : out) c = c == 0 ? '(' : c;
    return out;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// The longest input a target reads: a target passes it to libFuzzer from
// its initialisation, so that every run, short or long, explores inputs
// that reach every branch without spending its time on longer ones.
#define FUZZ_MAX_INPUT_BYTES(bytes)                              \
  extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) { \
    static std::vector<char*> args(*argv, *argv + *argc);        \
    static char maxLength[] = "-max_len=" #bytes;                \
    args.insert(args.begin() + 1, maxLength);                    \
    args.push_back(nullptr);                                     \
    *argc += 1;                                                  \
    *argv = args.data();                                         \
    return 0;                                                    \
  }

// Fails the run loudly: libFuzzer keeps the input that got here.
#define FUZZ_CHECK(condition)           \
  do {                                  \
    if (!(condition)) __builtin_trap(); \
  } while (0)
