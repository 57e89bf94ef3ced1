#pragma once

#include "runtime/program_image.h"

namespace app {

// The program that runs until the writing application exists: one window built from
// app/demo_window.json with a chapter list, a chapter name and text box, a character count
// and a clock, and buttons that add and delete chapters. Nothing is saved.
const runtime::ProgramImage& DemoImage();
int32_t DemoEntryRoutine();

}  // namespace app
