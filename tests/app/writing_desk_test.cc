// The writing desk driven as an author: chapters, keys, layout, autosave and the end, each
// checked on screen and in the files beside the program.
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "app/chapter_file.h"
#include "app/chapters.h"
#include "database/database.h"
#include "database/database_list.h"
#include "platform/core/change_recording.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "tests/app/desk_test.h"
#include "tests/support/file_changes.h"
#include "units/base/unit_methods.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;
using namespace app;

constexpr int32_t kSelStart = 24;
constexpr int32_t kSelLength = 25;

// True when the main file has been written since the recording began and flushed after.
bool MainFileFlushed(const std::vector<platform::FileChange>& changes) {
  return test_support::WrittenThenFlushed(changes, ".edb");
}

class WritingDesk : public DeskTest {
 protected:
  // Waits until the database holds `names` (in record order, none marked deleted).
  bool RecordsNamed(const std::vector<std::string>& names) {
    return WaitFor([&] {
      const std::vector<ChapterRecord> records = ReadChapterRecords(folder_);
      if (records.size() != names.size()) return false;
      for (size_t i = 0; i < names.size(); ++i) {
        if (records[i].name != names[i] || records[i].deleted) return false;
      }
      return true;
    });
  }
  void ThreeChapters() {
    AddChapter("第一章", "甲");
    AddChapter("第二章", "乙");
    AddChapter("第三章", "丙");
    ASSERT_TRUE(RecordsNamed({"第一章", "第二章", "第三章"}));
  }
};

TEST_F(WritingDesk, FirstStartMakesTheFourFoldersAndShowsAnEmptyList) {
  StartDesk();
  for (const char* name : {"小说文件", "小说文件备份", "自动保存", "自动保存备份"}) {
    EXPECT_TRUE(fs::is_directory(Path(name))) << name;
  }
  EXPECT_TRUE(ItemTexts().empty());
  EXPECT_EQ(CurrentItem(), -1);
  EXPECT_EQ(NameBox(), "");
  EXPECT_EQ(TextBox(), "");
  EXPECT_TRUE(ReadChapterRecords(folder_).empty());
  // Laid out for the inside of the window as it came up (its Width counts the frame too).
  const int32_t width = Unit(0)->Widget()->width();
  ASSERT_TRUE(WaitFor([&] { return ReadInt(unit::kCloseButton, property::kLeft) == width - 60; }));
}

TEST_F(WritingDesk, TypedNameAndTextReachTheRecordAndTheItemWithinAFewTicks) {
  StartDesk();
  AddChapter("  第一章 风起", "天色将晚，山路上只剩一盏灯。");
  ASSERT_TRUE(WaitFor([&] {
    const auto records = ReadChapterRecords(folder_);
    return records.size() == 1 && records[0].text == "天色将晚，山路上只剩一盏灯。";
  }));
  EXPECT_EQ(ReadChapterRecords(folder_)[0].name, "  第一章 风起");  // the name unchanged
  EXPECT_EQ(ItemTexts(),
            std::vector<std::string>{"第一章 风起"});  // the item without leading blanks
  // The first new chapter had no chapter before it to write a file for.
  EXPECT_TRUE(fs::is_empty(Path("小说文件")));
}

// A new novel opens on an empty list and an editable text box: what is typed there is its first
// chapter, saved as any other, and 新章 then leaves it in place.
TEST_F(WritingDesk, TextTypedBeforeTheFirstChapterBecomesTheFirstChapter) {
  StartDesk();
  ClickInto(unit::kTextBox);
  Type("还没有章节时写下的");
  ASSERT_TRUE(RecordsNamed({""}));
  EXPECT_EQ(ItemTexts().size(), 1u);
  EXPECT_EQ(CurrentItem(), 0);
  ASSERT_TRUE(WaitFor([&] { return ReadChapterRecords(folder_)[0].text == "还没有章节时写下的"; }));
  ClickInto(unit::kNewChapterButton);
  Type("第二章");
  ASSERT_TRUE(RecordsNamed({"", "第二章"}));
  EXPECT_EQ(ReadChapterRecords(folder_)[0].text, "还没有章节时写下的");
  // Its file has a name of its own, not a hidden ".txt" the next unnamed chapter overwrites.
  EXPECT_FALSE(fs::exists(Path("小说文件/.txt")));
  EXPECT_EQ(ReadFileBytes(Path("小说文件/未命名（记录1）.txt")),
            platform::Utf8ToGbk("还没有章节时写下的"));
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return TextBox() == "还没有章节时写下的"; }));
}

