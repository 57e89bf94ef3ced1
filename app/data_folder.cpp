#include "app/data_folder.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdlib>
#include <optional>
#include <system_error>

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "platform/core/file.h"
#include "platform/core/file_system.h"
#include "platform/core/native_path.h"
#include "runtime/gbk_literal.h"
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
// Also false on a file system mounted read-only (a write-protected stick) and for an immutable
// folder, whoever asks.
bool IsWritable(const fs::path& folder) { return access(folder.c_str(), W_OK) == 0; }
#endif

// Only the layout tells: a program folder that cannot be written is a portable desk that has
// lost its write access (a write-protected stick), not an installed one — taking it for one
// would open the per-user folder's novel, perhaps another, in its place.
bool IsInstalled(const fs::path& program_folder) {
  std::error_code error;
  return fs::is_directory(InstalledShareFolder(program_folder), error);
}

// The same folder, also by another name (a link).
bool SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code error;
  if (fs::equivalent(a, b, error)) return true;
  const fs::path real_a = fs::weakly_canonical(a, error);
  if (error) return false;
  const fs::path real_b = fs::weakly_canonical(b, error);
  return !error && real_a == real_b;
}

// True when `folder` is `outer` or lies somewhere inside it.
bool LiesIn(const fs::path& folder, const fs::path& outer) {
  std::error_code error;
  fs::path path = fs::weakly_canonical(folder, error);
  if (error) path = folder.lexically_normal();
  for (;; path = path.parent_path()) {
    if (SameFolder(path, outer)) return true;
    if (path == path.parent_path()) return false;
  }
}

// The whole content of a file, none when it cannot be read.
std::optional<std::string> ReadWhole(const std::string& gbk_path) {
  platform::FileResult opened = platform::File::Open(gbk_path, platform::FileAccess::kRead,
                                                     platform::ShareMode::kDenyWrite,
                                                     platform::Disposition::kOpenExisting);
  if (!opened.ok()) return std::nullopt;
  const int64_t size = opened.file->Size();
  if (size < 0) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (opened.file->ReadAt(0, bytes.data(), size) != size) return std::nullopt;
  return bytes;
}

// An absolute folder from an environment value, empty for an unset, empty or relative one.
fs::path AbsoluteOrEmpty(const fs::path& value) { return value.is_absolute() ? value : fs::path(); }

}  // namespace

fs::path DeskFolderFor(const fs::path& program_folder, const char* xdg_data_home,
                       const char* home) {
  if (!IsInstalled(program_folder)) return program_folder;
  // An XDG base folder that is not absolute is to be ignored.
  const fs::path data_home = AbsoluteOrEmpty(xdg_data_home != nullptr ? xdg_data_home : "");
  if (!data_home.empty()) return data_home / "inkstone";
  // Never a folder relative to wherever the program was started.
  const fs::path home_folder = AbsoluteOrEmpty(home != nullptr ? home : "");
  if (home_folder.empty()) return {};
  return home_folder / ".local" / "share" / "inkstone";
}

#ifdef _WIN32
fs::path WindowsDeskFolderFor(const fs::path& program_folder, const wchar_t* app_data) {
  if (!IsInstalled(program_folder)) return program_folder;
  const fs::path folder = AbsoluteOrEmpty(app_data != nullptr ? app_data : L"");
  return folder.empty() ? fs::path() : folder / "Inkstone";
}
#endif

fs::path TemplateFolderFor(const fs::path& program_folder) {
  return (IsInstalled(program_folder) ? InstalledShareFolder(program_folder) : program_folder) /
         kTemplateFolderName;
}

DeskFolderChoice UseDeskFolder() {
  runtime::RuntimeState& state = runtime::Runtime();
  const fs::path program_folder = platform::FsPath(state.program_directory);
  DeskFolderChoice choice;
  choice.template_folder = TemplateFolderFor(program_folder);
#ifdef _WIN32
  const fs::path folder = WindowsDeskFolderFor(program_folder, _wgetenv(L"APPDATA"));
#else
  const fs::path folder =
      DeskFolderFor(program_folder, std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
#endif
  if (folder.empty()) {
    choice.refused = texts::kNoAuthorDataFolder;
    return choice;
  }
  if (folder != program_folder) {
    // The desk's folder from here on, also in the message of a refused start.
    state.program_directory = platform::GbkPathOf(folder);
    state.program_directory_slash = state.program_directory + "\\";
  }
  if (LiesIn(folder / fs::u8path("小说数据"), choice.template_folder)) {
    // Told before anything is made there.
    choice.refused = texts::kDataFolderInTemplate;
  } else if (folder == program_folder) {
    if (!IsWritable(program_folder)) choice.refused = texts::kPortableFolderReadOnly;
  } else {
    std::error_code error;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, error)) {
      choice.refused = texts::kDeskFolderNotMade;
      return choice;
    }
    fs::current_path(folder, error);
  }
  return choice;
}

std::string FillFromTemplate(const fs::path& template_folder) {
  const std::string main_file = InProgramFolder(texts::kDatabasePath);
  const std::string memo_file = InProgramFolder(runtime::Gbk("\\小说数据\\data.edt"));
  if (platform::FileExists(main_file)) return {};
  // Made by the folder's claim already; made here too for a caller without one.
  platform::CreateDirectory(InProgramFolder(runtime::Gbk("\\小说数据")));
  const std::string template_main = platform::GbkPathOf(template_folder / "data.edb");
  const std::string template_memo = platform::GbkPathOf(template_folder / "data.edt");
  if (!platform::FileExists(template_main) || !platform::FileExists(template_memo)) return {};
  if (platform::FileExists(memo_file)) {
    const std::optional<std::string> memo = ReadWhole(memo_file);
    if (!memo || memo != ReadWhole(template_memo)) return texts::kLoneMemoFile;
  } else if (!platform::CopyFile(template_memo, memo_file, /*fail_if_exists=*/true)) {
    return texts::kTemplateNotCopied;
  }
  // The main file is the one the desk opens: it appears last, whole.
  if (!platform::CopyFile(template_main, main_file, /*fail_if_exists=*/true)) {
    return texts::kTemplateNotCopied;
  }
  // A template installed read-only would make a database the desk could not save into.
  for (const std::string* file : {&memo_file, &main_file}) {
    std::error_code ignored;
    fs::permissions(platform::FsPath(*file), fs::perms::owner_write, fs::perm_options::add,
                    ignored);
  }
  return {};
}

}  // namespace app
