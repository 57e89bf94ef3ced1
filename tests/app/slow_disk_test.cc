// The desk on a slow disk (every flush made to wait, as a hard disk, a USB stick or a network
// folder makes it): the window's thread never flushes while the author types, the text still
// reaches the chapter's record and the autosave file, and a flush that fails on the writer's
// thread is heard as any failed save and loses nothing.
#include <QTest>
#include <chrono>

#include "app/chapters.h"
#include "app/save_alarm.h"
#include "platform/core/disk_tally.h"
#include "tests/app/save_failure_fixture.h"

namespace desk_tests {
namespace {

using namespace std::chrono_literals;

class SlowDisk : public SaveFailures {
 protected:
  void TearDown() override {
    platform::SetFlushDelay(0ms);
    platform::DisarmFlushFault();
    SaveFailures::TearDown();
  }
  // Types `text` a character at a time at an author's pace, ten characters a second by the
  // clock (the event loop runs between keys); gives the seconds the typing took.
  double TypeAtAnAuthorsPace(const QString& text) {
    const auto start = std::chrono::steady_clock::now();
    auto due = start;
    for (const QChar character : text) {
      (void)QTest::qWaitFor([&] { return std::chrono::steady_clock::now() >= due; }, 1000);
      Type(QString(character).toStdString());
      due += 100ms;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  std::string AutosaveFile() {
    return platform::GbkToUtf8(ReadFileBytes(Path("自动保存/自动保存文件【勿删】.txt")));
  }
};

TEST_F(SlowDisk, KeysNeverWaitForAFlushAndTheTextStillReachesTheDisk) {
  platform::SetFlushDelay(100ms);
  StartDesk();
  AddChapter("第一章", "开头");
  ASSERT_TRUE(WaitFor([&] { return FirstChapterHolds("开头"); }, 10000));
  const platform::DiskTally window_before = platform::ThisThreadsDiskTally();
  const platform::DiskTally process_before = platform::ProcessDiskTally();
  const QString typed = QString::fromUtf8("天地玄黄宇宙洪荒日月盈昃辰宿列张寒来暑往秋收冬藏");
  const double seconds = TypeAtAnAuthorsPace(typed);
  const std::string text = "开头" + typed.toStdString();
  // The window's thread waited for no flush; the writer's did them at its pace, not one a key:
  // a save every 0.7 s and the autosave file every 5 s, whatever time a loaded machine took.
  EXPECT_EQ((platform::ThisThreadsDiskTally() - window_before).flushes, 0);
  const int64_t flushes = (platform::ProcessDiskTally() - process_before).flushes;
  EXPECT_GT(flushes, 0);
  EXPECT_LE(flushes, static_cast<int64_t>(seconds / 0.7 + seconds / 5) + 2) << flushes;
  EXPECT_LT(flushes, typed.size()) << flushes;
  EXPECT_TRUE(WaitFor([&] { return FirstChapterHolds(text); }, 10000));
  EXPECT_TRUE(WaitFor([&] { return AutosaveFile() == text; }, 10000)) << AutosaveFile();
  EXPECT_FALSE(app::SaveFailing());
}

TEST_F(SlowDisk, AFlushThatFailsOnTheWritersThreadIsHeardAndLosesNothing) {
  AnswerBoxesWith("确定");
  StartDesk();
  // Only the chapter's saves flush from here on, so the fault meets one of them.
  app::WriteInt(app::unit::kAutosaveSwitch, app::property::kChecked, 0);
  AddChapter("第一章", "前");
  ASSERT_TRUE(FirstChapterHolds("前"));
  ASSERT_TRUE(WaitFor([] { return !app::ChapterSaveDue(); })) << "the pause's flush";
  platform::ArmFlushFault(1);
  Type("后");
  ASSERT_TRUE(WaitFor([&] { return WarningLine().starts_with("章节未能保存"); })) << WarningLine();
  const auto rescued = FilesNamedLike(Path("自动保存备份"), "【抢救】1（UTF-8）");
  ASSERT_EQ(rescued.size(), 1u);
  EXPECT_EQ(ReadFileBytes(rescued[0]), "第一章\r\n\r\n前后");
  // The next attempt finds the disk well again: the record takes the text, the line goes.
  EXPECT_TRUE(FirstChapterHolds("前后"));
  EXPECT_TRUE(WaitFor([&] { return !app::SaveFailing(); }));
}

}  // namespace
}  // namespace desk_tests
