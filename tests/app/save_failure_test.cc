// The desk when saving fails or the files are not as it left them: a full disk, a chapter
// whose text cannot be read, records left marked deleted, the last session's autosave file,
// a folder it cannot lock. Every case is driven through the window; the files are checked.
#ifndef _WIN32
#include <unistd.h>
#endif

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPointer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>

#include "app/appearance.h"
#include "app/chapter_file.h"
#include "app/chapters.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/single_instance.h"
#include "database/database.h"
#include "database/database_list.h"
#include "platform/core/code_page.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"
#include "tests/app/desk_test.h"
#include "tests/app/save_failure_fixture.h"
#include "tests/support/file_changes.h"
#include "tests/support/program_process.h"
#include "tests/support/damaged_chain.h"
#include "tests/support/message_box_answerer.h"
#include "tests/support/popup_menu_watch.h"
#include "tests/support/under_wine.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;
using namespace app;

TEST_F(SaveFailures, AFullDiskIsToldOnceAndTheTextGoesToARescueCopyUntilSavingWorksAgain) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "写好的");
  ASSERT_TRUE(WaitFor([&] {
    return !ReadChapterRecords(folder_).empty() && ReadChapterRecords(folder_)[0].text == "写好的";
  }));
  const std::string forum = WarningLine();

  FillDisk(folder_);
  Type("满了以后");
  ASSERT_TRUE(WaitFor([&] { return boxes_.size() == 1; }));
  EXPECT_EQ(boxes_[0].caption, "错误");
  EXPECT_NE(boxes_[0].text.find("正文已另存到"), std::string::npos) << boxes_[0].text;
  // The autosave file may fail first; the record's reason takes the line once it fails too.
  ASSERT_TRUE(WaitFor([&] { return WarningLine().starts_with("章节未能保存：磁盘空间不够"); }))
      << WarningLine();
  EXPECT_EQ(ReadInt(unit::kForumLabel, kLabelTextColor), 0x0000FF);
  // The program's folder is full: the copy went to the home folder, in GBK and UTF-8.
  const fs::path rescue_folder = home_ / fs::u8path("Inkstone 抢救");
  const auto rescued = [&](const std::string& text) {
    return WaitFor([&] {
      const auto gbk = FilesNamedLike(rescue_folder, "【抢救】");
      const auto utf8 = FilesNamedLike(rescue_folder, "（UTF-8）");
      return gbk.size() == 2 && utf8.size() == 1 &&
             ReadFileBytes(utf8[0]) == "第一章\r\n\r\n" + text;
    });
  };
  const auto names = [&] {
    std::string all;
    for (const fs::path& file : FilesNamedLike(rescue_folder, ""))
      all += file.filename().string() + " ";
    return all;
  };
  ASSERT_TRUE(rescued("写好的满了以后")) << names();
  EXPECT_NE(WarningLine().find(platform::GbkToUtf8(PathForAuthor(GbkPath(rescue_folder)))),
            std::string::npos)
      << WarningLine();

  // Typing on while failing updates the copy, without a second box.
  ReturnToTheText();
  Type("又一句");
  ASSERT_TRUE(rescued("写好的满了以后又一句")) << names();
  EXPECT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(ReadChapterRecords(folder_)[0].text, "写好的");

  FreeDisk(folder_);
  ASSERT_TRUE(WaitFor([&] { return WarningLine() == forum; }));
  ASSERT_TRUE(
      WaitFor([&] { return ReadChapterRecords(folder_)[0].text == "写好的满了以后又一句"; }));
  EXPECT_EQ(boxes_.size(), 1u);
  ClickInto(unit::kCloseButton);
  database::DatabaseList::Instance().CloseAll();
  for (const std::string& fault : DatabaseFaults(folder_)) ADD_FAILURE() << fault;
}

TEST_F(SaveFailures, AMemoFileRenamedOverTheDesksIsToldAndNeverWrittenInto) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "原文");
  ASSERT_TRUE(FirstChapterHolds("原文"));
  // Another program puts its own copy in place, as a restore of a backup would.
  const fs::path memo = Path("小说数据/data.edt");
  const std::string restored = ReadFileBytes(memo);
  std::ofstream(Path("小说数据/restored.edt"), std::ios::binary) << restored;
  std::error_code refused;
  fs::rename(Path("小说数据/restored.edt"), memo, refused);
  Type("后来");
  if (refused) {  // a system that refuses to rename over an open file: the desk saves on
    EXPECT_TRUE(WaitFor([&] {
      const auto records = ReadChapterRecords(folder_);
      return !records.empty() && records[0].text.find("后来") != std::string::npos;
    }));
    EXPECT_TRUE(boxes_.empty());
    GTEST_SKIP() << "this system refuses to rename over an open file";
  }
  ExpectToldTheFilesWereReplaced();
  EXPECT_EQ(ReadFileBytes(memo), restored);
}

