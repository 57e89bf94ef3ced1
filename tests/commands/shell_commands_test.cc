// The shell and web commands against real processes: a fake desktop handler placed first on
// PATH records what it is handed, and a script started in a working directory leaves its
// effect on disk.
#include "commands/shell_commands.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "commands/system_commands.h"
#include "platform/core/process.h"
#include "runtime/gates.h"
#include "runtime/runtime_state.h"
#include "tests/commands/command_test_support.h"
#include "tests/support/fake_browser.h"
#include "tests/support/runtime_error_exit.h"

namespace commands_test {
namespace {

// What a detached program left in `path`, once it is there (it runs apart from us).
std::string WaitForFile(const std::filesystem::path& path) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    std::ifstream in(path);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!content.empty() && content.back() == '\n') return content;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return {};
}

void WriteScript(const std::filesystem::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

// A fake desktop handler first on PATH records what it is handed.
class FakeDesktop : public testing::Test {
 protected:
  std::string Handed() { return browser_.Handed(); }

  test_support::FakeBrowser browser_;
};

TEST(EncodeAddress, GbkBytesAndBlanksArePercentEncodedByteByByte) {
  EXPECT_EQ(commands::EncodeAddress(Gbk("https://s.example/s?word=小说")),
            "https://s.example/s?word=%D0%A1%CB%B5");
  EXPECT_EQ(commands::EncodeAddress("a b\t%41"), "a%20b%09%41");  // an existing escape stays
}

TEST_F(FakeDesktop, OpenWebPageHandsTheBrowserThePercentEncodedGbkWords) {
  const runtime::Text address(Gbk("https://s.example/s?word=小说"));
  runtime::CallLibraryCommand(commands::OpenWebPage, {address.Arg()});
  EXPECT_EQ(Handed(), "https://s.example/s?word=%D0%A1%CB%B5\n");
}

TEST_F(FakeDesktop, OpenWebPageWithoutAnAddressOpensTheProjectPage) {
  runtime::CallLibraryCommand(commands::OpenWebPage, {});
  EXPECT_EQ(Handed(), std::string(commands::kProjectPage) + "\n");
}

TEST_F(FakeDesktop, ShellRunStartsAProgramWithItsParametersInItsWorkingDirectory) {
  TempFolder work;
  WriteScript(work.Native("count.sh"),
              "printf '%s|%s\\n' \"$1\" \"$2\" > out.tmp && mv out.tmp out.txt");
  const runtime::Text file("count.sh"), parameters("first 'second word'");
  const runtime::Text directory(work.GbkPath());
  // Verb 9 is no verb: the default action, as when the verb is left out.
  for (const ArgCell verb : {ArgCell(), ArgCell::Int(9), ArgCell::Int(4)}) {
    std::filesystem::remove(work.Native("out.txt"));
    runtime::CallLibraryCommand(commands::ShellRun,
                                {verb, file.Arg(), parameters.Arg(), directory.Arg()});
    EXPECT_EQ(WaitForFile(work.Native("out.txt")), "first|second word\n") << verb.type;
  }
  // "edit" never runs it: the desktop's handler gets the file.
  runtime::CallLibraryCommand(commands::ShellRun,
                              {ArgCell::Int(1), file.Arg(), parameters.Arg(), directory.Arg()});
  EXPECT_EQ(Handed(), work.Native("count.sh").string() + "\n");
}

TEST_F(FakeDesktop, ShellRunOpensADocumentWithTheDesktopAndExploreItsFolder) {
  TempFolder work;
  std::ofstream(work.Native("第一章.txt")) << "text";
  const runtime::Text file(work.GbkPath("第一章.txt"));
  runtime::CallLibraryCommand(commands::ShellRun, {ArgCell(), file.Arg()});
  EXPECT_EQ(Handed(), work.Native("第一章.txt").string() + "\n");
  browser_.Forget();
  runtime::CallLibraryCommand(commands::ShellRun, {ArgCell::Int(2), file.Arg()});
  EXPECT_EQ(Handed(), work.path().string() + "\n");
}

TEST(ShellCommands, AMissingHandlerOrFileIsSilentAndNeverBlocks) {
  const std::string old_path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  TempFolder empty;
  setenv("PATH", empty.path().c_str(), 1);  // no xdg-open anywhere
  const runtime::Text address("https://s.example/"), missing("no-such-program-here");
  runtime::CallLibraryCommand(commands::OpenWebPage, {address.Arg()});
  runtime::CallLibraryCommand(commands::ShellRun, {ArgCell(), missing.Arg()});
  runtime::CallLibraryCommand(commands::ShellRun, {ArgCell(), ArgCell::Int(3)});  // no text
  setenv("PATH", old_path.c_str(), 1);
}

TEST(SplitParameters, BlanksSeparateQuotesKeepThem) {
  using V = std::vector<std::string>;
  EXPECT_EQ(platform::SplitParameters("  a  b "), (V{"a", "b"}));
  EXPECT_EQ(platform::SplitParameters("\"a b\" 'c \"d' e\\ f"), (V{"a b", "c \"d", "e f"}));
  EXPECT_EQ(platform::SplitParameters("\"\""), (V{""}));
  EXPECT_EQ(platform::SplitParameters(""), V{});
}

// A window system that records how the look is switched.
class LookRecorder : public runtime::UserInterface {
 public:
  int32_t ShowMessageBox(std::string_view, std::string_view, uint32_t) override { return 1; }
  void RunMessageLoop() override {}
  void PumpWaitingMessages() override {}
  void PostQuitMessage(int32_t) override {}
  void CreateRequestWindow() override {}
  void DestroyRequestWindow() override {}
  void PostEndRequest(int32_t) override {}
  bool IsWindowAlive(intptr_t) override { return false; }
  void SetThemedLook(bool themed) override { switches.push_back(themed); }

  std::vector<bool> switches;
};

TEST(SetVisualStyle, OnForLevelsOneToThreeOffAnswersWhetherItWasOn) {
  LookRecorder ui;
  runtime::Runtime().ui = &ui;
  const auto set = [](int32_t level) {
    return runtime::CallLibraryCommand(commands::SetVisualStyle, {ArgCell::Int(level)}).low != 0;
  };
  EXPECT_FALSE(set(0));  // never switched on
  EXPECT_TRUE(set(2));
  EXPECT_TRUE(set(3));
  EXPECT_TRUE(set(0));
  EXPECT_FALSE(set(7));  // any other level switches off: already off
  EXPECT_EQ(ui.switches, (std::vector<bool>{true, true, false}));
  runtime::Runtime().ui = nullptr;
}

TEST(MessageBoxDeathTest, ACaptionThatIsNoTextEndsTheProgram) {
  EXPECT_EXIT(runtime::CallCoreCommand(commands::MessageBox, {runtime::ArgCell::Text("m"),
                                                              ArgCell::Int(0), ArgCell::Int(5)}),
              testing::ExitedWithCode(test_support::kRuntimeErrorExit), "11");
}

}  // namespace
}  // namespace commands_test
