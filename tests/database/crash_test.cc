// The crash test as the suite runs it: a few hundred kills at random moments.

#include <cstdio>

#include "tests/database/crash_harness.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

TEST(CrashSafety, KilledAtRandomMomentsTheChaptersStayWhole) {
  TempFolder folder;
  CrashOptions options;
#if defined(__SANITIZE_ADDRESS__)
  options.rounds = 150;  // the sanitizer build runs several times slower
#else
  options.rounds = 300;
#endif
  options.save_interval_ms = 2;
  options.max_kill_delay_ms = 40;
  options.seed = 20240607;
  const CrashSummary summary = RunCrashRounds(folder.Native(""), options);
  EXPECT_EQ(summary.failures, 0) << summary.first_failure;
  EXPECT_EQ(summary.rounds, options.rounds);
  // The kills are timed from the child's open, so most land after a few saves.
  EXPECT_GT(summary.saves_finished, options.rounds) << "the child got to work";
  std::printf("%lld saves and %d packs finished in %d kills\n",
              static_cast<long long>(summary.saves_finished), summary.packs_finished,
              summary.rounds);
  EXPECT_GT(summary.packs_finished, 0);
}

}  // namespace
}  // namespace database::testing
