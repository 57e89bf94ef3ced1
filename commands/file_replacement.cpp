#include "commands/file_replacement.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "commands/gbk_text.h"
#include "platform/core/code_page.h"
#include "platform/core/file.h"
#include "platform/core/file_system.h"
#include "platform/core/native_path.h"

namespace commands {

namespace {

constexpr const char* kTemporarySuffix = ".inkstone-new";

using platform::Disposition;
using platform::FileAccess;
using platform::ShareMode;

bool WriteAll(platform::File& file, std::span<const std::span<const uint8_t>> pieces) {
  int64_t offset = 0;
  for (const std::span<const uint8_t> piece : pieces) {
    if (piece.empty()) continue;
    const auto size = static_cast<int64_t>(piece.size());
    if (file.WriteAt(offset, piece.data(), size) != size) return false;
    offset += size;
  }
  return file.Flush();
}

// The new file gets the old one's permissions, as an overwrite in place would keep them.
void KeepPermissions(std::string_view gbk_from, std::string_view gbk_to) {
  std::error_code error;
  const std::filesystem::file_status old =
      std::filesystem::status(platform::FsPath(gbk_from), error);
  if (error) return;
  std::filesystem::permissions(platform::FsPath(gbk_to), old.permissions(), error);
}

// Renames the written temporary file over the target. Some systems refuse to replace a file that
// is still open: then the target is let go and the rename tried once more (a writer that opens
// the target in between makes it fail, as its write would have made ours fail in place).
bool MoveIntoPlace(const std::string& temporary, std::string_view gbk_path,
                   std::optional<platform::File>& target) {
  if (platform::RenameFile(temporary, gbk_path)) return true;
  if (!target) return false;
  target.reset();
  return platform::RenameFile(temporary, gbk_path);
}

}  // namespace

std::string TemporaryPathFor(std::string_view gbk_path) {
  const size_t name = FileNameOffset(gbk_path);
  std::string temporary(gbk_path.substr(0, name));
  const std::string_view file_name = gbk_path.substr(name);
  const std::string marked = "." + std::string(file_name) + kTemporarySuffix;
  // Measured in UTF-8, never shorter than the system's own count: a file system that keeps the
  // names as UTF-8 under a Windows layer (Wine's) limits the bytes.
  if (platform::GbkToUtf8(marked).size() <= platform::kLongestNativeName) return temporary + marked;
  // A name near the file system's limit has no room for the marks: the temporary file is named
  // by a hash of it instead (FNV-1a), still one per target.
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char c : file_name) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return temporary + "." + hex + kTemporarySuffix;
}

bool ReplaceFileContent(std::string_view gbk_path,
                        std::span<const std::span<const uint8_t>> pieces) {
  // A path that is empty or ends in a separator names no file.
  if (gbk_path.empty() || FileNameOffset(gbk_path) == gbk_path.size()) return false;

  // The target is held with exclusive sharing while the new content is written, so a write
  // fails, as it would in place, while anyone else has the file open.
  std::optional<platform::File> target;
  {
    platform::FileResult opened = platform::File::Open(
        gbk_path, FileAccess::kWrite, ShareMode::kExclusive, Disposition::kOpenExisting);
    if (opened.ok()) {
      target = std::move(opened.file);
    } else if (opened.error != platform::FileError::kNotFound) {
      return false;  // a missing folder, a folder, no permission or a sharing violation
    }
  }

  const std::string temporary = TemporaryPathFor(gbk_path);
  platform::FileResult opened = platform::File::Open(
      temporary, FileAccess::kWrite, ShareMode::kExclusive, Disposition::kCreateAlways);
  if (!opened.ok()) return false;  // another write of the same file is under way
  // Both files stay open until the rename is done: a second writer of the same target cannot
  // truncate the temporary file under this one, it fails on the sharing instead.
  bool ok = WriteAll(*opened.file, pieces);
  if (ok && target) KeepPermissions(gbk_path, temporary);
  ok = ok && MoveIntoPlace(temporary, gbk_path, target);
  if (!ok) platform::DeleteFile(temporary);
  return ok;
}

}  // namespace commands
