#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "writing_history/history.h"

// The history on the disk: read once at the start, rewritten whole (atomically: the old
// file or the new one, never a torn one) when it changed.
namespace writing_history {

enum class HistoryFileState { kRead, kMissing, kUnreadable, kDamaged };

// The largest file taken for a history: a century of days in the desk's own layout (some 80
// bytes a day) stays under it; a larger file was not written by the desk and is not read into
// memory at all.
inline constexpr int64_t kLargestHistoryFile = int64_t{4} << 20;

// Reads the file at `gbk_path` into `history` without changing anything on the disk: kMissing
// when there is no file; kUnreadable when it is there but could not be read (no permission,
// another program holding it, an I/O error: nothing is known of its content, try again later);
// kDamaged when it is read but is no history (history_json.h), an empty file and one larger
// than kLargestHistoryFile included.
HistoryFileState ReadHistoryFile(std::string_view gbk_path, History* history);

struct LoadedHistory {
  History history;
  // Where a damaged file was moved (GBK); empty when the file was sound or missing.
  std::string kept_aside_as;
  // True when a damaged file could not be moved aside: a save would overwrite it, so the
  // desk keeps the new history in memory only until the author has seen why.
  bool damaged_file_in_place = false;
  // True when the file could not be read at all: it is left as it is, the history starts
  // empty, and the desk reads it again later (MergeHistoryFile) before it writes it.
  bool unreadable = false;
};

// The history in the file at `gbk_path`, for the desk. A missing file gives an empty history.
// A damaged one gives an empty history and is renamed "<name>.damaged-<stamp>.json" beside itself (-2, -3, … when that
// exists), so that nothing the author had is lost and the next save starts a new file.
// `stamp` names the moment (e.g. "20261209-174100").
LoadedHistory LoadHistory(std::string_view gbk_path, std::string_view stamp);

// Reads the file that could not be read at the start again and adds `history` (what was
// written since) to what it holds, into `history`. kRead when it was read (or is missing now:
// the history as it is); otherwise `history` is unchanged and the file must still not be
// written.
HistoryFileState MergeHistoryFile(std::string_view gbk_path, History* history);

// Replaces the file's content with the history; false (and the old file as it was) when it
// cannot be written.
bool SaveHistory(std::string_view gbk_path, const History& history);

}  // namespace writing_history