TEST_F(WritingDesk, TextTypedRightBeforeASwitchIsInItsRecord) {
  StartDesk();
  AddChapter("第一章", "一");
  AddChapter("第二章", "二");
  ASSERT_TRUE(RecordsNamed({"第一章", "第二章"}));
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第一章"; }));
  ClickInto(unit::kTextBox);
  Key(Qt::Key_End, Qt::ControlModifier);
  Type("又一句");
  ClickItem(1);  // at once, before the next save tick
  EXPECT_EQ(NameBox(), "第二章");
  const auto records = ReadChapterRecords(folder_);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].text, "一又一句");
  EXPECT_EQ(records[1].text, "二");
}

// A save's text is on the disk as it is written; the record's switch to it waits for the
// engine's flush, which the desk gives at a switch and once the author has paused.
TEST_F(WritingDesk, SavesGoOnTheDiskAtASwitchAndOnceTheAuthorPauses) {
  StartDesk();
  AddChapter("第一章", "一");
  AddChapter("第二章", "二");
  ASSERT_TRUE(RecordsNamed({"第一章", "第二章"}));
  platform::StartRecordingFileChanges();
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第一章"; }));
  ClickInto(unit::kTextBox);
  Type("又一句");
  ClickItem(1);  // at once, before the next save tick
  EXPECT_TRUE(MainFileFlushed(platform::StopRecordingFileChanges())) << "at the switch";

  platform::StartRecordingFileChanges();
  ClickInto(unit::kTextBox);
  Type("再一句");
  ASSERT_TRUE(WaitFor([&] { return ReadChapterRecords(folder_)[1].text == "二再一句"; }));
  EXPECT_TRUE(WaitFor([&] { return MainFileFlushed(platform::RecordedFileChanges()); }))
      << "after the pause";
  platform::StopRecordingFileChanges();
}

// A new or a deleted chapter changes the main file without a text save: a power cut after the
// pause must not bring a deleted chapter back or lose a new one.
TEST_F(WritingDesk, NewAndDeletedChaptersGoOnTheDiskOnceTheAuthorPauses) {
  StartDesk();
  AddChapter("第一章", "一");
  AddChapter("第二章", "二");
  ASSERT_TRUE(RecordsNamed({"第一章", "第二章"}));
  ASSERT_TRUE(WaitFor([] { return !ChapterSaveDue(); })) << "the pause's flush of the saves";

  platform::StartRecordingFileChanges();
  ClickInto(unit::kNewChapterButton);
  ASSERT_TRUE(WaitFor([&] { return ItemTexts().size() == 3; }));
  EXPECT_TRUE(WaitFor([&] { return MainFileFlushed(platform::RecordedFileChanges()); }))
      << "after a new chapter";
  platform::StopRecordingFileChanges();

  ASSERT_TRUE(WaitFor([] { return !ChapterSaveDue(); })) << "the new chapter's flush";
  platform::StartRecordingFileChanges();
  AnswerBoxesWith("确定");
  ClickInto(unit::kDeleteButton);
  ASSERT_TRUE(WaitFor([&] { return ItemTexts().size() == 2; }));
  EXPECT_TRUE(WaitFor([&] { return MainFileFlushed(platform::RecordedFileChanges()); }))
      << "after a delete";
  platform::StopRecordingFileChanges();
}

TEST_F(WritingDesk, ANameTypedRightBeforeASwitchReachesItsItem) {
  StartDesk();
  AddChapter("第一章", "一");
  AddChapter("第二章", "二");
  ClickItem(0);  // no save tick has run since the name was typed
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"第一章", "第二章"}));
  EXPECT_EQ(NameBox(), "第一章");
}

