#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

// The group box's own data, in stream order (words little-endian 32-bit; byte sets and
// texts a 32-bit length and that many bytes):
//   offset 0   version (1)
//          4   Alignment of the title (0 left, 1 centred, 2 right)
//          8   TextColor (0x00BBGGRR)
//          12  BackColor (0x00BBGGRR; 0xFF000000 the system's button face)
//          16  Font (byte set: the 60-byte logical-font record, or empty)
//          ..  Caption (text, GBK)
struct GroupBoxClassData {
  static constexpr int32_t kVersion = 1;

  int32_t alignment = 0;
  uint32_t text_color = 0;
  uint32_t back_color = 0xFF000000;
  std::vector<uint8_t> font;
  std::string caption;

  // Empty data gives the defaults; nothing for an unknown version or a short stream.
  static std::optional<GroupBoxClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const GroupBoxClassData&) const = default;
};

}  // namespace units
