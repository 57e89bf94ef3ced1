#include "app/rescue_copy.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "platform/core/file.h"
#include "platform/core/file_system.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"

namespace app {

namespace {

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

// The folder of this user's rescue copies inside the shared temporary folder: a name others
// could take first is taken only when it is this user's own folder (MakePrivateDirectory).
std::string TemporaryRescueFolder(const std::string& temporary) {
#ifdef _WIN32
  return temporary + texts::kRescueFolderName;
#else
  return temporary + texts::kRescueFolderName + "-" + std::to_string(geteuid());
#endif
}

struct Place {
  std::string folder;
  bool own;        // a folder of the author's alone: made private
  bool temporary;  // emptied by a restart
};

// The places, in the order they are tried.
std::vector<Place> RescuePlaces() {
  std::vector<Place> places = {{InProgramFolder(texts::kAutosaveBackupFolder), false, false}};
  if (const std::string home = HomeFolder(); !home.empty())
    places.push_back({home + texts::kRescueFolderName, true, false});
  if (const std::string temporary = TemporaryFolder(); !temporary.empty())
    places.push_back({TemporaryRescueFolder(temporary), true, true});
  return places;
}

bool MakePlace(const Place& place) {
  if (place.own) return platform::MakePrivateDirectory(place.folder);
  return platform::CreateDirectory(place.folder) || platform::DirectoryExists(place.folder);
}

// Replaces `path` whole by `bytes` through a file of the owner's alone, made new under a
// temporary name beside it (a link found there is removed, never followed) and renamed into
// place once it is on the disk: no one else reads the copy, and it is never seen torn.
bool WritePrivately(const std::string& path, std::string_view bytes) {
  const std::string temporary = path + ".inkstone-new";
  platform::DeleteFile(temporary);  // left by a write cut short
  platform::FileResult opened = platform::File::Open(
      temporary, platform::FileAccess::kWrite, platform::ShareMode::kExclusive,
      platform::Disposition::kCreatePrivate);
  if (!opened.ok()) return false;
  const auto size = static_cast<int64_t>(bytes.size());
  const bool written = opened.file->WriteAt(0, bytes.data(), size) == size && opened.file->Flush();
  opened.file->Close();
  if (written && platform::RenameFile(temporary, path)) return true;
  platform::DeleteFile(temporary);
  return false;
}

}  // namespace

RescueCopy WriteRescueCopy(std::string_view stem, std::string_view name_gbk,
                           std::string_view text_gbk) {
  const std::string content =
      std::string(name_gbk) + texts::kLineBreak + texts::kLineBreak + std::string(text_gbk);
  const std::string content_utf8 = platform::GbkToUtf8(content);
  for (const Place& place : RescuePlaces()) {
    if (!MakePlace(place)) continue;
    const std::string path = place.folder + "\\" + std::string(stem) + ".txt";
    const std::string utf8_path = place.folder + "\\" + std::string(stem) + texts::kRescueUtf8Suffix;
    if (WritePrivately(path, content) && WritePrivately(utf8_path, content_utf8))
      return {path, place.temporary};
  }
  return {};
}

std::optional<RescuedText> ReadRescueCopy(const std::string& path) {
  platform::FileResult opened = platform::File::Open(
      path, platform::FileAccess::kRead, platform::ShareMode::kDenyNone,
      platform::Disposition::kOpenExisting);
  if (!opened.ok()) return std::nullopt;
  const int64_t size = opened.file->Size();
  if (size < 0 || size > kLargestRescueCopy) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (opened.file->ReadAt(0, bytes.data(), size) != size) return std::nullopt;
  const std::string separator = texts::kLineBreak + texts::kLineBreak;
  const size_t end_of_name = bytes.find(separator);
  if (end_of_name == std::string::npos) return std::nullopt;
  return RescuedText{bytes.substr(0, end_of_name), bytes.substr(end_of_name + separator.size())};
}

}  // namespace app
