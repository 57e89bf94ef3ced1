#include "commands/shell_commands.h"

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/core/native_path.h"
#include "platform/core/process.h"
#include "runtime/blocks.h"
#include "runtime/cell_values.h"
#include "runtime/runtime_state.h"

namespace commands {

namespace {

using runtime::ArgCell;

enum Verb { kDefaultAction = 0, kEdit = 1, kExplore = 2, kFind = 3, kOpen = 4, kPrint = 5 };

bool Given(int32_t count, const ArgCell* args, int32_t index) {
  return index < count && args[index].type != runtime::kNoValue;
}

// A text argument; anything else (left out, or of another type) reads as empty, since
// these commands report no errors.
std::string TextArgument(int32_t count, const ArgCell* args, int32_t index) {
  if (!Given(count, args, index) || args[index].type != runtime::kText) return {};
  return std::string(runtime::TextOf(args[index].AsPointer<char>()));
}

// A path's UTF-8 text on every system (string() would give the ANSI code page on Windows).
std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace

std::string EncodeAddress(std::string_view gbk_address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string address;
  for (const char c : gbk_address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || byte <= 0x20 || byte == 0x7F) {
      address += '%';
      address += kHex[byte >> 4];
      address += kHex[byte & 0x0F];
    } else {
      address += c;
    }
  }
  return address;
}

void ShellRun(ArgCell* result, int32_t count, const ArgCell* args) {
  *result = ArgCell();
  const int32_t verb = Given(count, args, 0) ? runtime::CellToInt32(args[0]) : kDefaultAction;
  const std::string file = TextArgument(count, args, 1);
  if (file.empty()) return;
  const std::string parameters = TextArgument(count, args, 2);
  const std::string directory = platform::NativePath(TextArgument(count, args, 3));
  // A relative file name is looked for in the working directory first.
  std::filesystem::path target = std::filesystem::u8path(platform::NativePath(file));
  if (target.is_relative() && !directory.empty()) {
    std::error_code error;
    const std::filesystem::path inside = std::filesystem::u8path(directory) / target;
    if (std::filesystem::exists(inside, error)) target = inside;
  }
  switch (verb) {
    case kEdit:
      platform::OpenWithDesktop(Utf8Of(target), directory);
      return;
    case kExplore:
    case kFind: {
      std::error_code error;
      const bool folder = std::filesystem::is_directory(target, error);
      platform::OpenWithDesktop(Utf8Of(folder ? target : target.parent_path()), directory);
      return;
    }
    case kPrint:
      platform::PrintWithDesktop(Utf8Of(target), directory);
      return;
    default:  // open, and the default action of any other verb
      if (platform::IsRunnableFile(Utf8Of(target))) {
        platform::StartDetached(Utf8Of(target), platform::SplitParameters(parameters), directory);
      } else {
        platform::OpenWithDesktop(Utf8Of(target), directory);
      }
      return;
  }
}

void OpenWebPage(ArgCell* result, int32_t count, const ArgCell* args) {
  *result = ArgCell();
  const std::string address =
      Given(count, args, 0) ? TextArgument(count, args, 0) : std::string(kProjectPage);
  if (address.empty()) return;
  platform::OpenWithDesktop(EncodeAddress(address), {});
}

void SetVisualStyle(ArgCell* result, int32_t count, const ArgCell* args) {
  // Whether the themed look is on: what the original switch called its installed hook.
  static bool themed = false;
  const int32_t level = count > 0 ? runtime::CellToInt32(args[0]) : 0;
  runtime::UserInterface* ui = runtime::Runtime().ui;
  if (level >= 1 && level <= 3) {
    themed = true;
    if (ui != nullptr) ui->SetThemedLook(true);
    *result = ArgCell::Logical(true);
    return;
  }
  const bool was_themed = themed;
  themed = false;
  if (was_themed && ui != nullptr) ui->SetThemedLook(false);
  *result = ArgCell::Logical(was_themed);
}

}  // namespace commands
