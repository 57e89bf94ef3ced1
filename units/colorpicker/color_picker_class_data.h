#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace units {

// The colour picker's own data, in stream order (little-endian 32-bit words):
//   offset 0   version (1)
//          4   CurrentColor (0x00BBGGRR; 0xFF000000 = the "透明" entry)
//          8   AllowTransparent (0 or 1)
struct ColorPickerClassData {
  static constexpr int32_t kVersion = 1;
  static constexpr uint32_t kTransparent = 0xFF000000;

  uint32_t current_color = 0;
  bool allow_transparent = false;

  // Empty data gives the defaults; nothing for an unknown version or a short stream.
  static std::optional<ColorPickerClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  // The colour the box shows for the stored one: without the "透明" entry the stored
  // 0xFF000000 shows as black, and stays stored.
  uint32_t ShownColor() const {
    return current_color == kTransparent && !allow_transparent ? 0 : current_color;
  }

  bool operator==(const ColorPickerClassData&) const = default;
};

}  // namespace units
