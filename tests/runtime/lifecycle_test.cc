// How a program starts and ends, each run as its own process: exit codes, the end
// routine, library notifications and the runtime error box as the user sees it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/program_process.h"

namespace {

// A process's exit status of exit(-1): the low byte on Linux, the whole code on Windows.
#ifdef _WIN32
constexpr int kMinusOneStatus = -1;
#else
constexpr int kMinusOneStatus = 255;
#endif

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
  const auto start = std::chrono::steady_clock::now();
  const std::string log_path =
      (std::filesystem::temp_directory_path() /
       ("inkstone-probe-" + std::to_string(start.time_since_epoch().count()) + "-" + scenario))
          .string();
  std::filesystem::remove(log_path);
  test_support::SetVariable("INKSTONE_PROBE_LOG", log_path);
  test_support::SetVariable("QT_QPA_PLATFORM", "offscreen");
  test_support::ProgramProcess probe(PROBE_PATH, {scenario});
  EXPECT_TRUE(probe.Started());
  if (!probe.WaitAtMost(60000)) {  // a hung box or loop
    probe.Kill();
    ADD_FAILURE() << scenario << " hung";
  }
  ProbeRun run;
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  run.exit_code = probe.Wait().value_or(-1000);
  {  // closed before its removal: Windows removes no open file
    std::ifstream in(log_path);
    for (std::string line; std::getline(in, line);) run.log.push_back(line);
  }
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
  EXPECT_EQ(run.exit_code, kMinusOneStatus);
  EXPECT_EQ(run.Count("box 错误: 运行时出错!||错误代码：1||错误信息：数组成员引用下标超出定义范围|"), 1);
  EXPECT_EQ(run.Count("end routine"), 0);
  EXPECT_EQ(run.Count("notify 6"), 1);  // the libraries are still told
}

TEST(RuntimeErrorBox, MissingStartupWindowIsReported) {
  const ProbeRun run = RunProbe("missing-startup-window");
  EXPECT_EQ(run.exit_code, kMinusOneStatus);
  EXPECT_EQ(run.Count("box 错误: 运行时出错!||错误信息：载入启动窗口失败|"), 1);
  EXPECT_EQ(run.Count("not reached"), 0);
  EXPECT_EQ(run.Count("end routine"), 0);
}

TEST(RuntimeErrorBox, FailedAllocationNamesTheByteCount) {
  const ProbeRun run = RunProbe("allocation-failure");
  EXPECT_EQ(run.exit_code, kMinusOneStatus);
  EXPECT_EQ(run.Count("box 错误: 运行时出错!||错误信息：分配 -1 字节内存失败!|"), 1);
}

}  // namespace
