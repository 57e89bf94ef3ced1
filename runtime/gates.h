#pragma once

#include <cstdint>
#include <initializer_list>

#include "runtime/allocator.h"
#include "runtime/arg_cell.h"
#include "runtime/error_report.h"
#include "runtime/forms_host.h"
#include "runtime/program_image.h"
#include "runtime/services.h"
#include "runtime/shutdown.h"
#include "runtime/startup.h"

namespace runtime {

// The application reaches the runtime only through these gates.

// Gates 2 and 3: call `command` with `count` argument cells; returns its result cell, which
// starts as all zero. The argument cells stay the caller's; a result block is the caller's.
ArgCell CallLibraryCommand(CommandFunction command, int32_t count, const ArgCell* args);
ArgCell CallCoreCommand(CommandFunction command, int32_t count, const ArgCell* args);

// The same with the arguments written in place: CallCoreCommand(SpaceText, {ArgCell::Int(3)}).
inline ArgCell CallCoreCommand(CommandFunction command, std::initializer_list<ArgCell> args) {
  return CallCoreCommand(command, static_cast<int32_t>(args.size()), args.begin());
}
inline ArgCell CallLibraryCommand(CommandFunction command, std::initializer_list<ArgCell> args) {
  return CallLibraryCommand(command, static_cast<int32_t>(args.size()), args.begin());
}

// Gate 1: external DLL commands are not linked into this program; calling one reports that
// the command cannot be found.
intptr_t CallDllCommand(int32_t index);

// Gates 4 and 5: property access of units (served by the forms layer).
ArgCell ReadUnitProperty(FormId form, UnitId unit, int32_t property, int32_t element);
void WriteUnitProperty(FormId form, UnitId unit, int32_t property, int32_t element,
                       const ArgCell& value);

// The table of the 13 gates, in their fixed order.
struct GateTable {
  void (*report_runtime_error)(int32_t number);
  intptr_t (*call_dll_command)(int32_t index);
  ArgCell (*call_library_command)(CommandFunction, int32_t, const ArgCell*);
  ArgCell (*call_core_command)(CommandFunction, int32_t, const ArgCell*);
  ArgCell (*read_unit_property)(FormId, UnitId, int32_t, int32_t);
  void (*write_unit_property)(FormId, UnitId, int32_t, int32_t, const ArgCell&);
  void* (*alloc_block)(int32_t);
  void* (*realloc_block)(void*, int32_t);
  void (*free_block)(void*);
  void (*end_program)(int32_t);
  void (*run_message_loop)();
  void (*load_startup_window)(FormId);
  intptr_t (*runtime_service)(int32_t, intptr_t, intptr_t, intptr_t, intptr_t, intptr_t,
                              intptr_t);
};

const GateTable& Gates();

}  // namespace runtime
