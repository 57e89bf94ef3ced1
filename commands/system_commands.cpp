#include "commands/system_commands.h"

#include <string>

#include "commands/value_conversion.h"
#include "runtime/blocks.h"
#include "runtime/cell_values.h"
#include "runtime/error_report.h"
#include "runtime/gbk_literal.h"
#include "runtime/runtime_state.h"

namespace commands {

namespace {

using runtime::ArgCell;

bool Given(int32_t count, const ArgCell* args, int32_t index) {
  return index < count && args[index].type != runtime::kNoValue;
}

// Numbers, logical values and date-times read as ToText gives them, a text as it is; a byte
// set, an array or any other value gives an empty message.
std::string MessageText(const ArgCell& message) {
  const bool basic = runtime::IsNumericType(message.type) || message.type == runtime::kText ||
                     message.type == runtime::kLogical || message.type == runtime::kDateTime;
  return basic ? ValueToText(message) : std::string();
}

// Platform button ids (1 OK .. 7 No) become the command's results (0 OK .. 6 No).
int32_t ResultOf(int32_t button_id) { return button_id >= 1 && button_id <= 7 ? button_id - 1 : 0; }

}  // namespace

void MessageBox(ArgCell* result, int32_t count, const ArgCell* args) {
  const std::string text = count > 0 ? MessageText(args[0]) : std::string();
  uint32_t style = Given(count, args, 1) ? static_cast<uint32_t>(runtime::CellToInt32(args[1])) : 0;
  // A caption that is not a text is misuse, as for any other text argument.
  if (Given(count, args, 2) && args[2].type != runtime::kText) runtime::ReportRuntimeError(11);
  const std::string caption = Given(count, args, 2)
                                  ? std::string(runtime::TextOf(args[2].AsPointer<char>()))
                                  : runtime::Gbk("信息：");
  constexpr uint32_t kSystemModal = 0x1000, kTaskModal = 0x2000;
  if ((style & kSystemModal) == 0) style |= kTaskModal;
  runtime::UserInterface* ui = runtime::Runtime().ui;
  const int32_t button = ui != nullptr ? ui->ShowMessageBox(text, caption, style) : 1;
  *result = ArgCell::Int(ResultOf(button));
}

}  // namespace commands
