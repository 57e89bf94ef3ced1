#include "commands/file_commands.h"

#include <span>
#include <string_view>
#include <vector>

#include "commands/command_arguments.h"
#include "commands/file_replacement.h"
#include "platform/core/file_system.h"
#include "runtime/cell_values.h"
#include "runtime/runtime_state.h"

namespace commands {

namespace {

using runtime::ArgCell;

// int32 1, int32 0, in memory order; aligned like a heap block.
alignas(8) constexpr uint8_t kEmptyByteSet[8] = {1, 0, 0, 0, 0, 0, 0, 0};

}  // namespace

const uint8_t* EmptyByteSet() {
  // Registered as static data so that a holder may free it like any byte set.
  runtime::StaticRanges& ranges = runtime::Runtime().static_ranges;
  if (!ranges.Contains(kEmptyByteSet))
    ranges.Add(kEmptyByteSet, kEmptyByteSet + sizeof kEmptyByteSet);
  return kEmptyByteSet;
}

void GetProgramDirectory(ArgCell* result, int32_t, const ArgCell*) {
  SetTextResult(result, runtime::Runtime().program_directory);
}

void CreateDirectory(ArgCell* result, int32_t count, const ArgCell* args) {
  const std::string_view path = CommandArguments(count, args).Text(0);
  *result = ArgCell::Logical(!path.empty() && platform::CreateDirectory(path));
}

void WriteBytesToFile(ArgCell* result, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  const std::string_view path = arguments.Text(0);
  std::vector<std::span<const uint8_t>> pieces;
  pieces.reserve(static_cast<size_t>(arguments.count()));
  for (int32_t i = 1; i < arguments.count(); ++i) pieces.push_back(runtime::CellBytes(args[i]));
  *result = ArgCell::Logical(ReplaceFileContent(path, pieces));
}

void DeleteFile(ArgCell* result, int32_t count, const ArgCell* args) {
  const std::string_view path = CommandArguments(count, args).Text(0);
  *result = ArgCell::Logical(!path.empty() && platform::DeleteFile(path));
}

void CopyFile(ArgCell* result, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  const std::string_view source = arguments.Text(0);
  const std::string_view target = arguments.Text(1);
  *result = ArgCell::Logical(!source.empty() && !target.empty() &&
                             platform::CopyFile(source, target, /*fail_if_exists=*/false));
}

}  // namespace commands
