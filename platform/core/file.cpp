// What File does the same on every system: ownership, the fault hooks, and the platform's
// byte-range rules (no overlap with a range this File holds, unlock only what was locked).
#include "platform/core/file.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/core/change_recording.h"
#include "platform/core/disk_tally.h"
#include "platform/core/fault_injection.h"

namespace platform {
namespace {

// For calls that cannot be torn: true when an armed fault makes this call fail; a fault that ends
// the process does so here.
bool FailsByFault() {
  const std::optional<FaultAction> fault = TakeFileFault();
  if (!fault) return false;
  if (*fault == FaultAction::kFail) return true;
  EndProcessForFault();
}

}  // namespace

File::File(NativeHandle handle, FileAccess access, std::string_view gbk_path)
    : handle_(handle), access_(access), path_(AbsoluteNormalPath(gbk_path)) {}

File::~File() { Close(); }

File::File(File&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)),
      access_(other.access_),
      locked_(std::move(other.locked_)),
      path_(std::move(other.path_)),
      last_error_(other.last_error_),
      changes_(other.changes_),
      flushed_changes_(other.flushed_changes_),
      share_mode_enforced_(other.share_mode_enforced_) {
  other.locked_.clear();
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNoHandle);
    access_ = other.access_;
    locked_ = std::move(other.locked_);
    other.locked_.clear();
    path_ = std::move(other.path_);
    last_error_ = other.last_error_;
    changes_ = other.changes_;
    flushed_changes_ = other.flushed_changes_;
    share_mode_enforced_ = other.share_mode_enforced_;
  }
  return *this;
}

void File::Close() {
  if (IsOpen()) {
    CloseHandle();  // drops every lock of this handle
    handle_ = kNoHandle;
  }
  locked_.clear();
}

void File::NoteOpened(Disposition disposition) const {
  if (RecordingFileChanges() &&
      (disposition == Disposition::kCreateAlways || disposition == Disposition::kCreateNew ||
       disposition == Disposition::kCreatePrivate)) {
    RecordFileChange({FileChange::Kind::kCreate, path_, 0, {}});
  }
}

int64_t File::ReadAt(int64_t offset, void* buffer, int64_t count) {
  if (!CanRead() || offset < 0 || count < 0) return -1;
  if (TakeReadFault()) return -1;
  return ReadAll(offset, static_cast<char*>(buffer), count);
}

int64_t File::WriteAt(int64_t offset, const void* buffer, int64_t count) {
  ++changes_;
  if (!CanWrite() || offset < 0 || count < 0) {
    Failed(FileError::kAccessDenied);
    return -1;
  }
  if (count > 0 && LiesOnFullDisk(path_)) {
    Failed(FileError::kDiskFull);
    return -1;
  }
  const std::optional<FaultAction> fault = TakeFileFault();
  if (fault == FaultAction::kFail) {
    Failed(FileError::kIoError);
    return -1;
  }
  if (fault == FaultAction::kExit) EndProcessForFault();
  const int64_t to_write = fault == FaultAction::kTornWrite ? count / 2 : count;
  const bool written = WriteAll(offset, static_cast<const char*>(buffer), to_write);
  if (fault) EndProcessForFault();
  if (!written) {
    Failed(LastSystemError());
    return -1;
  }
  CountBytesWritten(count);
  if (RecordingFileChanges()) {
    RecordFileChange({FileChange::Kind::kWrite, path_, offset,
                      std::string(static_cast<const char*>(buffer), static_cast<size_t>(count))});
  }
  return count;
}

bool File::Truncate(int64_t size) {
  ++changes_;
  if (!CanWrite() || size < 0) {
    Failed(FileError::kAccessDenied);
    return false;
  }
  // Only a file that grows needs room; the size is asked only while a folder is full.
  if (LiesOnFullDisk(path_) && size > Size()) {
    Failed(FileError::kDiskFull);
    return false;
  }
  if (FailsByFault()) {
    Failed(FileError::kIoError);
    return false;
  }
  if (!TruncateTo(size)) {
    Failed(LastSystemError());
    return false;
  }
  if (RecordingFileChanges()) RecordFileChange({FileChange::Kind::kTruncate, path_, size, {}});
  return true;
}

bool File::Flush() {
  if (!IsOpen()) return false;
  const uint64_t flushing = changes_;
  if (FailsByFault()) {
    Failed(FileError::kIoError);
    return false;
  }
  const auto start = std::chrono::steady_clock::now();
  WaitFlushDelay();
  const bool faulted = TakeFlushFault();
  const bool flushed = !faulted && FlushToDevice();
  CountFlush(std::chrono::steady_clock::now() - start);
  if (!flushed) {
    Failed(faulted ? FileError::kIoError : LastSystemError());
    return false;
  }
  flushed_changes_ = flushing;
  if (RecordingFileChanges()) RecordFileChange({FileChange::Kind::kFlush, path_, 0, {}});
  return true;
}

LockResult File::TryLock(int64_t offset, int64_t length) {
  if (!IsOpen() || offset < 0 || length < 0 || length > kReservedLockBase ||
      offset > kReservedLockBase - length) {
    return LockResult::kIoError;
  }
  if (length == 0) return LockResult::kLocked;
  const bool overlaps_own = std::any_of(locked_.begin(), locked_.end(), [&](const Range& range) {
    return offset < range.offset + range.length && range.offset < offset + length;
  });
  if (overlaps_own) return LockResult::kLockViolation;
  const LockResult result = LockRange(offset, length);
  if (result == LockResult::kLocked || result == LockResult::kNotSupported) {
    locked_.push_back({offset, length});
  }
  return result;
}

bool File::Unlock(int64_t offset, int64_t length) {
  if (length == 0) return IsOpen();
  const auto held = std::find_if(locked_.begin(), locked_.end(), [&](const Range& range) {
    return range.offset == offset && range.length == length;
  });
  if (held == locked_.end()) return false;
  locked_.erase(held);
  return UnlockRange(offset, length);
}

}  // namespace platform
