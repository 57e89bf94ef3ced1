// Files replaced under an exclusive open: another program copies a backup over the main or memo
// file, renames one into place, or shortens the main file while the writing desk holds the
// database. The next save fails with kFilesReplaced, and from then on the open writes nothing
// into either file, not even at the close: the files at the paths keep exactly the other
// program's bytes.

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <filesystem>

#include "database/checker.h"
#include "database/error_codes.h"
#include "platform/core/fault_injection.h"
#include "runtime/gbk_literal.h"
#include "tests/database/database_test_support.h"
#include "tests/support/file_changes.h"

namespace database::testing {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kExclusive = 4;  // as the writing desk opens the chapter database

class ReplacedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateDatabase(folder_.Gbk("c.edb"), ChapterFields()), 0);
    // The backup: one chapter, taken while the database was closed.
    Open();
    ASSERT_EQ(db_->AppendBlank(), 0);
    ASSERT_EQ(SetText(*db_, name_, std::string(1300, 'a')), 0);
    DatabaseList::Instance().CloseAll();
    backup_main_ = ReadWholeFile(folder_.Native("c.edb"));
    backup_memo_ = ReadWholeFile(folder_.Native("c.edt"));
    // Then a session goes on: a second chapter and saves that leave spare blocks behind.
    Open();
    ASSERT_EQ(db_->AppendBlank(), 0);
    ASSERT_EQ(SetText(*db_, name_, std::string(2100, 'b')), 0);
    ASSERT_EQ(SetText(*db_, name_, std::string(2600, 'c')), 0);
    db_->GoFirst();
    ASSERT_EQ(SetText(*db_, name_, std::string(1800, 'd')), 0);
    ASSERT_GT(db_->memo()->spare_count(), 0u) << "the close would release them";
  }
  void TearDown() override { DatabaseList::Instance().CloseAll(); }

  void Open() {
    ASSERT_EQ(OpenDefault(folder_.Gbk("c.edb"), kExclusive), 0);
    db_ = DatabaseList::Instance().Current();
  }
  // Every write path of the open fails with kFilesReplaced; then the database is closed.
  void ExpectEveryWriteRefusedThenClose() {
    EXPECT_EQ(SetText(*db_, name_, std::string(3000, 'x')), code::kFilesReplaced);
    EXPECT_EQ(ErrorText(code::kFilesReplaced), runtime::Gbk("数据库文件已被其他程序替换"));
    EXPECT_EQ(SetText(*db_, name_, std::string(10, 'y')), code::kFilesReplaced) << "for good";
    EXPECT_EQ(db_->AppendBlank(), code::kFilesReplaced);
    EXPECT_EQ(db_->MarkRecords(nullptr, true), code::kFilesReplaced);
    EXPECT_EQ(db_->Pack(), code::kFilesReplaced);
    EXPECT_EQ(db_->Flush(), code::kFilesReplaced) << "a flush it did not make";
    DatabaseList::Instance().CloseAll();
  }
  std::vector<uint8_t> Main() const { return ReadWholeFile(folder_.Native("c.edb")); }
  std::vector<uint8_t> Memo() const { return ReadWholeFile(folder_.Native("c.edt")); }

  const std::string name_ = runtime::Gbk("姓名");
  TempFolder folder_;
  Database* db_ = nullptr;
  std::vector<uint8_t> backup_main_;
  std::vector<uint8_t> backup_memo_;
};

// A copy keeps the open file's identity: only its contents tell. (Windows itself refuses
// other writers of a file opened exclusively.)
#ifdef _WIN32
#define SKIP_WHERE_THE_SYSTEM_ENFORCES_SHARE_MODES() GTEST_SKIP() << "the system refuses the copy"
#else
#define SKIP_WHERE_THE_SYSTEM_ENFORCES_SHARE_MODES() (void)0
#endif

