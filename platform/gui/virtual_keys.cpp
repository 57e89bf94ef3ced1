#include "platform/gui/virtual_keys.h"

#include <unordered_map>

#include "platform/gui/message.h"

namespace gui {

namespace {

const std::unordered_map<int, int32_t>& SpecialKeys() {
  static const std::unordered_map<int, int32_t> keys = {
      {Qt::Key_Backspace, vk::kBack}, {Qt::Key_Tab, vk::kTab},       {Qt::Key_Backtab, vk::kTab},
      {Qt::Key_Return, vk::kReturn},  {Qt::Key_Enter, vk::kReturn},  {Qt::Key_Shift, vk::kShift},
      {Qt::Key_Control, vk::kControl}, {Qt::Key_Alt, vk::kMenu},     {Qt::Key_Pause, vk::kPause},
      {Qt::Key_CapsLock, vk::kCapital}, {Qt::Key_Escape, vk::kEscape}, {Qt::Key_Space, vk::kSpace},
      {Qt::Key_PageUp, vk::kPrior},   {Qt::Key_PageDown, vk::kNext}, {Qt::Key_End, vk::kEnd},
      {Qt::Key_Home, vk::kHome},      {Qt::Key_Left, vk::kLeft},     {Qt::Key_Up, vk::kUp},
      {Qt::Key_Right, vk::kRight},    {Qt::Key_Down, vk::kDown},     {Qt::Key_Insert, vk::kInsert},
      {Qt::Key_Delete, vk::kDelete},  {Qt::Key_Semicolon, 0xBA},     {Qt::Key_Equal, 0xBB},
      {Qt::Key_Plus, 0xBB},           {Qt::Key_Comma, 0xBC},         {Qt::Key_Minus, 0xBD},
      {Qt::Key_Period, 0xBE},         {Qt::Key_Slash, 0xBF},         {Qt::Key_QuoteLeft, 0xC0},
      {Qt::Key_BracketLeft, 0xDB},    {Qt::Key_Backslash, 0xDC},     {Qt::Key_BracketRight, 0xDD},
      {Qt::Key_Apostrophe, 0xDE},
  };
  return keys;
}

int32_t KeypadKey(int qt_key) {
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return vk::kNumpad0 + (qt_key - Qt::Key_0);
  switch (qt_key) {
    case Qt::Key_Asterisk: return vk::kMultiply;
    case Qt::Key_Plus: return vk::kAdd;
    case Qt::Key_Minus: return vk::kSubtract;
    case Qt::Key_Period: return vk::kDecimal;
    case Qt::Key_Slash: return vk::kDivide;
    default: return 0;
  }
}

}  // namespace

int32_t VirtualKeyOf(int qt_key, Qt::KeyboardModifiers modifiers) {
  if (modifiers & Qt::KeypadModifier) {
    if (const int32_t keypad = KeypadKey(qt_key)) return keypad;
  }
  if (qt_key >= Qt::Key_A && qt_key <= Qt::Key_Z) return 'A' + (qt_key - Qt::Key_A);
  if (qt_key >= Qt::Key_0 && qt_key <= Qt::Key_9) return '0' + (qt_key - Qt::Key_0);
  if (qt_key >= Qt::Key_F1 && qt_key <= Qt::Key_F24) return vk::kF1 + (qt_key - Qt::Key_F1);
  const auto found = SpecialKeys().find(qt_key);
  return found == SpecialKeys().end() ? 0 : found->second;
}

int QtKeyOf(int32_t virtual_key) {
  if (virtual_key >= 'A' && virtual_key <= 'Z') return Qt::Key_A + (virtual_key - 'A');
  if (virtual_key >= '0' && virtual_key <= '9') return Qt::Key_0 + (virtual_key - '0');
  if (virtual_key >= vk::kF1 && virtual_key < vk::kF1 + 24) return Qt::Key_F1 + (virtual_key - vk::kF1);
  for (const auto& [qt_key, code] : SpecialKeys()) {
    if (code == virtual_key && qt_key != Qt::Key_Backtab && qt_key != Qt::Key_Enter &&
        qt_key != Qt::Key_Plus) {
      return qt_key;
    }
  }
  return Qt::Key_unknown;
}

int32_t KeyStateOf(Qt::KeyboardModifiers modifiers) {
  int32_t state = 0;
  if (modifiers & Qt::ControlModifier) state |= key_state::kControl;
  if (modifiers & Qt::ShiftModifier) state |= key_state::kShift;
  if (modifiers & Qt::AltModifier) state |= key_state::kAlt;
  return state;
}

int32_t NormalizeKeyCode(int32_t virtual_key) {
  if (virtual_key >= vk::kNumpad0 && virtual_key <= vk::kNumpad0 + 9) {
    return '0' + (virtual_key - vk::kNumpad0);
  }
  switch (virtual_key) {
    case vk::kSubtract: return 189;
    case vk::kDecimal: return 190;
    case vk::kDivide: return 191;
    default: return virtual_key;
  }
}

int32_t KeyStateForKey(int32_t virtual_key, Qt::KeyboardModifiers modifiers) {
  int32_t state = KeyStateOf(modifiers);
  if (virtual_key == vk::kControl) state &= ~key_state::kControl;
  if (virtual_key == vk::kShift) state &= ~key_state::kShift;
  if (virtual_key == vk::kMenu) state &= ~key_state::kAlt;
  return state;
}

namespace {
Qt::KeyboardModifiers current_modifiers;
}

Qt::KeyboardModifiers CurrentModifiers() { return current_modifiers; }
void SetCurrentModifiers(Qt::KeyboardModifiers modifiers) { current_modifiers = modifiers; }

}  // namespace gui
