// The long crash test, outside the suite:
//   database_crash_stress [rounds] [save interval ms] [max kill delay ms] [seed]
// The defaults save ten times a second, as the application does, and kill 2000 times.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "tests/database/crash_harness.h"
#include "tests/support/child_process.h"

int main(int argc, char** argv) {
  // The harness starts this program again for its children.
  if (const std::optional<int> code = test_support::RunChildMode(argc, argv)) return *code;
  database::testing::CrashOptions options;
  options.rounds = argc > 1 ? std::atoi(argv[1]) : 2000;
  options.save_interval_ms = argc > 2 ? std::atoi(argv[2]) : 100;
  options.max_kill_delay_ms = argc > 3 ? std::atoi(argv[3]) : 400;
  options.seed = argc > 4 ? static_cast<uint32_t>(std::atoi(argv[4])) : 7;
  options.verbose = true;
  std::random_device random;
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() /
      ("inkstone-crash-" + std::to_string(random()) + "-" + std::to_string(random()));
  std::filesystem::create_directories(folder);
  const database::testing::CrashSummary summary =
      database::testing::RunCrashRounds(folder.string(), options);
  std::printf("%d rounds, %lld saves and %d packs finished, %d failures\n", summary.rounds,
              static_cast<long long>(summary.saves_finished), summary.packs_finished,
              summary.failures);
  if (summary.failures > 0) {
    std::printf("%s\nfiles kept in %s\n", summary.first_failure.c_str(), folder.string().c_str());
    return 1;
  }
  std::filesystem::remove_all(folder);
  return 0;
}
