#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "runtime/arg_cell.h"

// Reading the argument cells of a command and writing its result cell. A command receives
// (result, count, args); an optional argument that the caller leaves out arrives as a cell of
// type kNoValue. An argument of the wrong type, or a required one that is missing, is misuse:
// it ends the program with runtime error 11 ("所提供参数的数据类型不符合要求").

namespace commands {

// The runtime error number for an argument of the wrong type.
inline constexpr int32_t kWrongArgumentType = 11;

class CommandArguments {
 public:
  CommandArguments(int32_t count, const runtime::ArgCell* args)
      : args_(args, count > 0 ? static_cast<size_t>(count) : 0) {}

  int32_t count() const { return static_cast<int32_t>(args_.size()); }
  // The cell at `index`; a cell of type kNoValue beyond the count.
  runtime::ArgCell operator[](int32_t index) const;
  bool Given(int32_t index) const { return (*this)[index].type != runtime::kNoValue; }

  // A text argument (a null block reads as the empty text).
  std::string_view Text(int32_t index) const;
  // The same as a NUL-terminated string, never null, for a command that must not measure it.
  const char* TextPointer(int32_t index) const;
  // The same, or `fallback` when the argument is left out.
  std::string_view OptionalText(int32_t index, std::string_view fallback) const;
  // A numeric argument as a 32-bit integer (see runtime::CellToInt32).
  int32_t Int(int32_t index) const;
  int32_t OptionalInt(int32_t index, int32_t fallback) const;
  // A logical argument; `fallback` when left out.
  bool OptionalLogical(int32_t index, bool fallback) const;
  // A date-time argument, clamped.
  double DateTime(int32_t index) const;
  // A unit reference (runtime::ArgCell::UnitReference): any library data type is accepted,
  // the method itself finds out whether the unit is of its class.
  struct Unit {
    uint32_t form;
    uint32_t unit;
  };
  Unit UnitReference(int32_t index) const;

 private:
  [[noreturn]] static void WrongType();

  std::span<const runtime::ArgCell> args_;
};

// Result cells. A text or byte set result is a new block owned by the caller; the empty
// ones are null.
void SetTextResult(runtime::ArgCell* result, std::string_view text);
void SetByteSetResult(runtime::ArgCell* result, std::span<const uint8_t> bytes);

}  // namespace commands
