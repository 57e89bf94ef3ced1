// Saves that fail: a full disk for a while, or one write that fails. The value on disk stays
// whole, the code says why, and no memo block leaks, however many saves failed.

#include <filesystem>

#include "database/checker.h"
#include "database/database_commands.h"
#include "database/error_codes.h"
#include "platform/core/fault_injection.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

class FailedSaves : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateDatabase(folder_.Gbk("c.edb"), ChapterFields()), 0);
    Open();
  }
  void TearDown() override {
    platform::DeclareEveryFolderFree();
    platform::DisarmFileFault();
  }
  void Open() {
    ASSERT_EQ(OpenDefault(folder_.Gbk("c.edb")), 0);
    db_ = DatabaseList::Instance().Current();
  }
  // Both memo fields of the current record at once: two chains written by one save.
  int32_t SaveBoth(const std::string& name, const std::string& bytes) {
    runtime::Text text(name);
    runtime::ByteSet set(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    const FieldUpdate updates[] = {{name_, text.Arg()}, {number_, set.Arg()}};
    return db_->UpdateRecords(nullptr, updates);
  }
  // Closes the database (its spares go on the free list) and checks it.
  void ExpectNoLeakAfterClose() {
    DatabaseList::Instance().CloseAll();
    CheckReport report;
    ASSERT_EQ(CheckDatabase(folder_.Gbk("c.edb"), {}, false, &report), 0);
    EXPECT_TRUE(report.ok()) << report.faults.front();
    EXPECT_EQ(report.leaked_blocks, 0);
  }
  const std::string name_ = runtime::Gbk("姓名");
  const std::string number_ = runtime::Gbk("学号");
  TempFolder folder_;
  Database* db_ = nullptr;
};

// Each save below grows the chapter, so that it needs this open's spare blocks and blocks
// appended past the end: the appending write is the one a full disk refuses.
TEST_F(FailedSaves, ManySavesOnAFullDiskReportItKeepTheOldValueAndLeakNoBlock) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  ASSERT_EQ(SetText(*db_, name_, std::string(1200, 'a')), 0);
  const std::string saved(1600, 'b');
  ASSERT_EQ(SetText(*db_, name_, saved), 0);  // the first chain's blocks are now spares
  ASSERT_GT(db_->memo()->spare_count(), 0u);

  platform::DeclareFolderFull(folder_.Gbk(""));
  for (int i = 1; i <= 20; ++i) {
    EXPECT_EQ(SetText(*db_, name_, std::string(1600 + 700 * i, 'c')), code::kDiskFull) << i;
  }
  EXPECT_EQ(ReadText(*db_, 0), saved);
  EXPECT_EQ(db_->AppendBlank(), code::kDiskFull) << "a new chapter needs room too";

  platform::DeclareFolderFree(folder_.Gbk(""));
  const std::string last(20000, 'd');
  ASSERT_EQ(SetText(*db_, name_, last), 0);
  EXPECT_EQ(ReadText(*db_, 0), last);
  ExpectNoLeakAfterClose();
}

// The save command of the writing desk leaves the code where the desk looks for it.
TEST_F(FailedSaves, TheSaveCommandFailsWithTheDiskFullCode) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  platform::DeclareFolderFull(folder_.Gbk(""));
  const runtime::Text field(name_);
  const runtime::Text text(std::string(900, 'x'));
  runtime::ArgCell result;
  const runtime::ArgCell args[] = {runtime::ArgCell(), field.Arg(), text.Arg()};
  ModifyFields(&result, 3, args);
  EXPECT_EQ(result.low, 0);
  EXPECT_EQ(LastDatabaseError(), code::kDiskFull);
}

// One save writes two chains; a failure after the first is written must give its blocks back.
TEST_F(FailedSaves, AFailureAtAnyWriteOfASaveLeaksNoBlock) {
  ASSERT_EQ(db_->AppendBlank(), 0);
  ASSERT_EQ(SaveBoth(std::string(1700, 'o'), std::string(900, 'p')), 0);
  ASSERT_EQ(SaveBoth(std::string(1800, 'q'), std::string(1000, 'r')), 0);  // spares to use
  DatabaseList::Instance().CloseAll();
  const std::vector<uint8_t> main_before = ReadWholeFile(folder_.Native("c.edb"));
  const std::vector<uint8_t> memo_before = ReadWholeFile(folder_.Native("c.edt"));

  const std::string new_name(4000, 'n');
  const std::string new_bytes(2600, 'm');
  bool saw_failure = false;
  for (int64_t nth = 1; nth <= 16; ++nth) {
    WriteWholeFile(folder_.Native("c.edb"), main_before);
    WriteWholeFile(folder_.Native("c.edt"), memo_before);
    Open();
    ASSERT_EQ(SaveBoth(std::string(1700, 'o'), std::string(900, 'p')), 0);  // spares again
    platform::ArmFileFault(nth, platform::FaultAction::kFail);
    const int32_t failed = SaveBoth(new_name, new_bytes);
    platform::DisarmFileFault();
    saw_failure = saw_failure || failed != code::kOk;
    const std::string name = ReadText(*db_, 0);
    EXPECT_TRUE(name == new_name || name == std::string(1700, 'o')) << "write " << nth;

    ASSERT_EQ(SaveBoth(std::string(5000, 'z'), std::string(100, 'y')), 0) << "write " << nth;
    SCOPED_TRACE("write " + std::to_string(nth));
    ExpectNoLeakAfterClose();
  }
  EXPECT_TRUE(saw_failure);
}

}  // namespace
}  // namespace database::testing
