#include "commands/command_arguments.h"

#include "runtime/blocks.h"
#include "runtime/cell_values.h"
#include "runtime/error_report.h"

namespace commands {

using runtime::ArgCell;

ArgCell CommandArguments::operator[](int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= args_.size()) return ArgCell{};
  return args_[static_cast<size_t>(index)];
}

void CommandArguments::WrongType() { runtime::ReportRuntimeError(kWrongArgumentType); }

std::string_view CommandArguments::Text(int32_t index) const {
  const ArgCell cell = (*this)[index];
  if (cell.type != runtime::kText) WrongType();
  return runtime::TextOf(cell.AsPointer<const char>());
}

const char* CommandArguments::TextPointer(int32_t index) const {
  const ArgCell cell = (*this)[index];
  if (cell.type != runtime::kText) WrongType();
  const char* text = cell.AsPointer<const char>();
  return text != nullptr ? text : "";
}

std::string_view CommandArguments::OptionalText(int32_t index, std::string_view fallback) const {
  return Given(index) ? Text(index) : fallback;
}

CommandArguments::Unit CommandArguments::UnitReference(int32_t index) const {
  const ArgCell cell = (*this)[index];
  if (runtime::ClassifyTypeCode(cell.type) != runtime::TypeClass::kLibrary) WrongType();
  return {cell.low, cell.high};
}

int32_t CommandArguments::Int(int32_t index) const {
  const ArgCell cell = (*this)[index];
  if (!runtime::IsNumericType(cell.type)) WrongType();
  return runtime::CellToInt32(cell);
}

int32_t CommandArguments::OptionalInt(int32_t index, int32_t fallback) const {
  return Given(index) ? Int(index) : fallback;
}

bool CommandArguments::OptionalLogical(int32_t index, bool fallback) const {
  const ArgCell cell = (*this)[index];
  if (cell.type == runtime::kNoValue) return fallback;
  if (cell.type != runtime::kLogical) WrongType();
  return cell.low != 0;
}

double CommandArguments::DateTime(int32_t index) const {
  const ArgCell cell = (*this)[index];
  if (cell.type != runtime::kDateTime) WrongType();
  return runtime::ClampDateTime(cell.As<double>());
}

void SetTextResult(ArgCell* result, std::string_view text) {
  *result = ArgCell::Text(runtime::MakeText(text));
}

void SetByteSetResult(ArgCell* result, std::span<const uint8_t> bytes) {
  *result = ArgCell::ByteSet(runtime::MakeByteSet(bytes));
}

}  // namespace commands
