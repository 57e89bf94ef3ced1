#include "app/data_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdlib>
#include <system_error>

#include "app/desk_texts.h"
#include "platform/core/native_path.h"
#include "runtime/runtime_state.h"

namespace app {

namespace fs = std::filesystem;

namespace {

// What `cmake --install` puts beside `<prefix>/bin`.
fs::path InstalledShareFolder(const fs::path& program_folder) {
  return program_folder.parent_path() / "share" / "inkstone";
}

#ifdef _WIN32
// Windows answers a folder's write permission only by trying: a file is made and removed.
bool IsWritable(const fs::path& folder) {
  const fs::path probe = folder / "inkstone-write-check.tmp";
  const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
  CloseHandle(file);
  return true;
}
#else
bool IsWritable(const fs::path& folder) { return access(folder.c_str(), W_OK) == 0; }
#endif

bool IsInstalled(const fs::path& program_folder) {
  std::error_code error;
  if (fs::is_directory(InstalledShareFolder(program_folder), error)) return true;
  return !IsWritable(program_folder);
}

// Copies the installed empty chapter database where the folder has none. The memo file goes
// first: a main file without its memo file would not open.
bool CopyEmptyDatabase(const fs::path& from, const fs::path& to) {
  std::error_code error;
  const fs::path data = fs::u8path("小说数据");
  if (fs::exists(to / data / "data.edb", error)) return true;
  if (!fs::exists(from / data / "data.edb", error)) return true;  // the desk makes its own
  fs::create_directories(to / data, error);
  for (const char* file : {"data.edt", "data.edb"}) {
    if (!fs::copy_file(from / data / file, to / data / file, fs::copy_options::skip_existing,
                       error) &&
        error) {
      return false;
    }
  }
  return true;
}

}  // namespace

fs::path DeskFolderFor(const fs::path& program_folder, const char* xdg_data_home,
                       const char* home) {
  if (!IsInstalled(program_folder)) return program_folder;
  // An XDG base folder that is not absolute is to be ignored.
  if (xdg_data_home != nullptr && fs::path(xdg_data_home).is_absolute()) {
    return fs::path(xdg_data_home) / "inkstone";
  }
  return fs::path(home != nullptr ? home : "") / ".local" / "share" / "inkstone";
}

#ifdef _WIN32
fs::path WindowsDeskFolderFor(const fs::path& program_folder, const wchar_t* app_data) {
  if (!IsInstalled(program_folder) || app_data == nullptr || *app_data == 0) return program_folder;
  return fs::path(app_data) / "Inkstone";
}
#endif

std::string UseDeskFolder() {
  runtime::RuntimeState& state = runtime::Runtime();
  const fs::path program_folder = platform::FsPath(state.program_directory);
#ifdef _WIN32
  const fs::path folder = WindowsDeskFolderFor(program_folder, _wgetenv(L"APPDATA"));
#else
  const fs::path folder =
      DeskFolderFor(program_folder, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
#endif
  if (folder == program_folder) return {};
  // The desk's folder from here on, also in the message of a refused start.
  state.program_directory = platform::GbkPathOf(folder);
  state.program_directory_slash = state.program_directory + "\\";
  std::error_code error;
  fs::create_directories(folder, error);
  if (!fs::is_directory(folder, error) ||
      !CopyEmptyDatabase(InstalledShareFolder(program_folder), folder)) {
    return texts::kDeskFolderNotMade;
  }
  fs::current_path(folder, error);
  return {};
}

}  // namespace app
