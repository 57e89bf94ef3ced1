// The core layers built on their own, without the user-interface layers (the Windows cross
// build): no unit class is linked, so a unit's data type describes no class and the core
// library's unit-method slots and the tree box library's command slots stay empty, as the slots
// of commands a library does not have.
#include "libraries/core_command_slots.h"
#include "libraries/core_commands.h"
#include "libraries/library_notify.h"
#include "units/unit_classes.h"

namespace libraries {

void FillUnitMethodSlots(runtime::CommandFunction*) {}

const runtime::CommandFunction* TreeBoxCommandFunctions() {
  static const runtime::CommandFunction functions[kTreeBoxCommandCount] = {};
  return functions;
}

}  // namespace libraries

namespace units {

const UnitClass* FindUnitClass(runtime::TypeRef) { return nullptr; }

}  // namespace units
