// Child processes for tests, on every system: the test program starts itself again in a
// child mode, a function registered under a name, with text arguments. The child's standard
// input and output are pipes to the parent: the child tells the parent it is ready
// (SignalParent) and waits for the parent's word to go on (WaitForParent).
//
//   INKSTONE_CHILD_MODE(HoldLock) {  // int HoldLock(const std::vector<std::string>& arguments)
//     ... lock arguments[0] ...
//     test_support::SignalParent();
//     test_support::WaitForParent();
//     return 0;
//   }
//
//   test_support::Child child("HoldLock", {path});
//   ASSERT_TRUE(child.WaitReady());
//   ...
//   child.Go();
//   EXPECT_EQ(child.Wait(), 0);
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

using ChildMain = int (*)(const std::vector<std::string>& arguments);

// Registers a child mode; used through INKSTONE_CHILD_MODE at namespace scope.
struct ChildModeRegistration {
  ChildModeRegistration(const char* name, ChildMain main);
};

#define INKSTONE_CHILD_MODE(name)                                                       \
  static int name(const std::vector<std::string>& arguments);                           \
  static const ::test_support::ChildModeRegistration name##_registration(#name, &name); \
  static int name([[maybe_unused]] const std::vector<std::string>& arguments)

// For the test program's main: when the command line names a child mode, runs it and returns
// its exit code.
std::optional<int> RunChildMode(int argc, char** argv);

// In a child: tells the parent it is ready.
void SignalParent();
// In a child: waits for the parent's Go. Ends the process (exit code 101) when the parent is gone.
void WaitForParent();

class Child {
 public:
  // Starts this program in child mode `mode` with `arguments` (any bytes).
  Child(const std::string& mode, const std::vector<std::string>& arguments);
  ~Child();  // waits for the child
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // False when the child ended without signalling.
  bool WaitReady();
  void Go();
  // Ends the child at once, as a crash would (SIGKILL, TerminateProcess).
  void Kill();
  // The child's exit code; -1 when it did not exit by itself.
  int Wait();

 private:
  struct Process;
  Process* process_;
};

}  // namespace test_support
