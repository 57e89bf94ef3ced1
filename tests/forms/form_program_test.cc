// The test program run as a process: it shows its window, fires the first events in
// order, runs its timer's events only after loading, and ends with exit code 0 when the
// window is closed.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

TEST(FormProgram, RunsUntilItsWindowIsClosedThenEndsWithZero) {
  const std::string log_path =
      (std::filesystem::temp_directory_path() / ("inkstone-form-probe-" + std::to_string(getpid())))
          .string();
  setenv("INKSTONE_PROBE_LOG", log_path.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::string program = FORM_PROBE_PATH;
  char* argv[] = {program.data(), nullptr};
  pid_t pid;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  std::vector<std::string> log;
  std::ifstream in(log_path);
  for (std::string line; std::getline(in, line);) log.push_back(line);
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
