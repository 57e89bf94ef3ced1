#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/file.h"

// Locks that keep other processes out while the engine works on a file. All are byte-range
// locks of the operating system:
//
//   main file   record i's lock is the byte at the record's first offset (data offset +
//               i × record size); the header lock is the byte at offset 16; the whole-file
//               lock covers 0 … 0x7FFFFFFF.
//   memo file   byte 0 guards the memo header (allocation and release of blocks); the byte at
//               a chain's first block (block × 512) is locked while that chain is read,
//               written or released.
//
// A collision is retried within the lock wait (lock_retry.h).

namespace database {

// The process-wide lock wait in milliseconds: 0 no retry (the initial value), -1 without
// limit, T > 0 retry for up to T ms.
int32_t LockWait();
void SetLockWait(int32_t milliseconds);

// The wait for the short locks that guard a header (record count, memo header, index
// header): the setting raised to 2000 ms when it is 2000 or less, so that two programs
// appending at once wait for each other instead of failing.
int32_t HeaderLockWait();

// Counted single-byte locks on one file and the whole-file lock above them.
class ByteLocks {
 public:
  ByteLocks() = default;
  explicit ByteLocks(platform::File* file) : file_(file) {}

  // An exclusively opened file takes no locks at all: depth 1 for good.
  void SetExclusive() { depth_ = 1; }
  int32_t depth() const { return depth_; }

  // Locks byte `offset`, or raises its count when it is held. Does nothing while the
  // whole-file lock is held. Returns 0 or an error code.
  int32_t Lock(int64_t offset, int32_t wait_ms);
  // Lowers the count; the last Unlock matching a Lock releases the byte.
  int32_t Unlock(int64_t offset);

  // Raises the whole-file depth; the step from 0 to 1 locks 0 … 0x7FFFFFFF minus the
  // single bytes already held, as separate ranges.
  int32_t LockAll(int32_t wait_ms);
  int32_t UnlockAll();

  // Drops every lock this object holds (on close).
  void ReleaseEverything();

 private:
  struct Held {
    int64_t offset;
    int32_t count;  // re-entries beyond the first
  };
  struct Range {
    int64_t offset;
    int64_t length;
  };

  platform::File* file_ = nullptr;
  int32_t depth_ = 0;
  std::vector<Held> held_;
  std::vector<Range> whole_ranges_;  // what the whole-file lock locked
};

// Locks a byte for the lifetime of the guard (only when Lock succeeded).
class ByteLockGuard {
 public:
  ByteLockGuard(ByteLocks& locks, int64_t offset, int32_t wait_ms)
      : locks_(locks), offset_(offset), result_(locks.Lock(offset, wait_ms)) {}
  ~ByteLockGuard() {
    if (result_ == 0) locks_.Unlock(offset_);
  }
  ByteLockGuard(const ByteLockGuard&) = delete;
  ByteLockGuard& operator=(const ByteLockGuard&) = delete;
  int32_t result() const { return result_; }

 private:
  ByteLocks& locks_;
  int64_t offset_;
  int32_t result_;
};

class WholeFileLockGuard {
 public:
  WholeFileLockGuard(ByteLocks& locks, int32_t wait_ms)
      : locks_(locks), result_(locks.LockAll(wait_ms)) {}
  ~WholeFileLockGuard() {
    if (result_ == 0) locks_.UnlockAll();
  }
  WholeFileLockGuard(const WholeFileLockGuard&) = delete;
  WholeFileLockGuard& operator=(const WholeFileLockGuard&) = delete;
  int32_t result() const { return result_; }

 private:
  ByteLocks& locks_;
  int32_t result_;
};

}  // namespace database
