#pragma once

#include "runtime/program_image.h"

namespace app {

// The smallest real program image: the six libraries, a constant pool, no window
// templates. Its start routine greets the author with a message box; with no window to
// load, the message loop returns at once and the program ends normally.
const runtime::ProgramImage& DemoImage();
int32_t DemoEntryRoutine();

}  // namespace app
