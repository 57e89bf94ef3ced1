#include "libraries/core_command_slots.h"
#include "libraries/core_commands.h"

namespace libraries {

void FillDatabaseCommandSlots(runtime::CommandFunction*) {}

}  // namespace libraries
