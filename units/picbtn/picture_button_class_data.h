#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace units {

// The picture button's own data, in stream order (words little-endian 32-bit; byte sets a
// 32-bit length and that many bytes):
//   offset 0   version (1)
//          4   ToggleType (0 push button, 1 toggle button)
//          8   Checked (logical)
//          12  TransparentColor (0x00BBGGRR; 0xFF000000 = no shaping)
//          16  NormalPicture (byte set: an image file, empty = none)
//          ..  HotPicture, PressedPicture, DisabledPicture (byte sets)
struct PictureButtonClassData {
  static constexpr int32_t kVersion = 1;
  static constexpr uint32_t kNoShaping = 0xFF000000;

  int32_t toggle_type = 0;
  bool checked = false;
  uint32_t transparent_color = kNoShaping;
  std::vector<uint8_t> normal_picture;
  std::vector<uint8_t> hot_picture;
  std::vector<uint8_t> pressed_picture;
  std::vector<uint8_t> disabled_picture;

  // Empty data gives the defaults; nothing for a version other than 1 or a short stream.
  static std::optional<PictureButtonClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const PictureButtonClassData&) const = default;
};

}  // namespace units