// A backup copied over both files in place while the desk runs (a restore, a sync tool): the
// next save is refused and told, and the files keep the copy's bytes.
TEST_F(SaveFailures, ABackupCopiedInPlaceOverTheOpenDatabaseIsToldAndNeverWrittenInto) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows keeps every other writer out of the open database";
#endif
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "原文");
  // Saves, each followed by the pause's flush, until a save only reuses the blocks the one
  // before replaced: the copy then has the very shape (lengths, counts, memo header) of the
  // files it is put over.
  const fs::path main = Path("小说数据/data.edb");
  const fs::path memo = Path("小说数据/data.edt");
  std::string text = "原文";
  ASSERT_TRUE(FirstChapterHolds(text));
  for (const char* more : {"甲", "乙"}) {
    Type(more);
    text += more;
    ASSERT_TRUE(FirstChapterHolds(text));
    ASSERT_TRUE(WaitFor([] { return !app::ChapterSaveDue(); })) << "the pause's flush";
  }
  const std::string backup_main = ReadFileBytes(main);
  const std::string backup_memo = ReadFileBytes(memo);
  Type("丙");
  ASSERT_TRUE(FirstChapterHolds(text + "丙"));
  ASSERT_EQ(ReadFileBytes(main).size(), backup_main.size());
  ASSERT_EQ(ReadFileBytes(memo).size(), backup_memo.size());
  ASSERT_TRUE(test_support::WaitPastModificationTimes({main, memo}));
  std::ofstream(main, std::ios::binary | std::ios::trunc) << backup_main;  // in place, as cp
  std::ofstream(memo, std::ios::binary | std::ios::trunc) << backup_memo;
  Type("再");
  ExpectToldTheFilesWereReplaced();
  EXPECT_EQ(ReadFileBytes(main), backup_main);
  EXPECT_EQ(ReadFileBytes(memo), backup_memo);
}

TEST_F(SaveFailures, WithEveryPlaceFullTheLineSaysTheTextCouldNotBeRescued) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "字");
  FillDisk(folder_);
  FillDisk(home_);
  FillDisk(fs::temp_directory_path());
  Type("无处可存");
  ASSERT_TRUE(WaitFor([&] { return boxes_.size() == 1; }));
  EXPECT_NE(WarningLine().find("正文无法另存"), std::string::npos) << WarningLine();
}

// The last place is the system's temporary folder, which Windows names with a closing
// separator: the path the author reads has no doubled one.
TEST_F(SaveFailures, ARescueCopyInTheTemporaryFolderHasAPlainPath) {
#ifdef _WIN32
  constexpr const char* kTemporaryVariable = "TMP";
#else
  constexpr const char* kTemporaryVariable = "TMPDIR";
#endif
  const fs::path temporary = home_.string() + "-temporary";
  fs::create_directories(temporary);
  const char* old = std::getenv(kTemporaryVariable);
  const std::string old_temporary = old != nullptr ? old : "";
  test_support::SetVariable(kTemporaryVariable, (temporary / "").string());
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "字");
  FillDisk(folder_);
  FillDisk(home_);
  Type("救");
  const bool told = WaitFor([&] { return boxes_.size() == 1; });
  if (old != nullptr) {
    test_support::SetVariable(kTemporaryVariable, old_temporary);
  } else {
    test_support::UnsetVariable(kTemporaryVariable);
  }
  ASSERT_TRUE(told);
  const std::string line = WarningLine();
  const std::u8string shown = temporary.u8string();
  EXPECT_NE(line.find(std::string(shown.begin(), shown.end())), std::string::npos) << line;
  EXPECT_EQ(line.find("\\\\"), std::string::npos) << line;
  EXPECT_EQ(line.find("//"), std::string::npos) << line;
  // In a folder of the author's own, which the line says a restart empties.
#ifdef _WIN32
  const fs::path own = temporary / fs::u8path("Inkstone 抢救");
#else
  const fs::path own = temporary / fs::u8path("Inkstone 抢救-" + std::to_string(geteuid()));
#endif
  EXPECT_EQ(FilesNamedLike(own, "【抢救】1.txt").size(), 1u);
  EXPECT_NE(line.find("重启后就会消失"), std::string::npos) << line;
  fs::remove_all(temporary);
}

