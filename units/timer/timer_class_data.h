#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace units {

// The timer's own data, in stream order (little-endian 32-bit words):
//   offset 0  version (1)
//          4  Interval, milliseconds (0 or less: stopped)
struct TimerClassData {
  static constexpr int32_t kVersion = 1;

  int32_t interval = 0;

  // Empty data gives the defaults (a stopped timer); nothing for an unknown version or a
  // short stream.
  static std::optional<TimerClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const TimerClassData&) const = default;
};

}  // namespace units
