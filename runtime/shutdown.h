#pragma once

#include <cstdint>

namespace runtime {

// Gate 9: ends the program with `exit_code`. On the main thread it releases the windows,
// runs the end routine once, tells every library, and ends the process; it does not
// return. On another thread it forwards the request to the main thread and ends the
// process itself unless the main thread is already ending it, in which case it returns.
void EndProgram(int32_t exit_code);

// The end of the program without ending the process: what the application object's exit
// hook runs when the message loop is over. Does nothing when the end already ran.
void RunEndOfProgram();

}  // namespace runtime
