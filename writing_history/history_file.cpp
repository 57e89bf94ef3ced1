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

// A history of years is some tens of kilobytes; anything far larger was not written by us.
constexpr int64_t kLargestFile = 64 << 20;

// The file's bytes; nullopt when it cannot be read (missing: `missing` is set).
std::optional<std::string> ReadWhole(std::string_view gbk_path, bool* missing) {
  platform::FileResult opened = platform::File::Open(
      gbk_path, platform::FileAccess::kRead, platform::ShareMode::kDenyWrite,
      platform::Disposition::kOpenExisting);
  *missing = opened.error == platform::FileError::kNotFound ||
             opened.error == platform::FileError::kPathNotFound;
  if (!opened.ok()) return std::nullopt;
  const int64_t size = opened.file->Size();
  if (size < 0 || size > kLargestFile) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (opened.file->ReadAt(0, bytes.data(), size) != size) return std::nullopt;
  return bytes;
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
  bool missing = false;
  const std::optional<std::string> bytes = ReadWhole(gbk_path, &missing);
  if (missing) return HistoryFileState::kMissing;
  std::optional<History> read = bytes ? HistoryFromJson(*bytes) : std::nullopt;
  if (!read) return HistoryFileState::kDamaged;
  *history = std::move(*read);
  return HistoryFileState::kRead;
}

LoadedHistory LoadHistory(std::string_view gbk_path, std::string_view stamp) {
  LoadedHistory loaded;
  const HistoryFileState state = ReadHistoryFile(gbk_path, &loaded.history);
  if (state != HistoryFileState::kDamaged) return loaded;
  const std::string aside = KeptAsidePath(gbk_path, stamp);
  if (platform::RenameFile(gbk_path, aside)) {
    loaded.kept_aside_as = aside;
  } else {
    loaded.damaged_file_in_place = true;
  }
  return loaded;
}

bool SaveHistory(std::string_view gbk_path, const History& history) {
  const std::string json = HistoryToJson(history);
  const std::array pieces = {
      std::span(reinterpret_cast<const uint8_t*>(json.data()), json.size())};
  return commands::ReplaceFileContent(gbk_path, std::span<const std::span<const uint8_t>>(pieces));
}

}  // namespace writing_history
