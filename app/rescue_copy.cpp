#include "app/rescue_copy.h"

#include <cstdlib>
#include <filesystem>
#include <span>
#include <system_error>
#include <vector>

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"

namespace app {

namespace {

using runtime::ArgCell;

// The author's home folder as a GBK path; empty when the system does not say.
std::string HomeFolder() {
#ifdef _WIN32
  const char* home = std::getenv("USERPROFILE");
#else
  const char* home = std::getenv("HOME");
#endif
  if (home == nullptr || *home == '\0') return {};
  return platform::GbkPath(home);
}

std::string TemporaryFolder() {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::temp_directory_path(error);
  if (error) return {};
  // Windows (and a TMPDIR so written) gives it with a closing separator; the copy's path adds
  // its own, and the author reads that path.
  if (!folder.has_filename() && folder.has_relative_path()) folder = folder.parent_path();
  return platform::GbkPathOf(folder);
}

// The places, in the order they are tried; each made if missing.
std::vector<std::string> RescueFolders() {
  std::vector<std::string> folders = {InProgramFolder(texts::kAutosaveBackupFolder)};
  if (const std::string home = HomeFolder(); !home.empty())
    folders.push_back(home + texts::kRescueFolderName);
  if (const std::string temporary = TemporaryFolder(); !temporary.empty())
    folders.push_back(temporary);
  return folders;
}

bool WriteWhole(const std::string& path, std::string_view bytes) {
  const runtime::Text target(path);
  const runtime::ByteSet content(
      std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
  return IsTrue(Core(libraries::kWriteBytesToFile, {target.Arg(), content.Arg()}));
}

}  // namespace

std::string WriteRescueCopy(std::string_view stem, std::string_view name_gbk,
                            std::string_view text_gbk) {
  const std::string content =
      std::string(name_gbk) + texts::kLineBreak + texts::kLineBreak + std::string(text_gbk);
  const std::string content_utf8 = platform::GbkToUtf8(content);
  for (const std::string& folder : RescueFolders()) {
    const runtime::Text folder_path(folder);
    Core(libraries::kCreateDirectory, {folder_path.Arg()});
    const std::string path = folder + "\\" + std::string(stem) + ".txt";
    const std::string utf8_path = folder + "\\" + std::string(stem) + texts::kRescueUtf8Suffix;
    if (WriteWhole(path, content) && WriteWhole(utf8_path, content_utf8)) return path;
  }
  return {};
}

}  // namespace app
