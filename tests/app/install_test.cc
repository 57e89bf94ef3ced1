// Installing and upgrading with the build's real install rules: `cmake --install` twice into one
// prefix, with a chapter written between by the installed desk. The prefix is the author's own
// (like ~/.local), so its share/inkstone is the installed desk's folder: whatever the install
// rules put there lands beside the novel. Needs the build's install tree (everything built).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "app/data_folder.h"
#include "tests/app/desk_child.h"
#include "tests/app/desk_test.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;

// Polls until `path` exists, up to `timeout_ms` by the clock (a loaded machine stretches each
// poll, never the deadline).
bool WaitForPath(const fs::path& path, int timeout_ms) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    std::error_code error;
    if (fs::exists(path, error)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

// `cmake --install <build> --prefix <prefix>`; its exit code.
std::optional<int> Install(const fs::path& prefix) {
  test_support::ProgramProcess cmake(CMAKE_COMMAND_PATH,
                                     {"--install", BUILD_FOLDER, "--prefix", prefix.string()});
  return cmake.Wait();
}

// Starts the installed program and ends it as the system would once its start-up has run (it
// makes the chapter-file folder, removed before, once its end request is handled; the test's
// chapter is in the database). False when it did not come up (a refused start waits on its
// message box) or did not end by itself.
bool StartAndEndInstalledDesk(const fs::path& prefix, const fs::path& desk) {
  std::error_code ignored;
  fs::remove_all(desk / fs::u8path("小说文件"), ignored);
  test_support::ProgramProcess program(prefix / "bin" / "inkstone", {});
  if (!program.Started()) return false;
  const bool up = WaitForPath(desk / fs::u8path("小说文件"), 30000);
  program.RequestEnd();
  if (!program.WaitAtMost(30000)) program.Kill();
  return up && program.Wait() == 0;
}

// Every file under `folder`, relative to it.
std::vector<fs::path> FilesUnder(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_directory()) files.push_back(fs::relative(entry.path(), folder));
  }
  return files;
}

TEST(Install, InstallingAgainIntoTheAuthorsOwnPrefixKeepsTheChaptersAndTheTemplate) {
  const fs::path root = MakeProgramFolder();
  const fs::path prefix = root / "local";
  // As with the prefix ~/.local: $XDG_DATA_HOME/inkstone is <prefix>/share/inkstone.
  const fs::path desk = prefix / "share" / "inkstone";
  const fs::path installed_template = desk / app::kTemplateFolderName;
  const char* old_data_home = std::getenv(kDataHomeVariable);
  const std::string kept_data_home = old_data_home != nullptr ? old_data_home : "";
  test_support::SetVariable(kDataHomeVariable, (prefix / "share").string());

  ASSERT_EQ(Install(prefix), 0);
  // What the Debian package holds too (CPack packs what these rules install): the template in
  // a folder of its own and nothing in any 小说数据.
  for (const fs::path& file : FilesUnder(prefix)) {
    for (const fs::path& part : file) EXPECT_NE(part, fs::u8path("小说数据")) << file;
  }
  for (const char* file : {"data.edb", "data.edt"}) {
    EXPECT_EQ(ReadFileBytes(installed_template / file),
              ReadFileBytes(fs::u8path(TEMPLATE_DATABASE_FOLDER) / file));
  }

  // The installed program's first start copies the template into the data folder.
  ASSERT_TRUE(StartAndEndInstalledDesk(prefix, desk));
  const fs::path data = desk / fs::u8path("小说数据");
  EXPECT_TRUE(ReadChapterRecords(desk).empty());
  EXPECT_TRUE(DatabaseFaults(desk).empty());

  // A chapter, typed into the real program image installed beside the same share folder (the
  // installed program's own file is the one the next install replaces).
  const fs::path libexec = prefix / "libexec";
  fs::create_directories(libexec);
  const std::string text = "　　夜色渐深，他提笔写下第一行字。";
  std::ofstream(root / "typing.txt", std::ios::binary) << text;
  {
    const auto typist = StartDeskChild(libexec, {"--type", (root / "typing.txt").string()});
    ASSERT_TRUE(typist->Started());
    ASSERT_TRUE(WaitForPath(libexec / "done", 30000));
    typist->RequestEnd();
    EXPECT_EQ(typist->Wait(), 0);
  }
  std::vector<ChapterRecord> records = ReadChapterRecords(desk);
  ASSERT_EQ(records.size(), 1u);
  const std::string chapters = ReadFileBytes(data / "data.edb");
  const std::string texts = ReadFileBytes(data / "data.edt");

  // A newer version: its template's time differs, so the install copies it again.
  for (const char* file : {"data.edb", "data.edt"}) {
    fs::last_write_time(installed_template / file,
                        fs::last_write_time(installed_template / file) - std::chrono::hours(24));
  }
  ASSERT_EQ(Install(prefix), 0);
  EXPECT_EQ(ReadFileBytes(data / "data.edb"), chapters);
  EXPECT_EQ(ReadFileBytes(data / "data.edt"), texts);
  for (const char* file : {"data.edb", "data.edt"}) {
    EXPECT_EQ(ReadFileBytes(installed_template / file),
              ReadFileBytes(fs::u8path(TEMPLATE_DATABASE_FOLDER) / file));
  }

  // The upgraded program starts on the novel.
  ASSERT_TRUE(StartAndEndInstalledDesk(prefix, desk));
  records = ReadChapterRecords(desk);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].name, "第一章");
  EXPECT_EQ(records[0].text, "夜色渐深，他提笔写下第一行字。");
  EXPECT_TRUE(DatabaseFaults(desk).empty());

  if (old_data_home != nullptr) {
    test_support::SetVariable(kDataHomeVariable, kept_data_home);
  } else {
    test_support::UnsetVariable(kDataHomeVariable);
  }
  RemoveProgramFolder(root);
}

}  // namespace

}  // namespace desk_tests

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--desk") return desk_tests::RunDeskChild(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
