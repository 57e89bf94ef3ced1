#include <optional>
#include <string>
#include <vector>

#include "commands/command_arguments.h"
#include "libraries/core_command_slots.h"
#include "libraries/core_commands.h"
#include "libraries/library_notify.h"
#include "units/base/unit_methods.h"
#include "units/commondlg/common_dialog_class.h"
#include "units/editbox/edit_box_methods.h"
#include "units/treebox/tree_box_methods.h"
#include "units/window/popup_menu.h"

// The unit methods as library commands. Every one takes a unit reference as its first
// argument (runtime::ArgCell::UnitReference); the method's own arguments follow.

namespace libraries {

namespace {

using commands::CommandArguments;
using runtime::ArgCell;

std::optional<int32_t> OptionalInt(const CommandArguments& arguments, int32_t index) {
  if (!arguments.Given(index)) return std::nullopt;
  return arguments.Int(index);
}

// The method's own arguments, after the unit reference.
std::span<const ArgCell> MethodArguments(int32_t count, const ArgCell* args) {
  if (count <= 1) return {};
  return {args + 1, static_cast<size_t>(count - 1)};
}

void SetFocusCommand(ArgCell*, int32_t count, const ArgCell* args) {
  const auto unit = CommandArguments(count, args).UnitReference(0);
  units::SetFocus(unit.form, unit.unit);
}

// Arguments: unit, optional left, top, width, height.
void MoveCommand(ArgCell*, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  const auto unit = arguments.UnitReference(0);
  units::Move(unit.form, unit.unit, OptionalInt(arguments, 1), OptionalInt(arguments, 2),
              OptionalInt(arguments, 3), OptionalInt(arguments, 4));
}

// Arguments: unit, message, wParam, lParam. Gives the window's answer.
void SendMessageCommand(ArgCell* result, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  const auto unit = arguments.UnitReference(0);
  const int64_t answer =
      units::SendUnitMessage(unit.form, unit.unit, static_cast<uint32_t>(arguments.Int(1)),
                             static_cast<uint32_t>(arguments.Int(2)), arguments.Int(3));
  *result = ArgCell::Int(static_cast<int32_t>(answer));
}

// Arguments: unit, optional logical "at once".
void DestroyCommand(ArgCell*, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  const auto unit = arguments.UnitReference(0);
  units::Destroy(unit.form, unit.unit, arguments.OptionalLogical(1, false));
}

// Arguments: edit box, then one or more texts.
void AppendTextCommand(ArgCell*, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  const auto unit = arguments.UnitReference(0);
  std::vector<std::string> texts;
  for (int32_t index = 1; index < arguments.count(); ++index) texts.emplace_back(arguments.Text(index));
  units::AppendText(unit.form, unit.unit, texts);
}

// Arguments: window, menu (a unit reference to a top-level menu of that window), optional
// screen x and y.
void PopupMenuCommand(ArgCell*, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  const auto window = arguments.UnitReference(0);
  const auto menu = arguments.UnitReference(1);
  units::PopupMenu(window.form, menu.unit, OptionalInt(arguments, 2), OptionalInt(arguments, 3));
}

// Arguments: common dialog. Gives true when the author confirmed the dialog.
void OpenCommand(ArgCell* result, int32_t count, const ArgCell* args) {
  const auto unit = CommandArguments(count, args).UnitReference(0);
  *result = ArgCell::Logical(units::OpenCommonDialog(unit.form, unit.unit));
}

void AddItemCommand(ArgCell* result, int32_t count, const ArgCell* args) {
  const auto unit = CommandArguments(count, args).UnitReference(0);
  *result = ArgCell::Int(units::TreeBoxAddItem(unit.form, unit.unit, MethodArguments(count, args)));
}

void SetItemTextCommand(ArgCell* result, int32_t count, const ArgCell* args) {
  const auto unit = CommandArguments(count, args).UnitReference(0);
  *result = ArgCell::Logical(units::TreeBoxSetItemText(unit.form, unit.unit, MethodArguments(count, args)));
}

void GetItemCountCommand(ArgCell* result, int32_t count, const ArgCell* args) {
  const auto unit = CommandArguments(count, args).UnitReference(0);
  *result = ArgCell::Int(units::TreeBoxGetItemCount(unit.form, unit.unit));
}

void DeleteItemCommand(ArgCell* result, int32_t count, const ArgCell* args) {
  const auto unit = CommandArguments(count, args).UnitReference(0);
  *result = ArgCell::Logical(units::TreeBoxDeleteItem(unit.form, unit.unit, MethodArguments(count, args)));
}

}  // namespace

void FillUnitMethodSlots(runtime::CommandFunction* slots) {
  slots[kSetFocus] = &SetFocusCommand;
  slots[kMove] = &MoveCommand;
  slots[kSendMessage] = &SendMessageCommand;
  slots[kDestroy] = &DestroyCommand;
  slots[kAppendText] = &AppendTextCommand;
  slots[kPopupMenu] = &PopupMenuCommand;
  slots[kOpen] = &OpenCommand;
}

const runtime::CommandFunction* TreeBoxCommandFunctions() {
  static const runtime::CommandFunction functions[kTreeBoxCommandCount] = {
      &AddItemCommand, &SetItemTextCommand, &GetItemCountCommand, &DeleteItemCommand};
  return functions;
}

}  // namespace libraries
