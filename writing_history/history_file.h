#pragma once

#include <string>
#include <string_view>

#include "writing_history/history.h"

// The history on the disk: read once at the start, rewritten whole (atomically: the old
// file or the new one, never a torn one) when it changed.
namespace writing_history {

enum class HistoryFileState { kRead, kMissing, kDamaged };

// Reads the file at `gbk_path` into `history` without changing anything on the disk: kMissing
// when there is no file, kDamaged when it cannot be read as a history (history_json.h), an
// empty file included.
HistoryFileState ReadHistoryFile(std::string_view gbk_path, History* history);

struct LoadedHistory {
  History history;
  // Where a damaged file was moved (GBK); empty when the file was sound or missing.
  std::string kept_aside_as;
  // True when a damaged file could not be moved aside: a save would overwrite it, so the
  // desk keeps the new history in memory only until the author has seen why.
  bool damaged_file_in_place = false;
};

// The history in the file at `gbk_path`, for the desk. A missing file gives an empty history.
// A damaged one gives an empty history and is renamed "<name>.damaged-<stamp>.json" beside itself (-2, -3, … when that
// exists), so that nothing the author had is lost and the next save starts a new file.
// `stamp` names the moment (e.g. "20261209-174100").
LoadedHistory LoadHistory(std::string_view gbk_path, std::string_view stamp);

// Replaces the file's content with the history; false (and the old file as it was) when it
// cannot be written.
bool SaveHistory(std::string_view gbk_path, const History& history);

}  // namespace writing_history
