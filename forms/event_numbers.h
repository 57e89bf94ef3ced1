#pragma once

#include <cstdint>

namespace forms {

// The events every unit shares, numbered below 0 so that they never meet a class's own
// events (numbered from 0).
namespace common_event {
inline constexpr int32_t kMouseLeftDown = -1;
inline constexpr int32_t kMouseLeftUp = -2;
inline constexpr int32_t kDoubleClick = -3;
inline constexpr int32_t kMouseRightDown = -4;
inline constexpr int32_t kMouseRightUp = -5;
inline constexpr int32_t kMouseMove = -6;
inline constexpr int32_t kFocusGained = -7;
inline constexpr int32_t kFocusLost = -8;
inline constexpr int32_t kKeyDown = -9;
inline constexpr int32_t kKeyUp = -10;
inline constexpr int32_t kCharInput = -11;
inline constexpr int32_t kMouseWheel = -12;
}  // namespace common_event

// The window unit's own events; the loader fires the first ones itself.
namespace window_event {
inline constexpr int32_t kCreated = 0;
inline constexpr int32_t kCloseQuery = 1;
inline constexpr int32_t kDestroying = 2;
inline constexpr int32_t kMoved = 3;
inline constexpr int32_t kResized = 4;
inline constexpr int32_t kActivated = 5;
inline constexpr int32_t kDeactivated = 6;
inline constexpr int32_t kIdle = 7;
inline constexpr int32_t kFirstActivated = 8;
inline constexpr int32_t kTrayNotify = 9;
inline constexpr int32_t kShown = 10;
inline constexpr int32_t kHidden = 11;
}  // namespace window_event

}  // namespace forms
