#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

// The edit box's own data, in stream order. Words are little-endian 32-bit; byte sets and
// texts are a 32-bit length followed by that many bytes (texts GBK, no terminator).
//
//   offset  size  field
//        0     4  version (1 or 2)
//        4     4  Border            0..5
//        8     4  TextColor         0x00BBGGRR
//       12     4  BackColor         0x00BBGGRR, 0xFF000000 = button face
//       16     4  HideSelection     0/1
//       20     4  MaxLength         0 = as much as the control holds
//       24     4  MultiLine         0/1
//       28     4  ScrollBars        0..3
//       32     4  Alignment         0..2
//       36     4  InputMode         0..11
//       40     2  password character (one byte, or lead byte << 8 | trail byte)
//       42     4  CaseConversion    0..2
//       46     4  SpinMode          0..2
//       50     4  SpinMin
//       54     4  SpinMax
//       58     4  SelStart
//       62     4  SelLength
//       66   4+n  Font              byte set: empty, or the 60-byte logical-font record
//        …   4+n  Content           text
//   version 2 only:
//        …   4+n  DataSource        text
//        …   4+n  DataColumn        text
struct EditBoxClassData {
  static constexpr int32_t kVersion = 2;

  int32_t border = 1;
  uint32_t text_color = 0x000000;
  uint32_t back_color = 0xFFFFFF;
  bool hide_selection = true;
  int32_t max_length = 0;
  bool multi_line = false;
  int32_t scroll_bars = 0;
  int32_t alignment = 0;
  int32_t input_mode = 0;
  uint16_t password_char = '*';
  int32_t case_conversion = 0;
  int32_t spin_mode = 0;
  int32_t spin_min = 0;
  int32_t spin_max = 100;
  int32_t sel_start = 0;
  int32_t sel_length = 0;
  std::vector<uint8_t> font;
  std::string content;
  std::string data_source;
  std::string data_column;

  // Empty data gives the defaults; nothing for a version outside 1..2 or a short stream.
  static std::optional<EditBoxClassData> Read(std::span<const uint8_t> data);
  // Always the newest layout.
  std::vector<uint8_t> Write() const;

  bool operator==(const EditBoxClassData&) const = default;
};

// The password character as the one-character text that `PasswordChar` reads, and the
// character that a written text names (its first character; 0 for an empty text).
std::string PasswordCharText(uint16_t code);
uint16_t PasswordCharOfText(const std::string& gbk);

}  // namespace units
