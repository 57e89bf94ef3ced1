#include "platform/core/lock_retry.h"

#include "platform/core/clock.h"

namespace platform {
namespace {

// Calls `attempt` until it returns false (done) or the wait runs out.
void RetryWhileColliding(const std::function<bool()>& attempt_collided, int32_t wait_ms) {
  const uint32_t start = TickCount();
  while (attempt_collided()) {
    if (wait_ms == 0) return;
    const uint32_t now = TickCount();
    if (wait_ms > 0 && now - start > static_cast<uint32_t>(wait_ms)) return;
    SleepMilliseconds(static_cast<int32_t>(20 + now % 20));
  }
}

}  // namespace

LockResult LockWithRetry(const std::function<LockResult()>& attempt, int32_t wait_ms) {
  LockResult result = LockResult::kLockViolation;
  RetryWhileColliding(
      [&] {
        result = attempt();
        return result == LockResult::kLockViolation;
      },
      wait_ms);
  return result;
}

LockResult LockWithRetry(File& file, int64_t offset, int64_t length, int32_t wait_ms) {
  return LockWithRetry([&] { return file.TryLock(offset, length); }, wait_ms);
}

FileResult OpenWithRetry(std::string_view gbk_path, FileAccess access, ShareMode share,
                         Disposition disposition, int32_t wait_ms) {
  FileResult result;
  RetryWhileColliding(
      [&] {
        result = File::Open(gbk_path, access, share, disposition);
        return result.error == FileError::kSharingViolation;
      },
      wait_ms);
  return result;
}

}  // namespace platform