TEST_F(WritingDesk, DeletingTheFirstOfThreeSelectsAndLoadsTheSecond) {
  StartDesk();
  ThreeChapters();
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第一章"; }));
  AnswerBoxesWith("确定");
  ClickInto(unit::kDeleteButton);
  ASSERT_TRUE(WaitFor([&] { return ItemTexts().size() == 2; }));
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"第二章", "第三章"}));
  EXPECT_EQ(CurrentItem(), 0);
  EXPECT_EQ(NameBox(), "第二章");
  EXPECT_EQ(TextBox(), "乙");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "警告");
  EXPECT_EQ(boxes_[0].text, "确认删除该章节吗，删除后可能会导致章节丢失。");
  // Marked deleted until the end packs it; the second chapter's record kept its own text.
  const auto records = ReadChapterRecords(folder_);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_TRUE(records[0].deleted);
  EXPECT_EQ(records[1].text, "乙");
}

TEST_F(WritingDesk, DeletingTheThirdSelectsTheSecond) {
  StartDesk();
  ThreeChapters();
  AnswerBoxesWith("确定");
  ClickInto(unit::kDeleteButton);  // the new third chapter is selected
  ASSERT_TRUE(WaitFor([&] { return ItemTexts().size() == 2; }));
  EXPECT_EQ(CurrentItem(), 1);
  EXPECT_EQ(NameBox(), "第二章");
  EXPECT_EQ(TextBox(), "乙");
}

TEST_F(WritingDesk, CancellingTheDeleteChangesNothing) {
  StartDesk();
  ThreeChapters();
  ClickItem(1);
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第二章"; }));
  AnswerBoxesWith("取消");
  ClickInto(unit::kDeleteButton);  // returns once the box was answered and the routine ended
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(ItemTexts().size(), 3u);
  EXPECT_EQ(CurrentItem(), 1);
  EXPECT_EQ(NameBox(), "第二章");
  for (const ChapterRecord& record : ReadChapterRecords(folder_)) EXPECT_FALSE(record.deleted);
}

TEST_F(WritingDesk, TheLastChapterCannotBeDeletedAndNoBoxAsks) {
  StartDesk();
  AddChapter("唯一一章", "字");
  ASSERT_TRUE(RecordsNamed({"唯一一章"}));
  AnswerBoxesWith("确定");
  ClickInto(unit::kDeleteButton);  // a box would be shown and answered inside the click
  EXPECT_TRUE(boxes_.empty());
  EXPECT_EQ(ItemTexts().size(), 1u);
}

TEST_F(WritingDesk, EnterAddsABlankLineAndAFourSpaceIndentAtTheEnd) {
  StartDesk();
  AddChapter("第一章", "ab");
  Key(Qt::Key_Return);
  EXPECT_EQ(TextBox(), "ab\r\n\r\n    ");

  ClickInto(unit::kNameBox);
  ClickInto(unit::kTextBox);
  WriteText(unit::kTextBox, property::kContent, "abcd");
  Key(Qt::Key_Home, Qt::ControlModifier);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);
  Key(Qt::Key_Return);
  EXPECT_EQ(TextBox(), "ab\r\ncd\r\n    ");
}

TEST_F(WritingDesk, HoldingEnterDownIndentsOnce) {
  StartDesk();
  AddChapter("第一章", "ab");
  QWidget* box = QApplication::focusWidget();
  const auto send = [&](QEvent::Type type, bool repeat) {
    QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, "\r", repeat);
    QApplication::sendEvent(box, &event);
  };
  // Held for three repeats: the system reports a release before every repeat.
  send(QEvent::KeyPress, false);
  for (int i = 0; i < 3; ++i) {
    send(QEvent::KeyRelease, true);
    send(QEvent::KeyPress, true);
  }
  send(QEvent::KeyRelease, false);
  EXPECT_EQ(TextBox(), "ab\r\n\r\n\r\n\r\n\r\n    ");
}

TEST_F(WritingDesk, ARightClickInTheTextOpensOneMenuWithItsItems) {
  StartDesk();
  AddChapter("第一章", "正文");
  std::vector<QStringList> menus;
  // The menu is modal: it is looked at and closed from a timer.
  QTimer::singleShot(200, [&] {
    std::vector<QMenu*> open;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* menu = qobject_cast<QMenu*>(top); menu != nullptr && menu->isVisible())
        open.push_back(menu);
    }
    for (QMenu* menu : open) {
      QStringList items;
      for (QAction* action : menu->actions()) items << action->text();
      menus.push_back(items);
      menu->close();
    }
  });
  RightClick(unit::kTextBox, QPoint(50, 50));
  ASSERT_TRUE(WaitFor([&] { return !menus.empty(); }));
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0], (QStringList{QString::fromUtf8("停止计时\tCtrl+B"), QString::fromUtf8("设置每日目标…"),
                                   QString::fromUtf8("写作记录…"), QString::fromUtf8("章节历史…"),
                                   QString::fromUtf8("查找…\tCtrl+F"), QString::fromUtf8("替换…\tCtrl+H"),
                                   QString::fromUtf8("排版\tCtrl+Shift+F"), QString::fromUtf8("复制为发布格式"),
                                   QString::fromUtf8("排版与发布设置…")}));
}

