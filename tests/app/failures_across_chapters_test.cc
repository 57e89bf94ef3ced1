// Failures an author meets while moving through the novel: a full disk in one chapter healed
// while writing in another, the desk closed and started again before a chapter had its text
// back, the failure's notice while typing on, a new chapter started while failing, the text
// typed before the first chapter, and what a paste or the autosave file could lose.
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <filesystem>

#include "app/desk_texts.h"
#include "app/save_alarm.h"
#include "database/database.h"
#include "database/database_list.h"
#include "platform/gui/notice.h"
#include "tests/app/save_failure_fixture.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;
using namespace app;

class FailuresAcrossChapters : public SaveFailures {
 protected:
  fs::path RescueList() { return Path("小说数据/待恢复章节.txt"); }
  fs::path HomeRescues() { return home_ / fs::u8path("Inkstone 抢救"); }
  bool RecordHolds(size_t index, const std::string& text, int timeout_ms = 5000) {
    return WaitFor(
        [&] {
          const auto records = ReadChapterRecords(folder_);
          return records.size() > index && records[index].text == text;
        },
        timeout_ms);
  }
  // Chapter one fails while "满后写的" is typed into it and is left for chapter two while the
  // disk is still full; the disk is then freed and chapter two saves.
  void LeaveChapterOneFailing() {
    AddChapter("第一章", "甲");
    AddChapter("第二章", "乙");
    ASSERT_TRUE(RecordHolds(1, "乙"));
    ClickItem(0);
    ASSERT_TRUE(WaitFor([&] { return NameBox() == "第一章"; }));
    ReturnToTheText();
    FillDisk(folder_);
    Type("满后写的");
    ASSERT_TRUE(WaitFor([&] { return gui::NoticeShown() || !boxes_.empty(); }));
    ClickItem(1);
    ASSERT_TRUE(WaitFor([&] { return NameBox() == "第二章"; }));
    FreeDisk(folder_);
    ReturnToTheText();
    Type("二");
    ASSERT_TRUE(RecordHolds(1, "乙二"));
  }
  // The autosave file as the last session left it.
  void LastSessionAutosave(const std::string& text) {
    fs::create_directories(Path("自动保存"));
    std::ofstream(Path("自动保存/自动保存文件【勿删】.txt"), std::ios::binary) << Gbk(text);
  }
  void CloseDesk() {
    ClickInto(unit::kCloseButton);
    ASSERT_TRUE(WaitFor([&] { return Unit(0) == nullptr; }));
    database::DatabaseList::Instance().CloseAll();  // as the program's end does
  }
};

TEST_F(FailuresAcrossChapters, AChapterLeftWithItsTextInARescueCopyWaitsUntilItIsBack) {
  AnswerBoxesWith("确定");
  StartDesk();
  const std::string forum = WarningLine();
  LeaveChapterOneFailing();
  // Saving works again, but chapter one's record lacks what was typed while it failed.
  ASSERT_TRUE(WaitFor([&] { return WarningLine().starts_with("有 1 个章节的最新正文"); }))
      << WarningLine();
  EXPECT_EQ(ReadChapterRecords(folder_)[0].text, "甲");
  EXPECT_TRUE(fs::exists(RescueList()));

  // The close asks, naming the chapter; 取消 keeps the desk.
  boxes_.clear();
  AnswerBoxesWith("取消");
  ClickInto(unit::kCloseButton);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].text.find("《第一章》"), std::string::npos) << boxes_[0].text;
  EXPECT_NE(Unit(0), nullptr);

  // Back in chapter one the rescued text is offered; taken, it is saved and the line goes.
  boxes_.clear();
  AnswerBoxesWith("是");
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return TextBox() == "甲满后写的"; })) << TextBox();
  ASSERT_TRUE(RecordHolds(0, "甲满后写的"));
  EXPECT_TRUE(WaitFor([&] { return WarningLine() == forum; })) << WarningLine();
  // The save's result is heard a moment after its record holds the text.
  EXPECT_TRUE(WaitFor([&] { return !fs::exists(RescueList()); }));
  // What the record held before went to a copy of its own.
  EXPECT_EQ(FilesNamedLike(Path("自动保存备份"), "【替换前】1（UTF-8）").size(), 1u);
}

