// Records appended all or none: a write that fails at any point of the append leaves none of
// the new records live (or, once they are being made live, only whole ones from the first), and
// the files check sound.
#include "database/append_all_or_none.h"

#include <string>
#include <vector>

#include "database/checker.h"
#include "database/error_codes.h"
#include "platform/core/fault_injection.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

// The live records' names and texts, in record order.
std::vector<std::pair<std::string, std::string>> LiveRecords(Database& db) {
  std::vector<std::pair<std::string, std::string>> live;
  const int32_t name = db.FieldByName(runtime::Gbk("姓名"));
  const int32_t text = db.FieldByName(runtime::Gbk("学号"));
  db.GoFirst();
  for (bool after = false; db.IsAfterLast(&after) == code::kOk && !after; db.Skip(1)) {
    bool deleted = true;
    if (db.IsDeleted(&deleted) == code::kOk && !deleted)
      live.emplace_back(ReadText(db, name), ReadText(db, text));
  }
  return live;
}

TEST(AppendAllOrNone, AFailureAtAnyWriteLeavesNoneOrOnlyWholeRecordsFromTheFirst) {
  const std::vector<std::pair<std::string, std::string>> wanted = {
      {"第一章", std::string(700, 'a')}, {"第二章", "短"}, {"第三章", std::string(1500, 'c')}};
  std::vector<runtime::Text> names;
  std::vector<runtime::ByteSet> texts;
  std::vector<std::vector<FieldUpdate>> records;
  names.reserve(wanted.size());
  texts.reserve(wanted.size());
  for (const auto& [name, text] : wanted) {
    names.emplace_back(runtime::Gbk(name));
    texts.emplace_back(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    records.push_back(
        {{runtime::Gbk("姓名"), names.back().Arg()}, {runtime::Gbk("学号"), texts.back().Arg()}});
  }
  bool all_made = false;
  for (int64_t nth = 1; !all_made; ++nth) {
    SCOPED_TRACE("write " + std::to_string(nth) + " fails");
    TempFolder folder;
    ASSERT_EQ(CreateDatabase(folder.Gbk("c.edb"), ChapterFields()), 0);
    ASSERT_EQ(OpenDefault(folder.Gbk("c.edb"), 4), 0);
    Database& db = *DatabaseList::Instance().Current();
    ASSERT_EQ(db.AppendBlank(), 0);
    ASSERT_EQ(SetText(db, runtime::Gbk("姓名"), runtime::Gbk("原有")), 0);
    platform::ArmFileFault(nth, platform::FaultAction::kFail);
    AppendedRecords made;
    const int32_t code = AppendAllOrNone(db, records, &made);
    platform::DisarmFileFault();
    all_made = code == code::kOk;
    EXPECT_EQ(db.record_pointer(), 0) << "the pointer is put back";
    const auto live = LiveRecords(db);
    ASSERT_EQ(live.size(), 1 + made.live);
    // (A last flush that fails leaves them all live, whole.)
    if (all_made) {
      EXPECT_EQ(made.live, wanted.size());
    }
    for (size_t i = 0; i < made.live; ++i) {
      EXPECT_EQ(live[i + 1].first, runtime::Gbk(wanted[i].first));
      EXPECT_EQ(live[i + 1].second, wanted[i].second);
    }
    DatabaseList::Instance().CloseAll();
    CheckReport report;
    EXPECT_EQ(CheckDatabase(folder.Gbk("c.edb"), {}, false, &report), 0);
    EXPECT_TRUE(report.faults.empty()) << report.faults.front();
    ASSERT_LT(nth, 200) << "the append never succeeded";
  }
}

}  // namespace
}  // namespace database::testing
