#include "commands/system_commands.h"
#include "libraries/core_command_slots.h"
#include "libraries/core_commands.h"

namespace libraries {

void FillGeneralCommandSlots(runtime::CommandFunction* slots) {
  slots[kMessageBox] = &commands::MessageBox;
}

}  // namespace libraries