TEST_F(WritingDesk, CtrlASelectsAllButCtrlShiftADoesNot) {
  StartDesk();
  AddChapter("第一章", "三个字");
  Key(Qt::Key_End, Qt::ControlModifier);
  Key(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(ReadInt(unit::kTextBox, kSelLength), 0);
  Key(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(ReadInt(unit::kTextBox, kSelStart), 0);
  EXPECT_EQ(ReadInt(unit::kTextBox, kSelLength), 6);  // GBK bytes
}

TEST_F(WritingDesk, FocusOnABoxSelectsItsWholeText) {
  StartDesk();
  AddChapter("第一章", "正文");
  units::SetFocus(Form(), unit::kNameBox);  // as Tab gives it
  EXPECT_EQ(ReadInt(unit::kNameBox, kSelLength), 6);
  units::SetFocus(Form(), unit::kTextBox);
  EXPECT_EQ(ReadInt(unit::kTextBox, kSelLength), 4);
}

// Placed from the inside: Width and Height count the frame too.
TEST_F(WritingDesk, TheTitleButtonsFollowTheRightEdge) {
  StartDesk();
  const QSize frame = QSize(ReadInt(unit::kWindow, property::kWidth), ReadInt(unit::kWindow, property::kHeight)) -
                      Unit(0)->Widget()->size();
  WriteInt(unit::kWindow, property::kWidth, 1100 + frame.width());
  ASSERT_TRUE(WaitFor([&] { return ReadInt(unit::kCloseButton, property::kLeft) == 1040; }));
  WriteInt(unit::kWindow, property::kWidth, 1000 + frame.width());
  ASSERT_TRUE(WaitFor([&] { return ReadInt(unit::kCloseButton, property::kLeft) == 940; }));
  EXPECT_EQ(ReadInt(unit::kMaximiseButton, property::kLeft), 910);
  EXPECT_EQ(ReadInt(unit::kMinimiseButton, property::kLeft), 865);
  WriteInt(unit::kWindow, property::kHeight, 700 + frame.height());
  ASSERT_TRUE(WaitFor([&] { return ReadInt(unit::kTextBox, property::kHeight) == 635; }));
  EXPECT_EQ(ReadInt(unit::kChapterList, property::kHeight), 578);
  // From 1 pixel after the splitter to 3 pixels before the settings group.
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kLeft), 131);
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kWidth), 1000 - 180 - 131);
}

// The text box keeps 200 pixels before the settings group (180 pixels from the right edge).
TEST_F(WritingDesk, TheSplitterStaysBetweenEightAndTheTextBoxsLeastWidth) {
  StartDesk();
  // Pressed 4 pixels into the bar, dragged so that its left edge would be at `left`.
  const auto drag_to = [&](int left) {
    QWidget* bar = Unit(unit::kSplitter)->Widget();
    const QPoint end(left - bar->x() + 4, 100);
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(4, 100));
    QTest::mouseMove(bar, end);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, end);
  };
  drag_to(3);
  ASSERT_TRUE(WaitFor([&] { return ReadInt(unit::kSplitter, property::kLeft) == 8; }));
  const int32_t width = Unit(0)->Widget()->width();  // the inside
  drag_to(width);  // as far right as the bar goes
  ASSERT_TRUE(WaitFor([&] { return ReadInt(unit::kSplitter, property::kLeft) == width - 180 - 200 - 8 - 1; }));
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kWidth), 200);
  drag_to(300);
  ASSERT_TRUE(WaitFor([&] { return ReadInt(unit::kSplitter, property::kLeft) == 300; }));
  EXPECT_EQ(ReadInt(unit::kChapterList, property::kWidth), 300 - 9 - 2);
  EXPECT_EQ(ReadInt(unit::kNameBox, property::kWidth), 300 - 8 - 2);
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kLeft), 309);
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kWidth), width - 180 - 309);
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kTop), 42);
}