TEST_F(SaveFailures, ClosingWithUnsavedTextAsksAndEscapeOrCancelKeepsTheWindow) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "字");
  FillDisk(folder_);
  Type("未存");
  ASSERT_TRUE(WaitFor([&] { return boxes_.size() == 1; }));
  boxes_.clear();
  AnswerBoxesWith("取消");
  ClickInto(unit::kCloseButton);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "警告");
  EXPECT_NE(boxes_[0].text.find("正文的抢救副本"), std::string::npos) << boxes_[0].text;
  EXPECT_TRUE(Unit(0)->Widget()->isVisible());  // still open, the text on screen
  EXPECT_EQ(TextBox(), "字未存");

  // Saving works again: the close goes on without asking.
  FreeDisk(folder_);
  boxes_.clear();
  AnswerBoxesWith("确定");
  ClickInto(unit::kCloseButton);
  ASSERT_FALSE(boxes_.empty());
  EXPECT_EQ(boxes_[0].text, "小说文件备份成功");
  EXPECT_EQ(ReadChapterRecords(folder_)[0].text, "字未存");
}

// 否 closes the desk at once; the rescue copy keeps the text the disk refused.
TEST_F(SaveFailures, ClosingWithUnsavedTextAndAnsweringNoClosesTheDesk) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "字");
  FillDisk(folder_);
  Type("未存");
  ASSERT_TRUE(WaitFor([&] { return boxes_.size() == 1; }));
  boxes_.clear();
  AnswerBoxesWith("否");
  const test_support::MessageBoxAnswerer exit_boxes(QString::fromUtf8("确定"));
  const QPointer<QWidget> window = Unit(0)->Widget();
  ClickInto(unit::kCloseButton);
  const auto questions = std::count_if(boxes_.begin(), boxes_.end(), [](const SeenBox& box) {
    return box.text.starts_with("本章还有没保存进章节数据库的正文");
  });
  EXPECT_EQ(questions, 1);
  ASSERT_FALSE(boxes_.empty());
  EXPECT_NE(boxes_[0].text.find("正文的抢救副本"), std::string::npos) << boxes_[0].text;
  EXPECT_TRUE(window.isNull() || !window->isVisible());
}

TEST_F(SaveFailures, AFailedPackAndAnUnreadableChapterFolderAreToldAtTheClose) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "字");
  AddChapter("第二章", "删");
  AnswerBoxesWith("确定");
  ClickInto(unit::kDeleteButton);  // a record marked deleted: the pack has work to do
  ASSERT_TRUE(
      WaitFor([&] { return ItemTexts().size() == 1 && ReadChapterRecords(folder_)[1].deleted; }));
  boxes_.clear();
  fs::remove_all(Path("小说文件"));
  std::ofstream(Path("小说文件")) << "not a folder";
  FillDisk(Path("小说数据"));
  ClickInto(unit::kCloseButton);
  ASSERT_GE(boxes_.size(), 3u);
  EXPECT_TRUE(boxes_[0].text.starts_with("小说文件备份失败")) << boxes_[0].text;
  EXPECT_EQ(boxes_.back().caption, "信息：");
  EXPECT_TRUE(boxes_.back().text.starts_with("章节数据库整理失败")) << boxes_.back().text;
}

TEST_F(SaveFailures, RecordsLeftMarkedDeletedAreNotListed) {
  WriteChapters(
      {{"第一章", "一"}, {"删掉的", "删", true}, {"第二章", "二"}, {"也删了", "删", true}});
  AnswerBoxesWith("确定");
  StartDesk();
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"第一章", "第二章"}));
  ClickItem(1);
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第二章"; }));
  EXPECT_EQ(TextBox(), "二");
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"第一章", "第二章"}));
  // A new chapter after them: no box, no blank record left by an ending.
  AddChapter("第三章", "三");
  ASSERT_TRUE(WaitFor([&] {
    return ReadChapterRecords(folder_).size() == 5 && ReadChapterRecords(folder_)[4].text == "三";
  }));
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(SaveFailures, ANewChapterOrADeleteTheDatabaseRefusesIsToldAndTheListStaysAsTheRecords) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章", "一");
  AddChapter("第二章", "二");
  ASSERT_TRUE(WaitFor([&] {
    return ReadChapterRecords(folder_).size() == 2 && ReadChapterRecords(folder_)[1].text == "二";
  }));
  FillDisk(Path("小说数据"));
  ClickInto(unit::kNewChapterButton);
  ASSERT_FALSE(boxes_.empty());
  EXPECT_TRUE(boxes_.back().text.starts_with("无法新建章节：磁盘空间不够")) << boxes_.back().text;
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"第一章", "第二章"}));
  EXPECT_EQ(NameBox(), "第二章");
  boxes_.clear();
  ClickInto(unit::kDeleteButton);  // confirmed, then refused
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_TRUE(boxes_[1].text.starts_with("无法删除章节：磁盘空间不够")) << boxes_[1].text;
  EXPECT_EQ(ItemTexts(), (std::vector<std::string>{"第一章", "第二章"}));
  EXPECT_EQ(TextBox(), "二");
  FreeDisk(Path("小说数据"));
  ASSERT_EQ(ReadChapterRecords(folder_).size(), 2u);
  EXPECT_FALSE(ReadChapterRecords(folder_)[1].deleted);
}