TEST_F(ReplacedFiles, ABackupCopiedOverTheMainFileIsNeitherSavedIntoNorPacked) {
  SKIP_WHERE_THE_SYSTEM_ENFORCES_SHARE_MODES();
  const std::vector<uint8_t> memo_before = Memo();
  WriteWholeFile(folder_.Native("c.edb"), backup_main_);
  ExpectEveryWriteRefusedThenClose();
  EXPECT_EQ(Main(), backup_main_);
  EXPECT_EQ(Memo(), memo_before) << "no save and no release of spares at the close";
}

TEST_F(ReplacedFiles, ABackupCopiedOverTheMemoFileGetsNoBlockOfANewSave) {
  SKIP_WHERE_THE_SYSTEM_ENFORCES_SHARE_MODES();
  const std::vector<uint8_t> main_before = Main();
  WriteWholeFile(folder_.Native("c.edt"), backup_memo_);
  ExpectEveryWriteRefusedThenClose();
  EXPECT_EQ(Memo(), backup_memo_);
  EXPECT_EQ(Main(), main_before);
}

#ifndef _WIN32
// A copy taken while the database was open, put back after a save of the same length: the
// counts, the lengths and the memo header are all as this open left them, and only the
// files' modification times tell (a sync tool or a backup restored in place does this).
TEST_F(ReplacedFiles, ACopyOfTheSameShapeRestoredInPlaceIsTold) {
  for (char letter : {'e', 'f'}) {  // saves and flushes: the replaced blocks become spares
    ASSERT_EQ(SetText(*db_, name_, std::string(1800, letter)), 0);
    ASSERT_EQ(db_->Flush(), 0);
  }
  const std::vector<uint8_t> copy_main = Main();
  const std::vector<uint8_t> copy_memo = Memo();
  ASSERT_EQ(SetText(*db_, name_, std::string(1800, 'g')), 0);  // into the spare blocks
  ASSERT_EQ(Main().size(), copy_main.size());
  ASSERT_EQ(Memo().size(), copy_memo.size());
  ASSERT_TRUE(test_support::WaitPastModificationTimes(
      {folder_.Native("c.edb"), folder_.Native("c.edt")}));
  WriteWholeFile(folder_.Native("c.edb"), copy_main);
  WriteWholeFile(folder_.Native("c.edt"), copy_memo);
  ExpectEveryWriteRefusedThenClose();
  EXPECT_EQ(Main(), copy_main);
  EXPECT_EQ(Memo(), copy_memo);
}

// A backup, an indexer or a virus scan reads the files and may set their access times back:
// no false alarm.
TEST_F(ReplacedFiles, ProgramsThatOnlyReadOrSetAccessTimesAreNoAlarm) {
  ASSERT_EQ(SetText(*db_, name_, std::string(1800, 'e')), 0);
  // A write from here on would move the files' times.
  ASSERT_TRUE(test_support::WaitPastModificationTimes(
      {folder_.Native("c.edb"), folder_.Native("c.edt")}));
  for (const char* name : {"c.edb", "c.edt"}) {
    struct stat before {};
    ASSERT_EQ(stat(folder_.Native(name).c_str(), &before), 0);
    ReadWholeFile(folder_.Native(name));
    const timespec times[2] = {{0, UTIME_NOW}, {0, UTIME_OMIT}};  // access time only
    ASSERT_EQ(utimensat(AT_FDCWD, folder_.Native(name).c_str(), times, 0), 0);
    const timespec restored[2] = {before.st_atim, before.st_mtim};  // as tar --atime-preserve
    ASSERT_EQ(utimensat(AT_FDCWD, folder_.Native(name).c_str(), restored, 0), 0);
  }
  EXPECT_EQ(SetText(*db_, name_, std::string(1800, 'f')), 0);
  EXPECT_EQ(db_->Flush(), 0);
}
#endif

TEST_F(ReplacedFiles, AShortenedMainFileIsNotWrittenAgain) {
  SKIP_WHERE_THE_SYSTEM_ENFORCES_SHARE_MODES();
  const std::vector<uint8_t> memo_before = Memo();
  std::vector<uint8_t> shortened = Main();
  shortened.resize(shortened.size() - 10);  // the second chapter's record cut
  fs::resize_file(folder_.Native("c.edb"), shortened.size());
  ExpectEveryWriteRefusedThenClose();
  EXPECT_EQ(Main(), shortened);
  EXPECT_EQ(Memo(), memo_before);
}

