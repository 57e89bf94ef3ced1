#pragma once

#include <cstdint>

class QWidget;

namespace gui {

// Windows are named by small integer handles, never by pointers, so that "is this window
// still alive" is safe to ask after a handler destroyed it. Handles are never reused.
using WindowHandle = int32_t;  // 0 = none

class Window;

// `window` is the object that owns `widget`; it is answered for the handle while the widget
// lives.
WindowHandle RegisterWindow(QWidget* widget, Window* window);
// The handle stops naming its window at once (the widget itself may go later).
void UnregisterWindow(WindowHandle handle);
// The live widget of `handle`, or null when it is gone or never existed.
QWidget* FindWindow(WindowHandle handle);
inline bool IsWindowAlive(WindowHandle handle) { return FindWindow(handle) != nullptr; }
// The window object of `handle` while its widget lives, or null: a table look-up, as every
// property access and message of the program asks it.
Window* FindWindowObject(WindowHandle handle);

}  // namespace gui
