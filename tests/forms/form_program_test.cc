// The test program run as a process: it shows its window, fires the first events in
// order, runs its timer's events only after loading, and ends with exit code 0 when the
// window is closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/program_process.h"

namespace {

TEST(FormProgram, RunsUntilItsWindowIsClosedThenEndsWithZero) {
  const std::string log_path =
      (std::filesystem::temp_directory_path() /
       ("inkstone-form-probe-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count())))
          .string();
  test_support::SetVariable("INKSTONE_PROBE_LOG", log_path);
  test_support::SetVariable("QT_QPA_PLATFORM", "offscreen");
  test_support::ProgramProcess probe(FORM_PROBE_PATH, {});
  ASSERT_TRUE(probe.Started());
  EXPECT_EQ(probe.Wait(), 0);

  std::vector<std::string> log;
  {  // closed before its removal: Windows removes no open file
    std::ifstream in(log_path);
    for (std::string line; std::getline(in, line);) log.push_back(line);
  }
  std::filesystem::remove(log_path);
  ASSERT_GE(log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 3),
            (std::vector<std::string>{"Created", "Moved", "Resized"}));
  const auto count = [&](const std::string& entry) { return std::count(log.begin(), log.end(), entry); };
  EXPECT_GE(count("Tick"), 5);  // a 10 ms timer over 300 ms, none before Created
  EXPECT_EQ(count("CloseQuery"), 1);
  EXPECT_EQ(count("Destroying"), 1);
  EXPECT_EQ(log.back(), "Destroying");  // nothing after the window went
}

}  // namespace