// A rename leaves the open writing into a file no name leads to: whatever it saved would be
// lost at the close, so it must say so at the first save.
TEST_F(ReplacedFiles, AFileRenamedIntoPlaceIsNotTakenForTheOpenOne) {
  for (const char* replaced : {"c.edb", "c.edt"}) {
    SCOPED_TRACE(replaced);
    if (db_ == nullptr) Open();
    const bool main = std::string(replaced) == "c.edb";
    const std::vector<uint8_t>& backup = main ? backup_main_ : backup_memo_;
    // (Windows lets nobody read a file opened exclusively: there the other file is not compared.)
    const std::vector<uint8_t> other_before = main ? Memo() : Main();
    WriteWholeFile(folder_.Native("restored"), backup);
    std::error_code error;
    fs::rename(folder_.Native("restored"), folder_.Native(replaced), error);
    if (error) {
      GTEST_SKIP() << "this system refuses to rename over an open file";
    }
    ExpectEveryWriteRefusedThenClose();
    db_ = nullptr;
    EXPECT_EQ(ReadWholeFile(folder_.Native(replaced)), backup);
#ifndef _WIN32
    EXPECT_EQ(main ? Memo() : Main(), other_before);
#endif
  }
}

// The checks must not stand in the way of a session in which nobody else touches the files:
// saves that grow and shrink chains, new chapters, a deletion and the pack at the close.
// A look-up the system does not answer (a network folder's passing I/O error) refuses that
// save with its own reason and decides nothing: the next save asks again and goes through.
TEST_F(ReplacedFiles, ALookUpTheSystemDoesNotAnswerRefusesThatSaveAlone) {
  ASSERT_EQ(SetText(*db_, name_, "before"), 0);
  for (int64_t nth = 1; nth <= 4; ++nth) {  // each file's handle and path
    platform::ArmIdentityFault(nth);
    EXPECT_EQ(SetText(*db_, name_, "refused " + std::to_string(nth)), code::kFileCheckFailed);
    platform::DisarmIdentityFault();
    EXPECT_EQ(ReadText(*db_, 0), nth == 1 ? "before" : "saved " + std::to_string(nth - 1));
    EXPECT_EQ(SetText(*db_, name_, "saved " + std::to_string(nth)), 0) << nth;
  }
  EXPECT_EQ(ErrorText(code::kFileCheckFailed), runtime::Gbk("系统暂时无法查看数据库文件，稍后将重试"));
  EXPECT_EQ(db_->Flush(), 0);
  DatabaseList::Instance().CloseAll();
  Open();
  db_->GoFirst();
  EXPECT_EQ(ReadText(*db_, 0), "saved 4");
}

TEST_F(ReplacedFiles, ASessionNobodyInterferesWithSavesAndPacksAsBefore) {
  for (int i = 1; i <= 30; ++i) {
    ASSERT_EQ(SetText(*db_, name_, std::string(static_cast<size_t>(300 * (i % 7) + 1), 'e')), 0)
        << i;
    if (i % 10 == 0) {
      ASSERT_EQ(db_->AppendBlank(), 0);
    }
  }
  db_->GoFirst();
  ASSERT_EQ(db_->MarkRecords(nullptr, true), 0);
  ASSERT_EQ(db_->Pack(), 0);
  ASSERT_EQ(SetText(*db_, name_, std::string(700, 'f')), 0) << "after the pack too";
  DatabaseList::Instance().CloseAll();
  CheckReport report;
  ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, false, &report), 0);
  EXPECT_TRUE(report.ok()) << report.faults.front();
  EXPECT_EQ(report.leaked_blocks, 0);
  EXPECT_EQ(ReadRawRecords(folder_.Native("c.edb"), folder_.Native("c.edt")).size(), 4u);
}

}  // namespace
}  // namespace database::testing
