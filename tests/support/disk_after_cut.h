#pragma once

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "platform/core/change_recording.h"

// What a disk holds after a power cut, rebuilt from recorded file changes
// (platform/core/change_recording.h), for the power-cut tests of every layer.
namespace test_support {

inline void ApplyFileChange(const platform::FileChange& change, std::string* bytes) {
  if (change.kind == platform::FileChange::Kind::kTruncate) {
    bytes->resize(static_cast<size_t>(change.offset));
    return;
  }
  const auto end = static_cast<size_t>(change.offset) + change.bytes.size();
  if (bytes->size() < end) bytes->resize(end);
  std::copy(change.bytes.begin(), change.bytes.end(), bytes->begin() + change.offset);
}

// The files (by name) after a power cut before change `cut`: what they held before the
// recording (`before`), every change flushed since, and (`keep_some`) a random choice of the
// changes made after their file's last flush, in their order.
inline std::map<std::string, std::string> DiskAfterCut(
    const std::map<std::string, std::string>& before,
    const std::vector<platform::FileChange>& changes, size_t cut, bool keep_some,
    std::mt19937& random) {
  using Kind = platform::FileChange::Kind;
  struct OnDisk {
    std::string flushed;
    std::vector<const platform::FileChange*> pending;
  };
  std::map<std::string, OnDisk> disk;
  for (const auto& [name, bytes] : before) disk[name].flushed = bytes;
  for (size_t i = 0; i < cut; ++i) {
    const platform::FileChange& change = changes[i];
    const std::string name = change.file.filename().string();
    switch (change.kind) {
      case Kind::kCreate:
        disk[name] = {};
        break;
      case Kind::kDelete:
        disk.erase(name);
        break;
      case Kind::kFlush:
        for (const auto* pending : disk[name].pending) ApplyFileChange(*pending, &disk[name].flushed);
        disk[name].pending.clear();
        break;
      default:
        disk[name].pending.push_back(&change);
    }
  }
  std::map<std::string, std::string> files;
  for (auto& [name, file] : disk) {
    std::string bytes = file.flushed;
    for (const auto* pending : file.pending) {
      if (keep_some && random() % 2 == 0) ApplyFileChange(*pending, &bytes);
    }
    files[name] = bytes;
  }
  return files;
}

}  // namespace test_support
