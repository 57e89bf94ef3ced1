#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace forms {

// Modifier bits of an accelerator.
namespace modifier {
inline constexpr uint32_t kShift = 0x04;
inline constexpr uint32_t kControl = 0x08;
inline constexpr uint32_t kAlt = 0x10;
}  // namespace modifier

struct ShortcutKey {
  std::string name;    // "Ctrl+B", "F5", "Ctrl+Shift+F12", "Ins", "Del"
  uint32_t modifiers;  // modifier::*
  int32_t virtual_key;
};

// The shortcut-key table, indexes 1 to 76:
//   1..26 Ctrl+A..Ctrl+Z, 27..38 F1..F12, 39..50 Ctrl+F1.., 51..62 Shift+F1..,
//   63..74 Ctrl+Shift+F1.., 75 Ins, 76 Del.
// Index 0 and anything above 76 name no shortcut.
std::optional<ShortcutKey> ShortcutKeyAt(int32_t index);

}  // namespace forms
