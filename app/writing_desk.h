#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/program_image.h"

namespace app {

// The program image of the writing desk: the routine table, the compiled writing window
// and the linked libraries.
const runtime::ProgramImage& WritingDeskImage();

// The names of the routine table's entries, in order.
const std::vector<std::string>& RoutineNames();

// The entry routine: refuses a second writing desk on the same folder, prepares the end on
// a termination request, then loads the writing window and runs the message loop.
int32_t WritingDeskEntry();

}  // namespace app
