#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

// The super button's own data, in stream order (words little-endian 32-bit; byte sets and
// texts a 32-bit length and that many bytes; colours 0x00BBGGRR):
//   offset 0   version (1 or 2)
//          4   ButtonStyle (0 flat, 1 raised, 2 flat with a rounded highlight)
//          8   CheckStyle (logical)
//          12  Checked (logical)
//          16  PicturePosition (0 left, 1 above, 2 right of the caption, 3 top-left corner)
//          20  PressOffset (0 one pixel right and down, 1 two pixels down)
//          24  HotFrame (logical)
//          28  FlatFocusRect (logical)
//          32  transparent colour of HotPicture
//          36  transparent colour of Picture
//          40  UseSystemColors (logical)
//          44  BuiltInSound (logical)
//          48  DefaultButton (0 normal, 1 default push button)
//          52  ColorPairs: text 1, background 1, text 2, background 2, text 3, background 3
//          76  HotPicture (byte set: an image file)
//          ..  Picture, Font (the 60-byte logical-font record, or empty), HoverSound,
//              ClickSound (byte sets)
//          ..  Caption, ToolTip (texts, GBK)
//          ..  version 2 only: transparent colour of DisabledPicture, DisabledPicture
//
// A transparent colour 0xFF000000 keys out the colour of the picture's top-left pixel.
// A colour of a pair that is 0xFF000000 is the system's colour that a new button takes:
// button text for the texts, button face for the backgrounds, except the second
// background: the face lightened by 32.
struct SuperButtonClassData {
  static constexpr int32_t kVersion = 2;
  static constexpr uint32_t kDefaultColor = 0xFF000000;

  int32_t button_style = 0;
  bool check_style = false;
  bool checked = false;
  int32_t picture_position = 0;
  int32_t press_offset = 0;
  bool hot_frame = false;
  bool flat_focus_rect = false;
  std::vector<uint8_t> picture;
  uint32_t picture_color = kDefaultColor;
  std::vector<uint8_t> hot_picture;
  uint32_t hot_picture_color = kDefaultColor;
  std::vector<uint8_t> disabled_picture;
  uint32_t disabled_picture_color = kDefaultColor;
  std::vector<uint8_t> font;
  std::string caption = DefaultCaption();
  bool use_system_colors = false;
  uint32_t text_color1 = kDefaultColor;
  uint32_t back_color1 = kDefaultColor;
  uint32_t text_color2 = kDefaultColor;
  uint32_t back_color2 = kDefaultColor;
  uint32_t text_color3 = kDefaultColor;
  uint32_t back_color3 = kDefaultColor;
  bool built_in_sound = false;
  std::vector<uint8_t> hover_sound;
  std::vector<uint8_t> click_sound;
  std::string tool_tip;
  int32_t default_button = 0;

  // "超级按钮" in GBK: the caption of a new button.
  static std::string DefaultCaption();

  // Empty data gives the defaults; nothing for an unknown version or a short stream.
  static std::optional<SuperButtonClassData> Read(std::span<const uint8_t> data);
  // Always version 2.
  std::vector<uint8_t> Write() const;

  bool operator==(const SuperButtonClassData&) const = default;
};

}  // namespace units
