#pragma once

#include <cstdint>

#include "runtime/program_image.h"

namespace app {

// The program image of the writing desk: the routine table, the compiled writing window
// and the linked libraries.
const runtime::ProgramImage& WritingDeskImage();

// The entry routine: refuses a second writing desk on the same folder, prepares the end on
// a termination request, then loads the writing window and runs the message loop.
int32_t WritingDeskEntry();

}  // namespace app
