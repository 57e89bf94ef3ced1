#include "commands/shell_commands.h"
#include "libraries/core_commands.h"
#include "libraries/library_notify.h"
#include "libraries/core_command_slots.h"

namespace libraries {

const runtime::CommandFunction* CoreCommandFunctions() {
  static const runtime::CommandFunction* functions = [] {
    auto* array = new runtime::CommandFunction[kCoreCommandCount]();
    FillGeneralCommandSlots(array);
    FillDatabaseCommandSlots(array);
    FillUnitMethodSlots(array);
    return array;
  }();
  return functions;
}

runtime::CommandFunction VisualStyleCommand() { return &commands::SetVisualStyle; }
runtime::CommandFunction AppInterfaceCommand() { return &commands::OpenWebPage; }
runtime::CommandFunction ShellCommand() { return &commands::ShellRun; }

}  // namespace libraries
