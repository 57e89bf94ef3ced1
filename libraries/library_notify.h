#pragma once

#include <cstdint>

#include "runtime/program_image.h"

namespace libraries {

// The notify entry the libraries share: code 1 hands over the runtime's service entry,
// code 6 tells that the program ends; an unknown code answers -1.
intptr_t StandardLibraryNotify(int32_t code, intptr_t p1, intptr_t p2);

// The core library's: as the shared one, and when the program ends it closes the databases
// its commands opened, so that what they keep for their next saves reaches the files (the
// process then ends without running destructors).
intptr_t CoreLibraryNotify(int32_t code, intptr_t p1, intptr_t p2);

// The runtime's service entry as handed over at start; null before.
runtime::NotifyFunction RuntimeEntry();

// The command arrays and single commands of the libraries (null where a command is not
// linked into this build).
const runtime::CommandFunction* CoreCommandFunctions();
const runtime::CommandFunction* TreeBoxCommandFunctions();
runtime::CommandFunction VisualStyleCommand();
runtime::CommandFunction AppInterfaceCommand();
runtime::CommandFunction ShellCommand();

}  // namespace libraries