TEST_F(SaveFailures, AChapterNameTooLongForAFileNameStillGetsItsFileAndItsBackup) {
  // Windows takes names of 255 UTF-16 units; the Linux file system beneath Wine ends a name at
  // 255 bytes and Wine cuts the rest (".txt" too). The Linux run checks the same with its limit.
  if (test_support::UnderWine()) GTEST_SKIP() << "Wine cuts names longer than 255 bytes";
  std::string name;
  for (int i = 0; i < 100; ++i) name += "长";
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter(name, "正文");
  ClickInto(unit::kNewChapterButton);  // writes the chapter's file
  const std::string file_name =
      platform::GbkToUtf8(ChapterFileStem(platform::Utf8ToGbk(name), 1)) + ".txt";
  EXPECT_EQ(ReadFileBytes(Path("小说文件/" + file_name)), Gbk("正文"));
  // A second name that agrees with the first up to the cut gets a file of its own.
  Type(name + "二");
  ClickInto(unit::kTextBox);
  Type("第二篇");
  ClickInto(unit::kNewChapterButton);
  const std::string second_file =
      platform::GbkToUtf8(ChapterFileStem(platform::Utf8ToGbk(name + "二"), 2)) + ".txt";
  EXPECT_NE(second_file, file_name);
  EXPECT_EQ(ReadFileBytes(Path("小说文件/" + second_file)), Gbk("第二篇"));
  EXPECT_EQ(ReadFileBytes(Path("小说文件/" + file_name)), Gbk("正文"));
  ClickInto(unit::kCloseButton);
  EXPECT_EQ(ReadFileBytes(Path("小说文件备份/" + file_name)), Gbk("正文"));
  EXPECT_EQ(boxes_.front().text, "小说文件备份成功");
}

TEST_F(SaveFailures, AChapterThatCannotBeReadIsShownReadOnlyAndNeverWrittenOver) {
  const std::string long_text(800, 'x');  // two memo blocks: the first stays readable
  WriteChapters({{"第一章", long_text}, {"第二章", "二"}});
  ASSERT_TRUE(test_support::DamageMemoChain(Path("小说数据/data.edb"), 0, runtime::Gbk("学号")));
  AnswerBoxesWith("确定");
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return !boxes_.empty(); }));
  EXPECT_NE(boxes_[0].text.find("“第一章”的正文无法完整读出"), std::string::npos) << boxes_[0].text;
  const std::string shown = TextBox();
  EXPECT_FALSE(shown.empty());
  EXPECT_TRUE(long_text.starts_with(shown));
  EXPECT_EQ(ReadInt(unit::kTextBox, kInputMode), 1);
  ClickInto(unit::kTextBox);
  Key(Qt::Key_Return);
  LetTimersRun();
  EXPECT_EQ(TextBox(), shown) << "Enter added a paragraph to a chapter shown read-only";
  // Still the damaged chain, not the shown part written over it.
  EXPECT_FALSE(DatabaseFaults(folder_).empty());

  // Another chapter is editable again; back on the first, its part can become a new chapter.
  ClickItem(1);
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第二章"; }));
  EXPECT_EQ(ReadInt(unit::kTextBox, kInputMode), 0);
  boxes_.clear();
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return boxes_.size() == 1; }));
  // The text's pop-up menu now has the item that keeps what could be read.
  ASSERT_TRUE(test_support::WithPopupMenu(
      [&] { RightClick(unit::kTextBox, QPoint(40, 30)); },
      [](QMenu& menu) {
        for (QAction* action : menu.actions()) {
          if (action->text() == QString::fromUtf8("以可读部分另存为新章节")) {
            QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
            return;
          }
        }
        menu.close();
      }));
  ASSERT_TRUE(WaitFor([&] { return ItemTexts().size() == 3; }));
  EXPECT_EQ(CurrentItem(), 2);
  EXPECT_EQ(ReadInt(unit::kTextBox, kInputMode), 0);
  ASSERT_TRUE(WaitFor([&] {
    const auto records = ReadChapterRecords(folder_);
    return records.size() == 3 && records[2].name == "第一章（可读部分）" &&
           records[2].text == shown;
  }));
}

