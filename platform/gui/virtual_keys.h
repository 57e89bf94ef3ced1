#pragma once

#include <cstdint>

#include <Qt>

namespace gui {

// Virtual-key codes of the keys units and windows look at.
namespace vk {
inline constexpr int32_t kBack = 0x08;
inline constexpr int32_t kTab = 0x09;
inline constexpr int32_t kReturn = 0x0D;
inline constexpr int32_t kShift = 0x10;
inline constexpr int32_t kControl = 0x11;
inline constexpr int32_t kMenu = 0x12;  // Alt
inline constexpr int32_t kPause = 0x13;
inline constexpr int32_t kCapital = 0x14;
inline constexpr int32_t kEscape = 0x1B;
inline constexpr int32_t kSpace = 0x20;
inline constexpr int32_t kPrior = 0x21;
inline constexpr int32_t kNext = 0x22;
inline constexpr int32_t kEnd = 0x23;
inline constexpr int32_t kHome = 0x24;
inline constexpr int32_t kLeft = 0x25;
inline constexpr int32_t kUp = 0x26;
inline constexpr int32_t kRight = 0x27;
inline constexpr int32_t kDown = 0x28;
inline constexpr int32_t kInsert = 0x2D;
inline constexpr int32_t kDelete = 0x2E;
inline constexpr int32_t kNumpad0 = 0x60;
inline constexpr int32_t kMultiply = 0x6A;
inline constexpr int32_t kAdd = 0x6B;
inline constexpr int32_t kSubtract = 0x6D;
inline constexpr int32_t kDecimal = 0x6E;
inline constexpr int32_t kDivide = 0x6F;
inline constexpr int32_t kF1 = 0x70;
}  // namespace vk

// The virtual-key code of a Qt key (0 when it has none). Keypad keys, marked by the
// keypad modifier, get their keypad codes.
int32_t VirtualKeyOf(int qt_key, Qt::KeyboardModifiers modifiers);

// The Qt key of a virtual-key code (for synthesised input); Qt::Key_unknown when none.
int QtKeyOf(int32_t virtual_key);

// 1 Ctrl, 2 Shift, 4 Alt.
int32_t KeyStateOf(Qt::KeyboardModifiers modifiers);

// Events report keypad digits as main digits, keypad minus, point and slash as the main
// keyboard's; modifier keys do not report themselves as held.
int32_t NormalizeKeyCode(int32_t virtual_key);
int32_t KeyStateForKey(int32_t virtual_key, Qt::KeyboardModifiers modifiers);

// The modifier keys held when the input being handled was made (what the platform reads
// with its key-state query while a message is processed).
Qt::KeyboardModifiers CurrentModifiers();
void SetCurrentModifiers(Qt::KeyboardModifiers modifiers);

}  // namespace gui
