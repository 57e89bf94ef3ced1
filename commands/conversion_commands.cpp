#include "commands/conversion_commands.h"

#include "commands/command_arguments.h"
#include "commands/value_conversion.h"

namespace commands {

using runtime::ArgCell;

void ToText(ArgCell* result, int32_t count, const ArgCell* args) {
  SetTextResult(result, ValueToText(CommandArguments(count, args)[0]));
}

void ToNumber(ArgCell* result, int32_t count, const ArgCell* args) {
  *result = ArgCell::Double(ValueToNumber(CommandArguments(count, args)[0]));
}

void ToByteSet(ArgCell* result, int32_t count, const ArgCell* args) {
  const ArgCell value = CommandArguments(count, args)[0];
  SetByteSetResult(result, ValueBytes(value));
}

}  // namespace commands
