#pragma once

#include <string_view>
#include <vector>

#include "platform/core/change_recording.h"

namespace test_support {

// True when the recorded changes wrote a file with `extension` (".edb") and flushed it after
// its last write: what was written is on the disk.
inline bool WrittenThenFlushed(const std::vector<platform::FileChange>& changes,
                               std::string_view extension) {
  bool written = false;
  bool flushed = false;
  for (const platform::FileChange& change : changes) {
    if (change.file.extension() != extension) continue;
    if (change.kind == platform::FileChange::Kind::kWrite) written = true, flushed = false;
    if (change.kind == platform::FileChange::Kind::kFlush) flushed = true;
  }
  return written && flushed;
}

}  // namespace test_support
