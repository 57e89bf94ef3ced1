#pragma once

#include <cstdint>

#include "platform/gui/window_handles.h"

namespace gui {

// A window message: input and requests keep the platform's numbers so that unit code
// reads as the platform's own.
struct Message {
  WindowHandle window = 0;
  uint32_t id = 0;
  uint64_t wparam = 0;
  int64_t lparam = 0;
};

namespace msg {
inline constexpr uint32_t kDestroy = 0x0002;
inline constexpr uint32_t kMove = 0x0003;
inline constexpr uint32_t kSize = 0x0005;
inline constexpr uint32_t kActivate = 0x0006;
inline constexpr uint32_t kSetFocus = 0x0007;
inline constexpr uint32_t kKillFocus = 0x0008;
inline constexpr uint32_t kPaint = 0x000F;
inline constexpr uint32_t kClose = 0x0010;
inline constexpr uint32_t kQueryEndSession = 0x0011;
inline constexpr uint32_t kShowWindow = 0x0018;
inline constexpr uint32_t kKeyDown = 0x0100;
inline constexpr uint32_t kKeyUp = 0x0101;
inline constexpr uint32_t kChar = 0x0102;
inline constexpr uint32_t kSysKeyDown = 0x0104;
inline constexpr uint32_t kSysKeyUp = 0x0105;
inline constexpr uint32_t kCommand = 0x0111;
inline constexpr uint32_t kTimer = 0x0113;
inline constexpr uint32_t kMouseMove = 0x0200;
inline constexpr uint32_t kLeftButtonDown = 0x0201;
inline constexpr uint32_t kLeftButtonUp = 0x0202;
inline constexpr uint32_t kLeftButtonDoubleClick = 0x0203;
inline constexpr uint32_t kRightButtonDown = 0x0204;
inline constexpr uint32_t kRightButtonUp = 0x0205;
inline constexpr uint32_t kMouseWheel = 0x020A;
inline constexpr uint32_t kFinalDestroy = 0x0082;
inline constexpr uint32_t kUser = 0x0400;
inline constexpr uint32_t kPrivate = 0x8000;  // the runtime's own messages start here
}  // namespace msg

// The modifier bits that events report: 1 Ctrl, 2 Shift, 4 Alt.
namespace key_state {
inline constexpr int32_t kControl = 1;
inline constexpr int32_t kShift = 2;
inline constexpr int32_t kAlt = 4;
}  // namespace key_state

// Mouse positions travel as x in the low and y in the high 16 bits.
constexpr int64_t PackPoint(int32_t x, int32_t y) {
  return static_cast<int64_t>((static_cast<uint32_t>(y & 0xFFFF) << 16) | (x & 0xFFFF));
}
constexpr int32_t PointX(int64_t packed) { return static_cast<int16_t>(packed & 0xFFFF); }
constexpr int32_t PointY(int64_t packed) { return static_cast<int16_t>((packed >> 16) & 0xFFFF); }

}  // namespace gui
