#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

inline constexpr uint32_t kDefaultColor = 0xFF000000;  // the system's button-face colour

// The window class's own data, in stream order (all words little-endian 32-bit; byte sets
// and texts a 32-bit length and that many bytes):
//   version (1..6), Border, BackPictureMode, BackColor, MaxButton, MinButton, ControlBox,
//   WindowState, Movable, MusicPlayMode, EnterMovesFocus, EscCloses, F1OpensHelp,
//   HelpContext; from version 2 ShowInTaskbar; from 3 DragAnywhere, Shape; from 4
//   AlwaysOnTop; from 5 KeepTitleActive; from 6 WindowClassName (text); then BackPicture,
//   Icon, BackMusic (byte sets), Caption, HelpFile (texts, GBK).
struct WindowClassData {
  static constexpr int32_t kVersion = 6;

  int32_t border = 2;
  int32_t back_picture_mode = 0;
  uint32_t back_color = kDefaultColor;
  bool max_button = false;
  bool min_button = true;
  bool control_box = true;
  int32_t window_state = 0;
  bool movable = true;
  int32_t music_play_mode = 0;
  bool enter_moves_focus = false;
  bool esc_closes = false;
  bool f1_opens_help = false;
  int32_t help_context = 0;
  bool show_in_taskbar = true;
  bool drag_anywhere = false;
  int32_t shape = 0;
  bool always_on_top = false;
  bool keep_title_active = false;
  std::string window_class_name;
  std::vector<uint8_t> back_picture;
  std::vector<uint8_t> icon;
  std::vector<uint8_t> back_music;
  std::string caption;
  std::string help_file;

  // Empty data gives the defaults; nothing for a version above 6 or a short stream.
  static std::optional<WindowClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const WindowClassData&) const = default;
};

}  // namespace units
