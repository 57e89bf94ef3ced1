#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

// The transparent label's own data, in stream order (words little-endian 32-bit; the
// byte set and the text a 32-bit length and that many bytes; colours 0x00BBGGRR):
//   offset 0   version (1)
//          4   Effect (0 none, 1 raised, 2 sunken, 3 shadow)
//          8   TextColor
//          12  Alignment (0 left, 1 centred, 2 right)
//          16  VerticalAlignment (0 top, 1 centred, 2 bottom)
//          20  WordWrap (logical)
//          24  Font (byte set: the 60-byte logical-font record, or empty)
//          ..  Caption (text, GBK)
struct TransLabelClassData {
  static constexpr int32_t kVersion = 1;

  std::string caption;
  int32_t effect = 0;
  std::vector<uint8_t> font;
  uint32_t text_color = 0;
  int32_t alignment = 0;
  bool word_wrap = false;
  int32_t vertical_alignment = 0;

  // Empty data gives the defaults; nothing for an unknown version or a short stream.
  static std::optional<TransLabelClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const TransLabelClassData&) const = default;
};

}  // namespace units
