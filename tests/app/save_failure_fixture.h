// The desk with a disk that fills, files that change under it and chapters written before it
// starts: the fixture of the suites that drive the desk through failures. Rescue copies go to
// a home folder of the test's own.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "app/gate_calls.h"
#include "database/database.h"
#include "platform/core/code_page.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"
#include "tests/app/desk_test.h"
#include "tests/support/program_process.h"

namespace desk_tests {

namespace fs = std::filesystem;

constexpr int32_t kLabelTextColor = 11;
constexpr int32_t kInputMode = 18;

inline std::string Gbk(const std::string& utf8) { return platform::Utf8ToGbk(utf8); }

// Files of `folder` whose names hold `part` (UTF-8 names).
inline std::vector<std::filesystem::path> FilesNamedLike(const fs::path& folder, const std::string& part) {
  std::vector<fs::path> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    const std::u8string u8name = entry.path().filename().u8string();
    const std::string name(u8name.begin(), u8name.end());
    // Not the temporary sibling of a file being replaced at that moment.
    if (name.find(part) != std::string::npos && !name.ends_with(".inkstone-new")) {
      found.push_back(entry.path());
    }
  }
  return found;
}

class SaveFailures : public DeskTest {
 protected:
  void SetUp() override {
    DeskTest::SetUp();
    // Rescue copies must not land in the real home folder.
    home_ = folder_.parent_path() / (folder_.filename().string() + "-home");
    fs::create_directories(home_);
    const char* home = std::getenv(kHomeVariable);
    old_home_ = home != nullptr ? home : "";
    test_support::SetVariable(kHomeVariable, home_.string());
  }
  void TearDown() override {
    platform::DeclareEveryFolderFree();
    DeskTest::TearDown();
    test_support::SetVariable(kHomeVariable, old_home_);
    fs::remove_all(home_);
  }

  static std::string GbkPath(const fs::path& path) { return platform::GbkPathOf(path); }
  void FillDisk(const fs::path& path) { platform::DeclareFolderFull(GbkPath(path)); }
  void FreeDisk(const fs::path& path) { platform::DeclareFolderFree(GbkPath(path)); }
  std::string WarningLine() { return ReadText(app::unit::kForumLabel, app::property::kCaption); }
  // Waits until the first chapter's record holds `text` (UTF-8).
  bool FirstChapterHolds(const std::string& text) {
    return WaitFor([&] {
      const auto records = ReadChapterRecords(folder_);
      return !records.empty() && records[0].text == text;
    });
  }
  // Waits for the red line of files another program replaced, the one box that told it, and
  // the timers' runs after it (which must write nothing).
  void ExpectToldTheFilesWereReplaced() {
    ASSERT_TRUE(WaitFor([&] {
      return WarningLine().starts_with("章节未能保存：数据库文件已被其他程序替换");
    })) << WarningLine();
    ASSERT_TRUE(WaitFor([&] { return boxes_.size() == 1; }));
    LetTimersRun();
  }

  // Chapters written into the shipped database before the desk starts, as an earlier session
  // left them (a deleted one stays marked when that session ended without a pack).
  void WriteChapters(const std::vector<ChapterRecord>& chapters) {
    database::OpenOptions options;
    options.path = GbkPath(Path("小说数据/data.edb"));
    std::unique_ptr<database::Database> db;
    ASSERT_EQ(database::Database::Open(options, &db), 0);
    for (const ChapterRecord& chapter : chapters) {
      ASSERT_EQ(db->AppendBlank(), 0);
      const std::string text = platform::Utf8ToGbk(chapter.text);
      runtime::ByteSet bytes(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
      runtime::Text name(platform::Utf8ToGbk(chapter.name));
      const database::FieldUpdate updates[] = {{runtime::Gbk("学号"), bytes.Arg()},
                                               {runtime::Gbk("姓名"), name.Arg()}};
      ASSERT_EQ(db->UpdateRecords(nullptr, updates), 0);
      if (chapter.deleted) {
        ASSERT_EQ(db->MarkRecords(nullptr, true), 0);
      }
    }
  }

  // Back in the window after a box: the caret at the end of the text.
  void ReturnToTheText() {
    QWidget* window = Unit(0)->Widget();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    Unit(app::unit::kTextBox)->Widget()->setFocus(Qt::OtherFocusReason);
    Key(Qt::Key_End, Qt::ControlModifier);
  }

  fs::path home_;
  std::string old_home_;
};

}  // namespace desk_tests
