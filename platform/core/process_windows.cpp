#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <algorithm>
#include <filesystem>

#include "platform/core/process.h"

namespace platform {
namespace {

std::wstring Wide(const std::string& utf8) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string Utf8(const std::wstring& wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length,
                      nullptr, nullptr);
  return utf8;
}

// One argument quoted so that the program's start-up code reads it back unchanged: backslashes
// count only before a double quote.
void AppendQuoted(const std::wstring& argument, std::wstring& line) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) {
    line += argument;
    return;
  }
  line += L'"';
  size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    line += c;
  }
  line.append(backslashes * 2, L'\\');
  line += L'"';
}

bool ShellHand(const wchar_t* verb, const std::string& target, const std::string& directory) {
  const std::wstring wide_target = Wide(target);
  const std::wstring wide_directory = Wide(directory);
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, verb, wide_target.c_str(), nullptr,
                    directory.empty() ? nullptr : wide_directory.c_str(), SW_SHOWNORMAL));
  return result > 32;  // smaller values are the call's error codes
}

}  // namespace

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& directory) {
  std::wstring line;
  AppendQuoted(Wide(program), line);
  for (const std::string& argument : arguments) {
    line += L' ';
    AppendQuoted(Wide(argument), line);
  }
  const std::wstring wide_directory = Wide(directory);
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
  for (int i = 0; wide != nullptr && i < count; ++i) arguments.push_back(Utf8(wide[i]));
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
