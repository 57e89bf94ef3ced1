#pragma once

#include <QFont>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace forms {

// The 60-byte logical-font record that font properties carry:
//   offset  0  int32 height (negative: character height in pixels)
//           4  int32 width
//           8  int32 escapement, tenths of a degree
//          12  int32 orientation, tenths of a degree
//          16  int32 weight (400 normal, 700 bold)
//          20  uint8 italic, 21 underline, 22 strikeout, 23 charset
//          24  uint8 out precision, 25 clip precision, 26 quality, 27 pitch and family
//          28  32 bytes face name, GBK, NUL-terminated
struct LogicalFont {
  int32_t height = 0;
  int32_t width = 0;
  int32_t escapement = 0;
  int32_t orientation = 0;
  int32_t weight = 400;
  uint8_t italic = 0, underline = 0, strike_out = 0, charset = 134;
  uint8_t out_precision = 0, clip_precision = 0, quality = 0, pitch_and_family = 0;
  std::string face;  // GBK, at most 31 bytes

  static constexpr size_t kSize = 60;
  std::vector<uint8_t> Bytes() const;
  // Nothing unless exactly 60 bytes.
  static std::optional<LogicalFont> FromBytes(std::span<const uint8_t> bytes);

  // The system's default GUI font: 宋体, 9 points.
  static LogicalFont Default();

  // Points from the height at the screen's vertical resolution, and back.
  int32_t Points() const;
  void SetPoints(int32_t points);

  QFont ToQFont() const;
};

// The face written when a face name is empty or too long.
std::string DefaultFaceName();

// Vertical pixels per inch of the screen.
int32_t ScreenPixelsPerInch();

}  // namespace forms
