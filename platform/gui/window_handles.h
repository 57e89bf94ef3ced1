#pragma once

#include <cstdint>

class QWidget;

namespace gui {

// Windows are named by small integer handles, never by pointers, so that "is this window
// still alive" is safe to ask after a handler destroyed it. Handles are never reused.
using WindowHandle = int32_t;  // 0 = none

WindowHandle RegisterWindow(QWidget* widget);
// The handle stops naming its window at once (the widget itself may go later).
void UnregisterWindow(WindowHandle handle);
// The live widget of `handle`, or null when it is gone or never existed.
QWidget* FindWindow(WindowHandle handle);
inline bool IsWindowAlive(WindowHandle handle) { return FindWindow(handle) != nullptr; }

}  // namespace gui
