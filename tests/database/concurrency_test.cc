// Two processes working on one database at once.

#include <cstdlib>
#include <memory>
#include <set>

#include "database/byte_locks.h"
#include "database/checker.h"
#include "database/error_codes.h"
#include "platform/core/fault_injection.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"
#include "tests/support/child_process.h"

namespace database::testing {
namespace {

constexpr int kAppendsPerProcess = 150;

// The child's work on the database arguments[0] as process number arguments[1]: append
// records, name each after itself, and rewrite an earlier one of its own now and then. Exit
// code 0 when every operation succeeded.
INKSTONE_CHILD_MODE(AppendAndUpdate) {
  const std::string& path = arguments[0];
  const int process = std::atoi(arguments[1].c_str());
  SetLockWait(10000);
  if (OpenDefault(path) != 0) return 10;
  Database& db = *DatabaseList::Instance().Current();
  const std::string name = runtime::Gbk("姓名");
  std::vector<int32_t> mine;
  for (int i = 0; i < kAppendsPerProcess; ++i) {
    if (db.AppendBlank() != 0) return 11;
    mine.push_back(db.record_pointer());
    if (SetText(db, name, "p" + std::to_string(process) + "-" + std::to_string(i)) != 0) return 12;
    if (i % 10 == 9) {
      // Rewrite an earlier record with a longer value, then put the name back.
      const int32_t earlier = mine[static_cast<size_t>(i / 2)];
      db.GoFirst();
      if (db.Skip(earlier) != 0) return 13;
      if (SetText(db, name, std::string(2000, 'x')) != 0) return 14;
      if (SetText(db, name, "p" + std::to_string(process) + "-" + std::to_string(i / 2)) != 0) {
        return 15;
      }
    }
  }
  DatabaseList::Instance().CloseAll();
  return 0;
}

TEST(TwoProcesses, AppendingAndUpdatingAtOnceLosesNoRecord) {
  TempFolder folder;
  ASSERT_EQ(CreateDatabase(folder.Gbk("data.edb"), ChapterFields()), 0);
  std::vector<std::unique_ptr<test_support::Child>> children;
  for (int process = 0; process < 2; ++process) {
    children.push_back(std::make_unique<test_support::Child>(
        "AppendAndUpdate",
        std::vector<std::string>{folder.Gbk("data.edb"), std::to_string(process)}));
  }
  for (auto& child : children) EXPECT_EQ(child->Wait(), 0);
  const auto raw = ReadRawRecords(folder.Native("data.edb"), folder.Native("data.edt"));
  ASSERT_EQ(raw.size(), 2u * kAppendsPerProcess);
  std::set<std::string> names;
  std::set<int32_t> ids;
  for (const RawRecord& record : raw) {
    names.insert(record.values[0]);
    ids.insert(record.id);
  }
  EXPECT_EQ(names.size(), raw.size()) << "every record has its own name";
  EXPECT_EQ(ids.size(), raw.size());
  EXPECT_EQ(*ids.rbegin(), 2 * kAppendsPerProcess);
  for (int process = 0; process < 2; ++process) {
    for (int i = 0; i < kAppendsPerProcess; ++i) {
      EXPECT_TRUE(names.count("p" + std::to_string(process) + "-" + std::to_string(i)));
    }
  }
  CheckReport report;
  ASSERT_EQ(CheckDatabase(folder.Gbk("data.edb"), {}, false, &report), 0);
  EXPECT_TRUE(report.ok()) << report.faults.front();
  EXPECT_EQ(report.leaked_blocks, 0);
}

#ifndef _WIN32
// On a file system without locks neither share modes nor record locks could keep a second
// writer out: an open for writing is refused with its own reason, a read-only one goes on.
TEST(FileSystemWithoutLocks, AnOpenForWritingIsRefusedWithItsReason) {
  TempFolder folder;
  ASSERT_EQ(CreateDatabase(folder.Gbk("c.edb"), ChapterFields()), 0);
  platform::DeclareFolderLockless(folder.Gbk(""));
  EXPECT_EQ(OpenDefault(folder.Gbk("c.edb"), 3), code::kLocksUnsupported);
  EXPECT_EQ(OpenDefault(folder.Gbk("c.edb"), 0), code::kLocksUnsupported);
  EXPECT_EQ(ErrorText(code::kLocksUnsupported),
            runtime::Gbk("数据库所在的文件系统不支持文件锁，无法写入"));
  EXPECT_EQ(OpenDefault(folder.Gbk("c.edb"), 0, true), 0);
  DatabaseList::Instance().CloseAll();
  platform::DeclareFolderLocking(folder.Gbk(""));
}
#endif

}  // namespace
}  // namespace database::testing