TEST_F(FailuresAcrossChapters, TheNextStartTellsAndOffersTheRescuedText) {
  AnswerBoxesWith("确定");
  StartDesk();
  LeaveChapterOneFailing();
  ASSERT_TRUE(WaitFor([&] { return WarningLine().starts_with("有 1 个章节"); }));
  CloseDesk();  // 确定: closed knowingly
  EXPECT_TRUE(fs::exists(RescueList()));
  EXPECT_EQ(ReadChapterRecords(folder_)[0].text, "甲");

  // The first chapter is shown at the start: offered there.
  boxes_.clear();
  AnswerBoxesWith("是|确定");
  StartDesk();
  ASSERT_TRUE(RecordHolds(0, "甲满后写的"));
  bool told = false;
  for (const SeenBox& box : boxes_) told |= box.text.find("《第一章》") != std::string::npos;
  EXPECT_TRUE(told);
  EXPECT_TRUE(WaitFor([&] { return !fs::exists(RescueList()); }));
}

TEST_F(FailuresAcrossChapters, DroppingTheRescuedTextIsAChoiceAndEndsTheWaiting) {
  AnswerBoxesWith("确定");
  StartDesk();
  const std::string forum = WarningLine();
  LeaveChapterOneFailing();
  AnswerBoxesWith("否");
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return WarningLine() == forum; })) << WarningLine();
  EXPECT_EQ(TextBox(), "甲");
  EXPECT_FALSE(fs::exists(RescueList()));
  // The copy itself stays where it was.
  EXPECT_EQ(FilesNamedLike(HomeRescues(), "【抢救】1（UTF-8）").size(), 1u);
}

// The notice of a failure does not take the keyboard: what the author types after it appeared
// goes on into the chapter.
TEST_F(FailuresAcrossChapters, KeysTypedAfterTheNoticeGoIntoTheChapter) {
  StartDesk();
  AddChapter("第一章", "字");
  ASSERT_TRUE(RecordHolds(0, "字"));
  QWidget* text_box = Unit(unit::kTextBox)->Widget();
  FillDisk(folder_);
  Type("满");
  ASSERT_TRUE(WaitFor([] { return gui::NoticeShown(); }));
  // Keys that reach the notice in the moment a window system gave it the keyboard, before it
  // hands it back, were meant for the chapter: they go on to it.
  QWidget* notice = nullptr;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && qobject_cast<QMessageBox*>(window) != nullptr) notice = window;
  }
  ASSERT_NE(notice, nullptr);
  TypeInto(notice, "了 ");
  // The window system may activate a new window: the desk has the keys back at once.
  ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == Unit(0)->Widget(); }));
  EXPECT_EQ(QApplication::focusWidget(), text_box);
  Type("接着写的一句");
  EXPECT_EQ(TextBox(), "字满了 接着写的一句");
  EXPECT_TRUE(gui::NoticeShown());
  FreeDisk(folder_);
  EXPECT_TRUE(RecordHolds(0, "字满了 接着写的一句"));
  gui::CloseNotice();
}

// 新章 while failing rescues the chapter it leaves at once, whatever the rescue's rate.
TEST_F(FailuresAcrossChapters, ANewChapterWhileFailingRescuesTheLastWordsFirst) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "字");
  ASSERT_TRUE(RecordHolds(0, "字"));
  FillDisk(folder_);
  Type("满");
  ASSERT_TRUE(WaitFor([&] { return !boxes_.empty(); }));
  ReturnToTheText();
  Type("最后一句");
  ClickInto(unit::kNewChapterButton);
  const auto copies = FilesNamedLike(HomeRescues(), "【抢救】1（UTF-8）");
  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(ReadFileBytes(copies[0]), "第一章\r\n\r\n字满最后一句");
#ifndef _WIN32
  // Readable by the author alone, in a folder of the author's alone.
  EXPECT_EQ(fs::status(copies[0]).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(HomeRescues()).permissions() & fs::perms::all, fs::perms::owner_all);
#endif
}

