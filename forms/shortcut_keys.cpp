#include "forms/shortcut_keys.h"

namespace forms {

namespace {
constexpr int32_t kVirtualKeyF1 = 0x70;
constexpr int32_t kVirtualKeyInsert = 0x2D;
constexpr int32_t kVirtualKeyDelete = 0x2E;

ShortcutKey FunctionKey(const std::string& prefix, uint32_t modifiers, int32_t number) {
  return {prefix + "F" + std::to_string(number), modifiers, kVirtualKeyF1 + number - 1};
}
}  // namespace

std::optional<ShortcutKey> ShortcutKeyAt(int32_t index) {
  if (index >= 1 && index <= 26) {
    const char letter = static_cast<char>('A' + index - 1);
    return ShortcutKey{std::string("Ctrl+") + letter, modifier::kControl, letter};
  }
  if (index >= 27 && index <= 38) return FunctionKey("", 0, index - 26);
  if (index >= 39 && index <= 50) return FunctionKey("Ctrl+", modifier::kControl, index - 38);
  if (index >= 51 && index <= 62) return FunctionKey("Shift+", modifier::kShift, index - 50);
  if (index >= 63 && index <= 74) {
    return FunctionKey("Ctrl+Shift+", modifier::kControl | modifier::kShift, index - 62);
  }
  if (index == 75) return ShortcutKey{"Ins", 0, kVirtualKeyInsert};
  if (index == 76) return ShortcutKey{"Del", 0, kVirtualKeyDelete};
  return std::nullopt;
}

}  // namespace forms
