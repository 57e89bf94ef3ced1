// The crash test as the suite runs it: a few hundred kills at random moments.

#include <cstdio>

#include "tests/database/crash_harness.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

TEST(CrashSafety, KilledAtRandomMomentsTheChaptersStayWhole) {
  TempFolder folder;
  CrashOptions options;
  options.rounds = 300;
  options.save_interval_ms = 2;
  options.max_kill_delay_ms = 40;
  options.seed = 20240607;
  const CrashSummary summary = RunCrashRounds(folder.Native(""), options);
  EXPECT_EQ(summary.failures, 0) << summary.first_failure;
  EXPECT_EQ(summary.rounds, options.rounds);
  // Most kills land after the child has saved a few times (fewer under the sanitizers).
  EXPECT_GT(summary.saves_finished, options.rounds / 4) << "the child got to work";
  std::printf("%lld saves and %d packs finished in %d kills\n",
              static_cast<long long>(summary.saves_finished), summary.packs_finished, summary.rounds);
  EXPECT_GT(summary.packs_finished, 0);
}

}  // namespace
}  // namespace database::testing