TEST_F(WritingDesk, AutosaveFileHoldsTheTextAndIsNotRewrittenWhileIdle) {
  StartDesk();
  AddChapter("第一章", "自动保存的字");
  const fs::path autosave = Path("自动保存/自动保存文件【勿删】.txt");
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(autosave) == platform::Utf8ToGbk("自动保存的字"); },
                      kAutosaveWaitMs));
  const auto written = fs::last_write_time(autosave);
  const auto inode = fs::hard_link_count(autosave);
  LetTimersRun();  // a hundred ticks of the autosave timer
  EXPECT_EQ(fs::last_write_time(autosave), written);
  EXPECT_EQ(fs::hard_link_count(autosave), inode);
}

// An idle desk is woken by its one-second clock alone: once everything is written the save
// and autosave timers are stopped; a key starts them at the window's intervals again, the text
// reaches the record and the autosave file, and they stop once more.
TEST_F(WritingDesk, TheSaveTimersStopWhileNothingWaitsToBeWritten) {
  StartDesk();
  const auto stopped = [&] {
    return ReadInt(unit::kSaveTimer, property::kInterval) == 0 &&
           ReadInt(unit::kAutosaveTimer, property::kInterval) == 0;
  };
  AddChapter("第一章", "一");
  ASSERT_TRUE(RecordsNamed({"第一章"}));
  ASSERT_TRUE(WaitFor(stopped, kAutosaveWaitMs)) << "stopped once everything is on the disk";

  Type("二");
  // The save timer runs at the window's 100 ms until the text is saved and, a second later,
  // flushed. The autosave timer waits for its pace: its file tells that it ran.
  EXPECT_EQ(ReadInt(unit::kSaveTimer, property::kInterval), 100);
  ASSERT_TRUE(WaitFor([&] { return ReadChapterRecords(folder_)[0].text == "一二"; }));
  ASSERT_TRUE(WaitFor(
      [&] {
        return ReadFileBytes(Path("自动保存/自动保存文件【勿删】.txt")) == platform::Utf8ToGbk("一二");
      },
      kAutosaveWaitMs));
  EXPECT_TRUE(WaitFor(stopped, kAutosaveWaitMs));
  LetTimersRun();
  EXPECT_TRUE(stopped()) << "a quiet second starts nothing";
}

TEST_F(WritingDesk, ANameWithAPathSeparatorWritesNoFileOutsideTheChapterFolder) {
  StartDesk();
  AddChapter("../x", "越界");
  AddChapter("第二章", "");  // the new chapter writes the file of the one before
  ASSERT_TRUE(RecordsNamed({"../x", "第二章"}));
  EXPECT_FALSE(fs::exists(Path("x.txt")));
  EXPECT_TRUE(fs::is_empty(Path("小说文件")) || !fs::exists(Path("小说文件/../x.txt")));
  EXPECT_EQ(ReadChapterRecords(folder_)[0].text, "越界");
  // A trail byte 0x5C is part of its character (癨 is B0 5C), not a separator.
  EXPECT_FALSE(app::HoldsPathSeparator(platform::Utf8ToGbk("癨")));
  EXPECT_TRUE(app::HoldsPathSeparator("a\\b"));
}

