#pragma once

#include <cstdint>

#include "runtime/forms_host.h"
#include "runtime/program_image.h"
#include "runtime/user_interface.h"

namespace runtime {

// Binds the runtime to the image it runs and to its two hosts. Called by the program's
// process entry before the application's entry routine runs.
void AttachProgram(const ProgramImage& image, UserInterface* ui, FormsHost* forms);

// Service 6: initialises the runtime from the attached image: program directory (made the
// current directory), request window, static ranges, libraries, window templates.
void InitializeRuntime();

// Gate 11: loads the startup window of template `form`; "载入启动窗口失败" when that fails.
void LoadStartupWindow(FormId form);

// Gate 10: returns at once when no window is alive, else when the last window is gone.
void RunMessageLoop();

// The loop's idle work for one pass: the registered idle callbacks, last first, for
// windows that are still alive; entries of windows that are gone are dropped.
void RunIdleCallbacks();

// The application object's idle hook, given the idle count and the framework's own answer
// for that count: window idle processing once the framework asks for no more.
bool ApplicationIdle(int32_t idle_count, bool framework_wants_more);

}  // namespace runtime
