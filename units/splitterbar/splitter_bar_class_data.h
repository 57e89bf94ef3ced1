#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace units {

// The splitter bar's own data, in stream order (little-endian 32-bit words):
//   offset 0   version (1)
//          4   BackColor (0x00BBGGRR; 0xFF000000 = the system's button face)
//          8   Orientation (0 horizontal bar dragged up and down, 1 vertical bar dragged
//              left and right)
struct SplitterBarClassData {
  static constexpr int32_t kVersion = 1;
  static constexpr int32_t kHorizontal = 0;
  static constexpr int32_t kVertical = 1;

  uint32_t back_color = 0xFF000000;
  int32_t orientation = kHorizontal;

  // Empty data gives the defaults; nothing for an unknown version or a short stream.
  static std::optional<SplitterBarClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const SplitterBarClassData&) const = default;
};

}  // namespace units
