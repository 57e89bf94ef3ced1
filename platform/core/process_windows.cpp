#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <algorithm>
#include <filesystem>

#include "platform/core/process.h"
#include "platform/core/wide_text.h"

namespace platform {
namespace {

bool ShellHand(const wchar_t* verb, const std::string& target, const std::string& directory) {
  const std::wstring wide_target = WideFromUtf8(target);
  const std::wstring wide_directory = WideFromUtf8(directory);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, verb, wide_target.c_str(), nullptr,
                    directory.empty() ? nullptr : wide_directory.c_str(), SW_SHOWNORMAL));
  return result > 32;  // smaller values are the call's error codes
}

}  // namespace

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& directory) {
  std::wstring line = QuotedArgument(WideFromUtf8(program));
  for (const std::string& argument : arguments)
    line += L' ' + QuotedArgument(WideFromUtf8(argument));
  const std::wstring wide_directory = WideFromUtf8(directory);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE,
                      DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr,
                      directory.empty() ? nullptr : wide_directory.c_str(), &startup, &process)) {
    return false;
  }
  // Nobody waits for it.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

std::vector<std::string> CommandLineArguments(int, char**) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 0; wide != nullptr && i < count; ++i) arguments.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return arguments;
}

bool OpenWithDesktop(const std::string& target, const std::string& directory) {
  return ShellHand(L"open", target, directory);
}

bool PrintWithDesktop(const std::string& file, const std::string& directory) {
  return ShellHand(L"print", file, directory);
}

bool IsRunnableFile(const std::string& path) {
  const std::filesystem::path file = std::filesystem::u8path(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return false;
  std::wstring extension = file.extension().wstring();
  std::transform(extension.begin(), extension.end(), extension.begin(), towlower);
  return extension == L".exe" || extension == L".com" || extension == L".bat" ||
         extension == L".cmd";
}

}  // namespace platform
