#include "platform/core/lock_retry.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/core/clock.h"
#include "tests/platform/core/test_support.h"
#include "tests/support/child_process.h"

namespace platform {
namespace {

using core_test::TempFolder;

// An attempt that fails with a lock violation `failures` times, then returns `final_result`, and
// records when it was called.
struct ScriptedAttempt {
  explicit ScriptedAttempt(int failures, LockResult final_result = LockResult::kLocked)
      : failures(failures), final_result(final_result) {}

  int failures;
  LockResult final_result;
  std::vector<uint32_t> ticks;

  LockResult operator()() {
    ticks.push_back(TickCount());
    return static_cast<int>(ticks.size()) <= failures ? LockResult::kLockViolation : final_result;
  }
};

LockResult RunAttempts(ScriptedAttempt& attempt, int32_t wait_ms) {
  return LockWithRetry([&] { return attempt(); }, wait_ms);
}

TEST(LockRetry, ZeroWaitOrAnotherResultEndsAtOnce) {
  const struct {
    int32_t wait_ms;
    int failures;
    LockResult final_result;
    LockResult expected;
  } cases[] = {
      {0, 1, LockResult::kLocked, LockResult::kLockViolation},
      {0, 0, LockResult::kLocked, LockResult::kLocked},
      {-1, 0, LockResult::kIoError, LockResult::kIoError},
      {-1, 0, LockResult::kNotSupported, LockResult::kNotSupported},
  };
  for (const auto& c : cases) {
    ScriptedAttempt attempt(c.failures, c.final_result);
    EXPECT_EQ(RunAttempts(attempt, c.wait_ms), c.expected);
    EXPECT_EQ(attempt.ticks.size(), 1u);
  }
}

TEST(LockRetry, UnlimitedWaitRetriesWithPausesOfAtLeast20ms) {
  ScriptedAttempt attempt(3);
  EXPECT_EQ(RunAttempts(attempt, -1), LockResult::kLocked);
  ASSERT_EQ(attempt.ticks.size(), 4u);
  for (size_t i = 1; i < attempt.ticks.size(); ++i) {
    EXPECT_GE(attempt.ticks[i] - attempt.ticks[i - 1], 20u);
  }
}

TEST(LockRetry, LimitedWaitGivesUpAfterTheLimit) {
  ScriptedAttempt attempt(1000000);
  EXPECT_EQ(RunAttempts(attempt, 100), LockResult::kLockViolation);
  ASSERT_GE(attempt.ticks.size(), 2u);
  // The last retry started no later than the limit allowed (plus one pause).
  EXPECT_LE(attempt.ticks.back() - attempt.ticks.front(), 100u + 40u + 200u /* slack */);
  EXPECT_GT(TickCount() - attempt.ticks.front(), 100u);
}

// Locks the first 16 bytes for 100 ms.
INKSTONE_CHILD_MODE(HoldLockBriefly) {
  FileResult opened = File::Open(arguments[0], FileAccess::kReadWrite, ShareMode::kDenyNone,
                                 Disposition::kOpenAlways);
  if (!opened.ok() || opened.file->TryLock(0, 16) != LockResult::kLocked) return 1;
  test_support::SignalParent();
  SleepMilliseconds(100);
  return 0;
}

// Holds a new file open exclusively for 100 ms.
INKSTONE_CHILD_MODE(HoldOpenBriefly) {
  FileResult opened = File::Open(arguments[0], FileAccess::kReadWrite, ShareMode::kExclusive,
                                 Disposition::kCreateNew);
  if (!opened.ok()) return 1;
  test_support::SignalParent();
  SleepMilliseconds(100);
  return 0;
}

TEST(LockRetry, SucceedsWhenAnotherProcessReleasesWithinTheWait) {
  TempFolder temp;
  const std::string path = temp.GbkPath("db");
  test_support::Child child("HoldLockBriefly", {path});
  ASSERT_TRUE(child.WaitReady());
  FileResult opened =
      File::Open(path, FileAccess::kReadWrite, ShareMode::kDenyNone, Disposition::kOpenAlways);
  ASSERT_TRUE(opened.ok());
  EXPECT_EQ(LockWithRetry(*opened.file, 8, 1, 0), LockResult::kLockViolation);
  EXPECT_EQ(LockWithRetry(*opened.file, 8, 1, 5000), LockResult::kLocked);
  EXPECT_EQ(child.Wait(), 0);
}

TEST(OpenRetry, SucceedsWhenAnotherProcessClosesWithinTheWait) {
  TempFolder temp;
  const std::string path = temp.GbkPath("章.txt");
  test_support::Child child("HoldOpenBriefly", {path});
  ASSERT_TRUE(child.WaitReady());
  EXPECT_EQ(
      OpenWithRetry(path, FileAccess::kRead, ShareMode::kDenyNone, Disposition::kOpenExisting, 0)
          .error,
      FileError::kSharingViolation);
  EXPECT_TRUE(
      OpenWithRetry(path, FileAccess::kRead, ShareMode::kDenyNone, Disposition::kOpenExisting, 5000)
          .ok());
  EXPECT_EQ(child.Wait(), 0);
  // Errors other than a sharing violation are not retried.
  const uint32_t start = TickCount();
  EXPECT_EQ(OpenWithRetry(temp.GbkPath("missing"), FileAccess::kRead, ShareMode::kDenyNone,
                          Disposition::kOpenExisting, -1)
                .error,
            FileError::kNotFound);
  EXPECT_LT(TickCount() - start, 1000u);
}

}  // namespace
}  // namespace platform
