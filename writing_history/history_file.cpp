#include "writing_history/history_file.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "commands/file_replacement.h"
#include "platform/core/file.h"
#include "platform/core/file_system.h"
#include "writing_history/history_json.h"

namespace writing_history {

namespace {

// The file's bytes, or the state that says why there are none.
HistoryFileState ReadWhole(std::string_view gbk_path, std::string* bytes) {
  platform::FileResult opened = platform::File::Open(
      gbk_path, platform::FileAccess::kRead, platform::ShareMode::kDenyWrite,
      platform::Disposition::kOpenExisting);
  if (opened.error == platform::FileError::kNotFound ||
      opened.error == platform::FileError::kPathNotFound) {
    return HistoryFileState::kMissing;
  }
  if (!opened.ok()) return HistoryFileState::kUnreadable;
  const int64_t size = opened.file->Size();
  if (size < 0) return HistoryFileState::kUnreadable;
  if (size > kLargestHistoryFile) return HistoryFileState::kDamaged;
  bytes->assign(static_cast<size_t>(size), '\0');
  if (opened.file->ReadAt(0, bytes->data(), size) != size) return HistoryFileState::kUnreadable;
  return HistoryFileState::kRead;
}

std::string KeptAsidePath(std::string_view gbk_path, std::string_view stamp) {
  std::string stem(gbk_path);
  if (stem.ends_with(".json")) stem.resize(stem.size() - 5);
  const std::string base = stem + ".damaged-" + std::string(stamp);
  std::string path = base + ".json";
  for (int n = 2; platform::FileExists(path); ++n) path = base + "-" + std::to_string(n) + ".json";
  return path;
}

}  // namespace

HistoryFileState ReadHistoryFile(std::string_view gbk_path, History* history) {
  std::string bytes;
  const HistoryFileState state = ReadWhole(gbk_path, &bytes);
  if (state != HistoryFileState::kRead) return state;
  std::optional<History> read = HistoryFromJson(bytes);
  if (!read) return HistoryFileState::kDamaged;
  *history = std::move(*read);
  return HistoryFileState::kRead;
}

LoadedHistory LoadHistory(std::string_view gbk_path, std::string_view stamp) {
  LoadedHistory loaded;
  const HistoryFileState state = ReadHistoryFile(gbk_path, &loaded.history);
  // A file that could not be read is no damaged file: it stays where it is, untouched.
  loaded.unreadable = state == HistoryFileState::kUnreadable;
  if (state != HistoryFileState::kDamaged) return loaded;
  const std::string aside = KeptAsidePath(gbk_path, stamp);
  if (platform::RenameFile(gbk_path, aside)) {
    loaded.kept_aside_as = aside;
  } else {
    loaded.damaged_file_in_place = true;
  }
  return loaded;
}

HistoryFileState MergeHistoryFile(std::string_view gbk_path, History* history) {
  History on_disk;
  const HistoryFileState state = ReadHistoryFile(gbk_path, &on_disk);
  if (state == HistoryFileState::kMissing) return HistoryFileState::kRead;
  if (state != HistoryFileState::kRead) return state;
  on_disk.Add(*history);
  *history = std::move(on_disk);
  return HistoryFileState::kRead;
}

bool SaveHistory(std::string_view gbk_path, const History& history) {
  const std::string json = HistoryToJson(history);
  const std::array pieces = {
      std::span(reinterpret_cast<const uint8_t*>(json.data()), json.size())};
  return commands::ReplaceFileContent(gbk_path, std::span<const std::span<const uint8_t>>(pieces));
}

}  // namespace writing_history
