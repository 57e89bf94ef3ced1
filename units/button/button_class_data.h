#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

// The button's own data, in stream order (words little-endian 32-bit; byte sets and texts
// a 32-bit length and that many bytes):
//   offset 0   version (1)
//          4   ButtonType (0 normal, 1 default push button)
//          8   Alignment (0 left, 1 centred, 2 right)
//          12  VerticalAlignment (0 top, 1 centred, 2 bottom)
//          16  Picture (byte set: an image file)
//          ..  Font (byte set: the 60-byte logical-font record, or empty)
//          ..  Caption (text, GBK)
struct ButtonClassData {
  static constexpr int32_t kVersion = 1;

  int32_t button_type = 0;
  int32_t alignment = 1;
  int32_t vertical_alignment = 1;
  std::vector<uint8_t> picture;
  std::vector<uint8_t> font;
  std::string caption;

  // Empty data gives the defaults; nothing for an unknown version or a short stream.
  static std::optional<ButtonClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const ButtonClassData&) const = default;
};

}  // namespace units