#ifndef _WIN32
// A link planted where a rescue copy will go is replaced, never written through.
TEST_F(FailuresAcrossChapters, ARescueCopyNeverWritesThroughALinkFoundInItsPlace) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "字");
  ASSERT_TRUE(RecordHolds(0, "字"));
  const fs::path target = home_ / "elsewhere.txt";
  std::ofstream(target) << "someone else's";
  FillDisk(folder_);
  Type("满");
  ASSERT_TRUE(WaitFor([&] { return !FilesNamedLike(HomeRescues(), "【抢救】1").empty(); }));
  // Links put where the copy and its temporary file go, as one who watches the folder would.
  const fs::path copy = FilesNamedLike(HomeRescues(), "【抢救】1（UTF-8）")[0];
  fs::remove(copy);
  fs::create_symlink(target, copy);
  fs::create_symlink(target, fs::path(copy.string() + ".inkstone-new"));
  ReturnToTheText();
  Type("又一句");
  ClickInto(unit::kNewChapterButton);  // rescues at once
  EXPECT_EQ(ReadFileBytes(target), "someone else's");
  EXPECT_FALSE(fs::is_symlink(copy));
  EXPECT_EQ(ReadFileBytes(copy), "第一章\r\n\r\n字满又一句");
}
#endif

TEST_F(FailuresAcrossChapters, ANulPastedIntoTheTextCannotCutTheChapterShort) {
  StartDesk();
  AddChapter("第一章", "前");
  ASSERT_TRUE(RecordHolds(0, "前"));
  auto* mime = new QMimeData;
  mime->setText(QString::fromUtf8("粘贴的") + QChar(0) + QString::fromUtf8("后半"));
  QApplication::clipboard()->setMimeData(mime);
  ReturnToTheText();
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(TextBox(), "前粘贴的后半");
  EXPECT_TRUE(RecordHolds(0, "前粘贴的后半"));
  // The name box as well.
  ClickInto(unit::kNameBox);
  Key(Qt::Key_End);
  Key(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(NameBox(), "第一章粘贴的后半");
}

// A failed first rewrite of the autosave file keeps the last session's file once, not once a
// tick until the disk is full.
TEST_F(FailuresAcrossChapters, TheLastSessionsAutosaveFileIsKeptOnceWhileItsRewriteFails) {
  LastSessionAutosave("上次的字");
  AnswerBoxesWith("确定");
  StartDesk();
  FillDisk(Path("自动保存"));
  AddChapter("第一章", "新写的");
  ASSERT_TRUE(WaitFor([&] { return WarningLine().starts_with("自动保存文件未能写入"); },
                      kAutosaveWaitMs))
      << WarningLine();
  LetTimersRun();
  LetTimersRun();
  EXPECT_EQ(FilesNamedLike(Path("自动保存备份"), "上次").size(), 1u);
}

// Closing without an edit leaves the last session's autosave file as it is: it is not copied
// under today's time as if it were this session's text.
TEST_F(FailuresAcrossChapters, AnUneditedSessionMakesNoAutosaveBackupOfTheLastOnesText) {
  WriteChapters({{"第一章", "正文"}});
  LastSessionAutosave("上次的字");
  AnswerBoxesWith("确定");
  StartDesk();
  ASSERT_EQ(TextBox(), "正文");
  CloseDesk();
  ASSERT_FALSE(boxes_.empty());
  EXPECT_EQ(boxes_.back().text, "小说文件备份成功");
  EXPECT_TRUE(FilesNamedLike(Path("自动保存备份"), "【备份】").empty());
  EXPECT_EQ(ReadFileBytes(Path("自动保存/自动保存文件【勿删】.txt")), Gbk("上次的字"));
}

// A save writes only the record its chapter was loaded from, found by its number: a record
// pointer moved elsewhere (by any path that forgot to bring it back) never takes another
// chapter's text, and is put back where it was.
TEST_F(FailuresAcrossChapters, ASaveWritesItsOwnRecordWhereverThePointerWasLeft) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "一");
  AddChapter("第二章", "二");
  ASSERT_TRUE(RecordHolds(1, "二"));
  database::DatabaseList::Instance().Current()->GoFirst();
  Type("又");
  ASSERT_TRUE(RecordHolds(1, "二又"));
  LetTimersRun();
  const auto records = ReadChapterRecords(folder_);
  EXPECT_EQ(records[0].text, "一");
  EXPECT_EQ(database::DatabaseList::Instance().Current()->record_pointer(), 0);
  EXPECT_FALSE(app::SaveFailing());
}

}  // namespace

}  // namespace desk_tests
