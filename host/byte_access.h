// Little-endian field access on raw record bytes. Host records and the
// plug-in's stored settings are fixed byte layouts; every field is read and
// written through these helpers at its documented offset, so nothing depends
// on the compiler's struct padding or on the machine's byte order.
#pragma once

#include <cstddef>
#include <cstdint>

inline uint16_t readU16(const uint8_t* p, size_t offset) {
  return static_cast<uint16_t>(p[offset] | (p[offset + 1] << 8));
}

inline int16_t readI16(const uint8_t* p, size_t offset) {
  return static_cast<int16_t>(readU16(p, offset));
}

inline uint32_t readU32(const uint8_t* p, size_t offset) {
  return static_cast<uint32_t>(p[offset]) |
         (static_cast<uint32_t>(p[offset + 1]) << 8) |
         (static_cast<uint32_t>(p[offset + 2]) << 16) |
         (static_cast<uint32_t>(p[offset + 3]) << 24);
}

inline int32_t readI32(const uint8_t* p, size_t offset) {
  return static_cast<int32_t>(readU32(p, offset));
}

inline void writeU16(uint8_t* p, size_t offset, uint16_t value) {
  p[offset] = static_cast<uint8_t>(value);
  p[offset + 1] = static_cast<uint8_t>(value >> 8);
}

inline void writeI16(uint8_t* p, size_t offset, int16_t value) {
  writeU16(p, offset, static_cast<uint16_t>(value));
}

inline void writeU32(uint8_t* p, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) {
    p[offset + i] = static_cast<uint8_t>(value >> (8 * i));
  }
}

inline void writeI32(uint8_t* p, size_t offset, int32_t value) {
  writeU32(p, offset, static_cast<uint32_t>(value));
}

// The low 16 bits of a host result or argument; the host only promises
// those, so every test of a 16-bit result goes through here.
inline int16_t low16(uint32_t value) {
  return static_cast<int16_t>(value & 0xFFFFu);
}
