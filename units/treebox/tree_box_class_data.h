#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace units {

// The tree box's own data, in stream order (words are little-endian 32-bit; a byte set is a
// 32-bit length and that many bytes):
//
//   offset  0  version            0 current, 1 older; above 1 is rejected
//           4  Border             8  TextColor        12  BackColor
//          16  HasButtons        20  HasLines         24  LinesAtRoot
//          28  EditLabels        32  ShowSelAlways    36  CurrentItem
//          40  ItemHeight
//          44  Font, Pictures, InitialItems (byte sets, one after another)
//   version 0 only, then:
//              marker             0: nothing follows (the check-box fields keep their defaults)
//              CheckBoxes, CheckStateCount (words), CheckPictures (byte set) when the marker is
//              not 0
//
// The writer always writes version 0 with a marker of 1, so every field is kept.
struct TreeBoxClassData {
  static constexpr int32_t kVersion = 0;
  static constexpr int32_t kOldestVersion = 1;  // versions count down: 1 is the older layout

  int32_t border = 1;
  uint32_t text_color = 0x00000000;
  uint32_t back_color = 0x00FFFFFF;
  bool has_buttons = true;
  bool has_lines = true;
  bool lines_at_root = true;
  bool edit_labels = false;
  bool show_sel_always = true;
  int32_t current_item = -1;
  int32_t item_height = -1;  // -1 (or any value below 1): the control's own height
  std::vector<uint8_t> font;
  std::vector<uint8_t> pictures;       // picture group
  std::vector<uint8_t> initial_items;  // item list
  bool check_boxes = false;
  int32_t check_state_count = 2;
  std::vector<uint8_t> check_pictures;  // picture group; empty: the built-in pictures

  // Empty data gives the defaults; nothing for a version other than 0 or 1 or a short stream.
  static std::optional<TreeBoxClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const TreeBoxClassData&) const = default;
};

}  // namespace units
