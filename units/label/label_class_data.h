#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

// The label's own data, in stream order (words little-endian 32-bit; byte sets and texts
// a 32-bit length and that many bytes; colours 0x00BBGGRR, 0xFF000000 = not used / the
// system's button face for BackColor):
//   offset 0   version (1 or 2)
//          4   Effect (0 none, 1 raised, 2 sunken, 3 shadow)
//          8   FrameWidth (pixels of the gradient frame)
//          12  Border (0..5 frame styles, 6 gradient frame)
//          16  FrameColor1, 20 FrameColor2, 24 FrameColor3
//          28  TextColor
//          32  BackColor
//          36  BackPictureMode (0 natural size, 1 tiled, 2 centred and scaled down)
//          40  GradientMode (0 none, 1..8 direction)
//          44  GradientColor1, 48 GradientColor2, 52 GradientColor3
//          56  Alignment (0 left, 1 centred, 2 right)
//          60  VerticalAlignment (0 top, 1 centred, 2 bottom)
//          64  WordWrap (logical)
//          68  Font (byte set: the 60-byte logical-font record, or empty)
//          ..  BackPicture (byte set: an image file)
//          ..  Caption (text, GBK)
//          ..  version 2 only: DataSource, DataColumn (texts)
struct LabelClassData {
  static constexpr int32_t kVersion = 2;
  static constexpr uint32_t kUnusedColor = 0xFF000000;

  std::string caption;
  int32_t effect = 0;
  int32_t border = 0;
  int32_t frame_width = 5;
  uint32_t frame_colors[3] = {kUnusedColor, kUnusedColor, kUnusedColor};
  std::vector<uint8_t> font;
  uint32_t text_color = 0;
  uint32_t back_color = kUnusedColor;
  std::vector<uint8_t> back_picture;
  int32_t back_picture_mode = 0;
  int32_t gradient_mode = 0;
  uint32_t gradient_colors[3] = {kUnusedColor, kUnusedColor, kUnusedColor};
  int32_t alignment = 0;
  bool word_wrap = false;
  int32_t vertical_alignment = 0;
  std::string data_source;
  std::string data_column;

  // Empty data gives the defaults; nothing for an unknown version or a short stream.
  static std::optional<LabelClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const LabelClassData&) const = default;
};

}  // namespace units
