#include "runtime/gates.h"

#include "runtime/gbk_literal.h"
#include "runtime/runtime_state.h"

namespace runtime {

ArgCell CallLibraryCommand(CommandFunction command, int32_t count, const ArgCell* args) {
  ArgCell result;
  command(&result, count, args);
  return result;
}

ArgCell CallCoreCommand(CommandFunction command, int32_t count, const ArgCell* args) {
  return CallLibraryCommand(command, count, args);
}

intptr_t CallDllCommand(int32_t index) {
  ReportError(Gbk("无法找到指定DLL库文件中的输出命令“") + std::to_string(index) + Gbk("”"));
}

ArgCell ReadUnitProperty(FormId form, UnitId unit, int32_t property, int32_t element) {
  FormsHost* forms = Runtime().forms;
  if (forms == nullptr) ReportError(Gbk("指定窗口尚未载入"));
  return forms->ReadUnitProperty(form, unit, property, element);
}

void WriteUnitProperty(FormId form, UnitId unit, int32_t property, int32_t element,
                       const ArgCell& value) {
  FormsHost* forms = Runtime().forms;
  if (forms == nullptr) ReportError(Gbk("指定窗口尚未载入"));
  forms->WriteUnitProperty(form, unit, property, element, value);
}

const GateTable& Gates() {
  static const GateTable table = {
      [](int32_t number) { ReportRuntimeError(number); },
      &CallDllCommand,
      [](CommandFunction f, int32_t n, const ArgCell* a) { return CallLibraryCommand(f, n, a); },
      [](CommandFunction f, int32_t n, const ArgCell* a) { return CallCoreCommand(f, n, a); },
      &ReadUnitProperty,
      &WriteUnitProperty,
      &AllocBlock,
      &ReallocBlock,
      &FreeBlock,
      &EndProgram,
      &RunMessageLoop,
      &LoadStartupWindow,
      &RuntimeService,
  };
  return table;
}

}  // namespace runtime
