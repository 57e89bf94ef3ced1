// Another program run by a test as its own process, on every system: started with text
// arguments (UTF-8), it inherits the test's environment and standard streams.
//
//   test_support::ProgramProcess desk(folder / "inkstone.exe", {"--desk"});
//   ASSERT_TRUE(desk.Started());
//   desk.RequestEnd();
//   EXPECT_EQ(desk.Wait(), 0);
//
// SetVariable and UnsetVariable change the test's environment, which programs started after
// inherit.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

class ProgramProcess {
 public:
  ProgramProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments);
  ~ProgramProcess();  // kills the program if it still runs, and waits for it
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  bool Started() const;
  // The system's request to end, as at a log-off or shutdown: SIGTERM on Linux; on Windows the
  // session-end query (WM_QUERYENDSESSION) sent to the program's window.
  void RequestEnd();
  // Ends the program at once, as a crash would (SIGKILL, TerminateProcess).
  void Kill();
  // The exit code; none when the program did not exit by itself (killed, or never started).
  std::optional<int> Wait();
  // False when the program still runs after `timeout_ms`.
  bool WaitAtMost(int timeout_ms);

 private:
  struct Handle;
  Handle* handle_;
};

// UTF-8 names and values.
void SetVariable(const std::string& name, const std::string& value);
void UnsetVariable(const std::string& name);

}  // namespace test_support
