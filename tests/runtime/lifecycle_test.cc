// How a program starts and ends, each run as its own process: exit codes, the end
// routine, library notifications and the runtime error box as the user sees it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

struct ProbeRun {
  int exit_code = -1000;
  std::vector<std::string> log;
  double seconds = 0;

  int Count(const std::string& line) const {
    int n = 0;
    for (const std::string& l : log) n += l == line;
    return n;
  }
};

ProbeRun RunProbe(const std::string& scenario) {
  const std::string log_path = (std::filesystem::temp_directory_path() /
                                ("inkstone-probe-" + std::to_string(getpid()) + "-" + scenario))
                                   .string();
  std::filesystem::remove(log_path);
  setenv("INKSTONE_PROBE_LOG", log_path.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  std::string program = PROBE_PATH;
  char* argv[] = {program.data(), const_cast<char*>(scenario.c_str()), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid;
  EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
  int status = 0;
  for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; ++waited) {
    if (waited > 600) {  // 60 s: a hung box or loop
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      ADD_FAILURE() << scenario << " hung";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ProbeRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
  std::ifstream in(log_path);
  for (std::string line; std::getline(in, line);) run.log.push_back(line);
  std::filesystem::remove(log_path);
  return run;
}

TEST(ProgramEnd, NormalEndRunsTheEndRoutineOnceAndTellsTheLibraries) {
  const ProbeRun run = RunProbe("normal");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.Count("loop returned"), 1);
  EXPECT_EQ(run.Count("end routine"), 1);
  EXPECT_EQ(run.Count("notify 1"), 1);
  EXPECT_EQ(run.Count("notify 6"), 1);
}

TEST(ProgramEnd, EndProgramOnTheMainThreadUsesItsCode) {
  const ProbeRun run = RunProbe("end-program");
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.Count("end routine"), 1);
  EXPECT_EQ(run.Count("notify 6"), 1);
  EXPECT_EQ(run.Count("not reached"), 0);
}

TEST(ProgramEnd, EndProgramFromAWorkerEndsAProcessWhoseMainThreadIsBusy) {
  const ProbeRun run = RunProbe("end-from-worker");
  EXPECT_EQ(run.exit_code, 7);
  EXPECT_EQ(run.Count("main thread finished its work"), 0);
  EXPECT_LT(run.seconds, 15.0);
}

TEST(RuntimeErrorBox, NumberedErrorShowsTheBoxThenEndsWithMinusOne) {
  const ProbeRun run = RunProbe("runtime-error");
  EXPECT_EQ(run.exit_code, 255);  // -1 as a process exit status
  EXPECT_EQ(run.Count("box 错误: 运行时出错!||错误代码：1||错误信息：数组成员引用下标超出定义范围|"), 1);
  EXPECT_EQ(run.Count("end routine"), 0);
  EXPECT_EQ(run.Count("notify 6"), 1);  // the libraries are still told
}

TEST(RuntimeErrorBox, MissingStartupWindowIsReported) {
  const ProbeRun run = RunProbe("missing-startup-window");
  EXPECT_EQ(run.exit_code, 255);
  EXPECT_EQ(run.Count("box 错误: 运行时出错!||错误信息：载入启动窗口失败|"), 1);
  EXPECT_EQ(run.Count("not reached"), 0);
  EXPECT_EQ(run.Count("end routine"), 0);
}

TEST(RuntimeErrorBox, FailedAllocationNamesTheByteCount) {
  const ProbeRun run = RunProbe("allocation-failure");
  EXPECT_EQ(run.exit_code, 255);
  EXPECT_EQ(run.Count("box 错误: 运行时出错!||错误信息：分配 -1 字节内存失败!|"), 1);
}

}  // namespace
