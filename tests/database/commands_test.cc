// The database commands, called through argument cells as the application calls them.

#include "database/database_commands.h"
#include "database/error_codes.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"
#include "tests/support/runtime_error_exit.h"

namespace database::testing {
namespace {

using runtime::ArgCell;

ArgCell Call(void (*command)(ArgCell*, int32_t, const ArgCell*), std::vector<ArgCell> args = {}) {
  ArgCell result;
  command(&result, static_cast<int32_t>(args.size()), args.data());
  return result;
}

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    DatabaseList::Instance().CloseAll();
    ASSERT_EQ(CreateDatabase(folder_.Gbk("data.edb"), ChapterFields()), 0);
    path_ = runtime::Text(folder_.Gbk("data.edb"));
  }
  bool Open() { return Call(&OpenDatabase, {path_.Arg()}).low != 0; }
  TempFolder folder_;
  runtime::Text path_;
  runtime::Text name_{runtime::Gbk("姓名")};
  runtime::Text number_{runtime::Gbk("学号")};
};

ArgCell ChapterName(const void* frame) {
  return ArgCell::Text(runtime::MakeText(*static_cast<const std::string*>(frame)));
}

TEST_F(Commands, TheChapterRoutinesOfTheApplicationWork) {
  ASSERT_TRUE(Open());
  EXPECT_EQ(LastDatabaseError(), 0);
  EXPECT_TRUE(Call(&IsAfterLastRecord).low) << "empty";
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(Call(&AppendBlankRecord).low);
    EXPECT_EQ(Call(&GetRecordNumber).As<int32_t>(), i);
    const runtime::Text empty = runtime::Text::FromResult(Call(&ReadField, {name_.Arg()}));
    EXPECT_TRUE(empty.IsEmpty());
    const std::string chapter = runtime::Gbk("第") + std::to_string(i) + runtime::Gbk("章");
    const runtime::SubStatement value{&ChapterName, &chapter};
    runtime::Text text(std::string(3000 * i, 'x'));
    ASSERT_TRUE(Call(&ModifyFields, {ArgCell(), name_.Arg(), ArgCell::Statement(&value),
                                     number_.Arg(), ArgCell::ByteSet(nullptr)})
                    .low);
  }
  // Start-up: every chapter name, first to last.
  Call(&GoFirstRecord);
  std::vector<std::string> names;
  while (!Call(&IsAfterLastRecord).low) {
    names.emplace_back(runtime::Text::FromResult(Call(&ReadField, {ArgCell::Int(1)})).View());
    ASSERT_TRUE(Call(&SkipRecords).low) << "no argument: one record";
  }
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[2], runtime::Gbk("第3章"));
  EXPECT_FALSE(Call(&SkipRecords).low);
  EXPECT_EQ(LastDatabaseError(), code::kAfterLast);
  EXPECT_EQ(Call(&GetRecordNumber).As<int32_t>(), 4) << "after the last: count + 1";

  // Deleting with a plain true marks every record and keeps the pointer.
  Call(&GoFirstRecord);
  Call(&SkipRecords, {ArgCell::Int(1)});
  EXPECT_TRUE(Call(&DeleteRecords, {ArgCell::Logical(true)}).low);
  EXPECT_EQ(Call(&GetRecordNumber).As<int32_t>(), 2);
  EXPECT_TRUE(Call(&IsRecordDeleted).low);
  EXPECT_TRUE(Call(&ModifyFields, {ArgCell::Logical(true)}).low) << "only a condition: nothing";
  EXPECT_TRUE(Call(&PackDatabase).low);
  EXPECT_TRUE(Call(&IsAfterLastRecord).low);
  EXPECT_EQ(Call(&GetRecordNumber).As<int32_t>(), 1);
  EXPECT_FALSE(Call(&IsRecordDeleted).low);
  EXPECT_EQ(LastDatabaseError(), code::kSeekFailed);
}

TEST_F(Commands, OpenOptionsAndAFailedOpenKeepTheCurrentDatabase) {
  ASSERT_TRUE(Open());
  EXPECT_FALSE(Open());
  EXPECT_EQ(LastDatabaseError(), code::kAlreadyOpen);
  EXPECT_NE(DatabaseList::Instance().Current(), nullptr);
  ASSERT_EQ(CreateDatabase(folder_.Gbk("ro.edb"), ChapterFields()), 0);
  runtime::Text other(folder_.Gbk("ro.edb"));
  runtime::Text alias("books");
  EXPECT_TRUE(
      Call(&OpenDatabase, {other.Arg(), alias.Arg(), ArgCell::Int(1), ArgCell::Int(4)}).low);
  EXPECT_EQ(DatabaseList::Instance().Current()->alias(), "books");
  EXPECT_FALSE(Call(&AppendBlankRecord).low) << "read-only";
  EXPECT_NE(LastDatabaseError(), 0);
}

TEST_F(Commands, WithoutACurrentDatabaseEveryCommandFailsQuietly) {
  EXPECT_EQ(Call(&GetRecordNumber).As<int32_t>(), 0);
  EXPECT_EQ(LastDatabaseError(), code::kNoCurrentDatabase);
  for (auto command : {&IsAfterLastRecord, &SkipRecords, &AppendBlankRecord, &DeleteRecords,
                       &IsRecordDeleted, &PackDatabase, &ModifyFields}) {
    SetLastDatabaseError(0);
    EXPECT_FALSE(Call(command).low);
    EXPECT_EQ(LastDatabaseError(), code::kNoCurrentDatabase);
  }
  Call(&GoFirstRecord);
  EXPECT_EQ(LastDatabaseError(), code::kNoCurrentDatabase);
}

using CommandsDeathTest = Commands;

using test_support::kRuntimeErrorExit;

TEST_F(CommandsDeathTest, MisuseIsARuntimeError) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(Call(&ReadField, {name_.Arg()}), ::testing::ExitedWithCode(kRuntimeErrorExit),
              "未指定当前数据库或者指定数据库未打开");
  ASSERT_TRUE(Open());
  EXPECT_EXIT(Call(&ReadField, {ArgCell::Int(0)}), ::testing::ExitedWithCode(kRuntimeErrorExit),
              "指定字段不存在");
  EXPECT_EXIT(Call(&ReadField, {ArgCell::Double(3.5)}),
              ::testing::ExitedWithCode(kRuntimeErrorExit), "指定字段不存在");
  EXPECT_EXIT(Call(&ReadField, {ArgCell::Logical(true)}),
              ::testing::ExitedWithCode(kRuntimeErrorExit), "所提供参数的数据类型不符合要求");
  EXPECT_EXIT(Call(&ModifyFields, {ArgCell(), ArgCell::Int(1), ArgCell::Int(2)}),
              ::testing::ExitedWithCode(kRuntimeErrorExit), "所提供参数的数据类型不符合要求");
  ASSERT_TRUE(Call(&AppendBlankRecord).low);
  EXPECT_EXIT(Call(&DeleteRecords, {ArgCell::Int(1)}), ::testing::ExitedWithCode(kRuntimeErrorExit),
              "用作进行条件判断的子语句参数只能接受逻辑型数据");
}

}  // namespace
}  // namespace database::testing
