#pragma once

#include <cstdint>
#include <cstring>

// Little-endian integers inside byte buffers: every integer of the database files is stored
// little-endian, whatever the machine.

namespace database {

inline int32_t LoadI32(const uint8_t* bytes) {
  return static_cast<int32_t>(
      static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
      static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

inline int16_t LoadI16(const uint8_t* bytes) {
  return static_cast<int16_t>(static_cast<uint16_t>(bytes[0] | bytes[1] << 8));
}

inline void StoreI32(uint8_t* bytes, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  bytes[0] = static_cast<uint8_t>(v);
  bytes[1] = static_cast<uint8_t>(v >> 8);
  bytes[2] = static_cast<uint8_t>(v >> 16);
  bytes[3] = static_cast<uint8_t>(v >> 24);
}

inline void StoreI16(uint8_t* bytes, int16_t value) {
  const auto v = static_cast<uint16_t>(value);
  bytes[0] = static_cast<uint8_t>(v);
  bytes[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace database