TEST_F(SaveFailures, TheLastSessionsAutosaveFileIsKeptUntilTheAuthorEditsAndThenBackedUp) {
  WriteChapters({{"第一章", "本章"}});
  fs::create_directories(Path("自动保存"));
  const fs::path autosave = Path("自动保存/自动保存文件【勿删】.txt");
  std::ofstream(autosave, std::ios::binary) << Gbk("上次没存进数据库的字");
  AnswerBoxesWith("确定");
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return TextBox() == "本章"; }));
  LetTimersRun();
  EXPECT_EQ(ReadFileBytes(autosave), Gbk("上次没存进数据库的字"));
  ClickInto(unit::kTextBox);
  Type("新");
  ASSERT_TRUE(WaitFor([&] { return ReadFileBytes(autosave) != Gbk("上次没存进数据库的字"); }));
  const auto kept = FilesNamedLike(Path("自动保存备份"), "【上次自动保存】");
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(ReadFileBytes(kept[0]), Gbk("上次没存进数据库的字"));
}

TEST_F(SaveFailures, AFolderThatCannotBeLockedRefusesTheStart) {
  fs::create_directory(Path("小说数据/写作台.lock"));  // a lock file that cannot be opened
  const std::string refused = app::ClaimProgramFolder();
  EXPECT_FALSE(refused.empty());
  EXPECT_NE(platform::GbkToUtf8(refused), platform::GbkToUtf8(app::texts::kAlreadyOpen));
}

#ifndef _WIN32
// A network folder without a lock service: two desks could both open the novel "exclusively",
// so the start is refused with that reason.
TEST_F(SaveFailures, AFolderOnAFileSystemWithoutLocksRefusesTheStartWithItsReason) {
  platform::DeclareFolderLockless(platform::GbkPathOf(Path("小说数据")));
  const std::string refused = app::ClaimProgramFolder();
  platform::DeclareFolderLocking(platform::GbkPathOf(Path("小说数据")));
  EXPECT_EQ(platform::GbkToUtf8(refused), platform::GbkToUtf8(app::texts::kLockNotSupported));
}
#endif

TEST(DeskWords, SearchWordsAreEncodedAsASearchFormSendsThem) {
  EXPECT_EQ(app::EncodeSearchWords("A&B C++"), "A%26B%20C%2B%2B");
  EXPECT_EQ(app::EncodeSearchWords("a-b_c.d~9#%"), "a-b_c.d~9%23%25");
  EXPECT_EQ(app::EncodeSearchWords(platform::Utf8ToGbk("小说")), "%D0%A1%CB%B5");
}

TEST(DeskWords, AChapterNameTooLongForAFileNameIsCutAtACharacterBoundary) {
  std::string name;
  for (int i = 0; i < 300; ++i) name += "长";
  const std::string fitted =
      platform::GbkToUtf8(app::FittedChapterFileName(platform::Utf8ToGbk(name)));
#ifdef _WIN32
  EXPECT_EQ(fitted.size(), 251u * 3);  // 251 characters and ".txt": 255 UTF-16 units
#else
  EXPECT_EQ(fitted.size() + 4, 253u);  // 83 characters and ".txt"; one more would pass 255 bytes
#endif
  EXPECT_TRUE(name.starts_with(fitted));
  EXPECT_EQ(app::FittedChapterFileName("short"), "short");
  // Cut, the stem ends in the record's number and still fits.
  const std::string stem = platform::GbkToUtf8(app::ChapterFileStem(platform::Utf8ToGbk(name), 12));
  EXPECT_TRUE(stem.ends_with("～12")) << stem;
  EXPECT_LE(platform::NativeNameLength(platform::Utf8ToGbk(stem) + ".txt"), platform::kLongestNativeName);
  EXPECT_EQ(app::ChapterFileStem("short", 12), "short");
  EXPECT_EQ(app::ChapterFileStem("a/b", 12), "");
}

}  // namespace

}  // namespace desk_tests
