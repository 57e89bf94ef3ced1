#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>
#include <thread>
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

// Waits until a file written now gets a later modification time than every one of `files`
// (the file system's clock moves in ticks): a write made after this returns moves their times.
// False when the clock did not move within ten seconds.
inline bool WaitPastModificationTimes(const std::vector<std::filesystem::path>& files) {
  namespace fs = std::filesystem;
  const fs::path probe = files.front().parent_path() / "clock-probe";
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool past = false;
  while (!past && std::chrono::steady_clock::now() < give_up) {
    std::ofstream(probe, std::ios::trunc) << "tick";
    past = true;
    for (const fs::path& file : files) {
      past = past && fs::last_write_time(probe) > fs::last_write_time(file);
    }
    if (!past) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  std::error_code ignored;
  fs::remove(probe, ignored);
  return past;
}

}  // namespace test_support
