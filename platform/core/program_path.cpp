#include "platform/core/program_path.h"

#include <filesystem>
#include <system_error>

#include "platform/core/native_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

std::string ProgramFilePath() {
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return GbkPathOf(std::filesystem::path(buffer));
#else
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return GbkPathOf(executable);
#endif
}

}  // namespace platform
