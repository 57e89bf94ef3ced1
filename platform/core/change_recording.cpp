// The change recording of power-cut tests: a list behind a mutex, and a flag read without it so
// that a File that is not being recorded pays one relaxed load.
#include "platform/core/change_recording.h"

#include <atomic>
#include <mutex>
#include <utility>

#include "platform/core/fault_injection.h"

namespace platform {
namespace {

std::atomic<bool> recording{false};
std::mutex changes_mutex;
std::vector<FileChange> changes;

}  // namespace

void StartRecordingFileChanges() {
  const std::lock_guard lock(changes_mutex);
  changes.clear();
  recording.store(true, std::memory_order_relaxed);
}

std::vector<FileChange> StopRecordingFileChanges() {
  const std::lock_guard lock(changes_mutex);
  recording.store(false, std::memory_order_relaxed);
  return std::exchange(changes, {});
}

size_t RecordedFileChangeCount() {
  const std::lock_guard lock(changes_mutex);
  return changes.size();
}

std::vector<FileChange> RecordedFileChanges() {
  const std::lock_guard lock(changes_mutex);
  return changes;
}

bool RecordingFileChanges() { return recording.load(std::memory_order_relaxed); }

void RecordFileChange(FileChange change) {
  const std::lock_guard lock(changes_mutex);
  if (recording.load(std::memory_order_relaxed)) changes.push_back(std::move(change));
}

void NoteDeleted(std::string_view gbk_path) {
  if (RecordingFileChanges()) {
    RecordFileChange({FileChange::Kind::kDelete, AbsoluteNormalPath(gbk_path), 0, {}});
  }
}

}  // namespace platform
