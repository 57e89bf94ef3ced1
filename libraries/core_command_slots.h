#pragma once

#include "runtime/program_image.h"

namespace libraries {

// Each group of core commands puts its functions into their slots of the core library's
// command array (positions from core_commands.h).
void FillGeneralCommandSlots(runtime::CommandFunction* slots);   // text, file, conversion, system
void FillDatabaseCommandSlots(runtime::CommandFunction* slots);  // database
void FillUnitMethodSlots(runtime::CommandFunction* slots);       // unit methods

}  // namespace libraries
