#include "database/byte_locks.h"

#include <algorithm>
#include <atomic>

#include "database/error_codes.h"
#include "platform/core/lock_retry.h"

namespace database {
namespace {

std::atomic<int32_t> lock_wait{0};

constexpr int64_t kWholeFileEnd = 0x80000000;  // the whole-file lock covers 0 … 0x7FFFFFFF

int32_t LockCode(platform::LockResult result) {
  switch (result) {
    case platform::LockResult::kLocked:
    case platform::LockResult::kNotSupported:  // a file system without locks: go on
      return code::kOk;
    case platform::LockResult::kLockViolation:
      return code::kLockViolation;
    default:
      return code::kLockFailed;
  }
}

}  // namespace

int32_t LockWait() { return lock_wait.load(); }
void SetLockWait(int32_t milliseconds) { lock_wait.store(milliseconds); }
int32_t HeaderLockWait() {
  const int32_t wait = LockWait();
  return wait <= 2000 ? 2000 : wait;
}

int32_t ByteLocks::Lock(int64_t offset, int32_t wait_ms) {
  if (offset < 0) return code::kLockFailed;
  if (depth_ > 0) return code::kOk;
  for (Held& held : held_) {
    if (held.offset == offset) {
      ++held.count;
      return code::kOk;
    }
  }
  const int32_t result = LockCode(platform::LockWithRetry(*file_, offset, 1, wait_ms));
  if (result == code::kOk) held_.push_back({offset, 0});
  return result;
}

int32_t ByteLocks::Unlock(int64_t offset) {
  if (offset < 0) return code::kUnlockFailed;
  if (depth_ > 0) return code::kOk;
  const auto held = std::find_if(held_.begin(), held_.end(),
                                 [&](const Held& entry) { return entry.offset == offset; });
  if (held == held_.end()) return code::kUnlockFailed;
  if (held->count > 0) {
    --held->count;
    return code::kOk;
  }
  held_.erase(held);
  return file_->Unlock(offset, 1) ? code::kOk : code::kUnlockFailed;
}

int32_t ByteLocks::LockAll(int32_t wait_ms) {
  if (depth_++ > 0) return code::kOk;
  std::vector<int64_t> singles;
  for (const Held& held : held_) singles.push_back(held.offset);
  std::sort(singles.begin(), singles.end());
  std::vector<Range> ranges;
  int64_t start = 0;
  for (int64_t single : singles) {
    if (single >= kWholeFileEnd) break;
    if (single > start) ranges.push_back({start, single - start});
    start = single + 1;
  }
  if (start < kWholeFileEnd) ranges.push_back({start, kWholeFileEnd - start});

  for (size_t i = 0; i < ranges.size(); ++i) {
    const int32_t result =
        LockCode(platform::LockWithRetry(*file_, ranges[i].offset, ranges[i].length, wait_ms));
    if (result != code::kOk) {
      for (size_t j = 0; j < i; ++j) file_->Unlock(ranges[j].offset, ranges[j].length);
      depth_ = 0;
      return result;
    }
  }
  whole_ranges_ = std::move(ranges);
  return code::kOk;
}

int32_t ByteLocks::UnlockAll() {
  if (depth_ <= 0) return code::kUnlockFailed;
  if (--depth_ > 0) return code::kOk;
  bool ok = true;
  for (const Range& range : whole_ranges_) ok = file_->Unlock(range.offset, range.length) && ok;
  whole_ranges_.clear();
  return ok ? code::kOk : code::kUnlockFailed;
}

void ByteLocks::ReleaseEverything() {
  if (file_ != nullptr && file_->IsOpen()) {
    for (const Range& range : whole_ranges_) file_->Unlock(range.offset, range.length);
    for (const Held& held : held_) file_->Unlock(held.offset, 1);
  }
  whole_ranges_.clear();
  held_.clear();
  depth_ = 0;
}

}  // namespace database