TEST_F(WritingDesk, ClosingBacksUpShowsTheBoxesInOrderAndPacks) {
  StartDesk();
  ThreeChapters();
  AddChapter("第四章", "最后");
  AnswerBoxesWith("确定");
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第一章"; }));
  ClickInto(unit::kDeleteButton);
  ASSERT_TRUE(WaitFor([&] { return ItemTexts().size() == 3; }));
  boxes_.clear();
  ClickInto(unit::kCloseButton);
  ASSERT_TRUE(WaitFor([&] { return Unit(0) == nullptr; }));
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_EQ(boxes_[0].text, "小说文件备份成功");
  EXPECT_EQ(boxes_[0].caption, "信息：");
  EXPECT_EQ(boxes_[1].text, "自动保存文件备份成功");
  // Each new chapter wrote the file of the chapter before it.
  for (const char* name : {"第一章.txt", "第二章.txt", "第三章.txt"}) {
    EXPECT_EQ(ReadFileBytes(Path(std::string("小说文件备份/") + name)),
              ReadFileBytes(Path(std::string("小说文件/") + name)))
        << name;
  }
  std::vector<fs::path> backups;
  for (const auto& entry : fs::directory_iterator(Path("自动保存备份")))
    backups.push_back(entry.path());
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_TRUE(backups[0].filename().u8string().ends_with(u8"【备份】.txt"));
  EXPECT_EQ(ReadFileBytes(backups[0]), platform::Utf8ToGbk("乙"));
  EXPECT_FALSE(fs::exists(Path("复制文件.bat")));
  database::DatabaseList::Instance().CloseAll();
  const auto records = ReadChapterRecords(folder_);
  ASSERT_EQ(records.size(), 3u);  // the deleted chapter packed away
  EXPECT_EQ(records[0].name, "第二章");
  EXPECT_TRUE(DatabaseFaults(folder_).empty());
}

TEST_F(WritingDesk, ClosingWithAnEmptyTextShowsOnlyTheChapterBackupBox) {
  StartDesk();
  AnswerBoxesWith("确定");
  ClickInto(unit::kCloseButton);
  ASSERT_TRUE(WaitFor([&] { return Unit(0) == nullptr; }));
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text, "小说文件备份成功");
  EXPECT_TRUE(fs::is_empty(Path("自动保存备份")));
}

TEST_F(WritingDesk, AFailedChapterCopyIsToldNotCalledASuccess) {
  StartDesk();
  AddChapter("第一章", "甲");
  AddChapter("第二章", "乙");
  ASSERT_TRUE(RecordsNamed({"第一章", "第二章"}));
  fs::remove_all(Path("小说文件备份"));  // the copies have nowhere to go
  AnswerBoxesWith("确定");
  ClickInto(unit::kCloseButton);
  ASSERT_TRUE(WaitFor([&] { return Unit(0) == nullptr; }));
  ASSERT_GE(boxes_.size(), 1u);
  EXPECT_TRUE(boxes_[0].text.starts_with("小说文件备份失败：")) << boxes_[0].text;
  EXPECT_NE(boxes_[0].text.find("第一章.txt"), std::string::npos);
}

TEST_F(WritingDesk, ADamagedOrLockedDatabaseIsToldWithTheEnginesReason) {
  // Damaged: not a database at all.
  std::ofstream(Path("小说数据/data.edb"), std::ios::binary | std::ios::trunc)
      << "not a chapter database";
  AnswerBoxesWith("确定");
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return !boxes_.empty(); }));
  EXPECT_TRUE(boxes_[0].text.starts_with("无法打开章节数据库，本次输入的章节不会被保存："))
      << boxes_[0].text;
  EXPECT_GT(boxes_[0].text.size(),
            std::string("无法打开章节数据库，本次输入的章节不会被保存：").size());
}

TEST_F(WritingDesk, ADatabaseAnotherProgramKeepsToItselfIsTold) {
  database::OpenOptions options;
  options.path = platform::GbkPathOf(Path("小说数据/data.edb"));
  options.share_mode = 3;  // exclusive
  std::unique_ptr<database::Database> other;
  ASSERT_EQ(database::Database::Open(options, &other), 0);
  AnswerBoxesWith("确定");
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return !boxes_.empty(); }));
  EXPECT_TRUE(boxes_[0].text.starts_with("无法打开章节数据库")) << boxes_[0].text;
}

TEST_F(WritingDesk, AMissingDatabaseIsToldAndTheWindowStillWorks) {
  fs::remove(Path("小说数据/data.edb"));
  AnswerBoxesWith("确定");
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return !boxes_.empty(); }));
  EXPECT_EQ(boxes_[0].caption, "错误");
  EXPECT_TRUE(boxes_[0].text.starts_with("无法打开章节数据库")) << boxes_[0].text;
  EXPECT_TRUE(ItemTexts().empty());
  AddChapter("第一章", "无处保存");
  LetTimersRun();  // the save ticks find no database
  EXPECT_EQ(ItemTexts(), std::vector<std::string>{"第一章"});
  EXPECT_EQ(TextBox(), "无处保存");
}

}  // namespace

}  // namespace desk_tests
