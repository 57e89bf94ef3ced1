// Index files: the B+ tree against a simple ordered model, and index upkeep by the engine.

#include <map>
#include <random>
#include <set>

#include "database/checker.h"
#include "database/error_codes.h"
#include "database/index_file.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

const std::vector<FieldSpec> kFields = {{"ID", kIntField, 0}, {"NAME", kTextField, 40}};

TEST(BPlusTree, ThousandsOfRandomInsertsAndDeletesMatchAnOrderedModel) {
  TempFolder folder;
  const std::vector<FieldDefinition> fields = LayOutFields(kFields);
  // A 40-byte text key: 11 keys per 512-byte node, so the tree grows several levels.
  ASSERT_EQ(CreateIndexFile(folder.Gbk("t.enx"), {{"NAME"}}, fields), 0);
  IndexFile index;
  ASSERT_EQ(index.Open(folder.Gbk("t.enx"), false, platform::ShareMode::kDenyNone, false, kVersion,
                       fields),
            0);
  ASSERT_EQ(index.capacity(), 11);
  std::mt19937 random(20240607);
  std::multiset<std::pair<std::string, int32_t>> model;
  const auto key_of = [](int32_t n) {
    std::string key = "k" + std::to_string(n % 700);  // many duplicates across leaves
    key.resize(40, '\0');
    return key;
  };
  for (int32_t step = 0; step < 6000; ++step) {
    if (model.empty() || random() % 3 != 0) {
      const int32_t record = step;
      const std::string key = key_of(static_cast<int32_t>(random()));
      ASSERT_EQ(index.Insert(key, record), 0);
      model.emplace(key, record);
    } else {
      auto victim = model.begin();
      std::advance(victim, random() % model.size());
      ASSERT_EQ(index.Remove(victim->first, victim->second), 0) << step;
      model.erase(victim);
    }
    if (step % 1000 == 999) {
      std::vector<std::pair<std::string, int32_t>> entries;
      ASSERT_EQ(index.ReadAll(&entries), 0);
      ASSERT_EQ(entries.size(), model.size());
      EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(),
                                 [](const auto& a, const auto& b) { return a.first < b.first; }));
      EXPECT_EQ(std::multiset(entries.begin(), entries.end()), model);
    }
  }
  EXPECT_EQ(index.Remove(key_of(1), -5), code::kIndexEntryMissing);
  const std::vector<uint8_t> bytes = ReadWholeFile(folder.Native("t.enx"));
  EXPECT_EQ(bytes.size(), static_cast<size_t>(Word(bytes, 24)) * 512);
  EXPECT_NE(Word(bytes, 36), 1) << "the root split and moved";
}

TEST(BPlusTree, RebuildGivesTheFreshLayout) {
  TempFolder folder;
  const std::vector<FieldDefinition> fields = LayOutFields(kFields);
  ASSERT_EQ(CreateIndexFile(folder.Gbk("t.enx"), {{"ID"}}, fields), 0);
  const std::vector<uint8_t> fresh = ReadWholeFile(folder.Native("t.enx"));
  EXPECT_EQ(fresh.size(), 1024u);
  IndexFile index;
  ASSERT_EQ(index.Open(folder.Gbk("t.enx"), false, platform::ShareMode::kDenyNone, false, kVersion,
                       fields),
            0);
  for (int32_t i = 0; i < 500; ++i)
    ASSERT_EQ(index.Insert(std::string(4, static_cast<char>(i)), i), 0);
  ASSERT_EQ(index.Rebuild({}), 0);
  EXPECT_EQ(ReadWholeFile(folder.Native("t.enx")), fresh);
}

TEST(TextKeys, CollationsAndFlagsRewriteTextBeforeComparing) {
  KeyShape shape;
  shape.fields = {{0, kTextField, 4, 8}};
  shape.length = 8;
  std::vector<uint8_t> record(12, 0);
  const auto key = [&](const std::string& text) {
    std::fill(record.begin() + 4, record.end(), 0);
    std::copy(text.begin(), text.end(), record.begin() + 4);
    return BuildKey(shape, record);
  };
  EXPECT_EQ(key("a b"), std::string("a b\0\0\0\0\0", 8)) << "collation 0 without flags: raw bytes";
  shape.flags = kTextKeyUpperCase | kTextKeyNoSpaces;
  EXPECT_EQ(key("a b" + runtime::Gbk("　") + "c"), std::string("ABC\0\0\0\0\0", 8));
  shape.flags = 0;
  shape.collation = 1;
  // Unicode order: 一 (U+4E00) before 中 (U+4E2D) before 龥 (U+9FA5), whatever their GBK codes.
  const std::string one = key(runtime::Gbk("一"));
  const std::string middle = key(runtime::Gbk("中"));
  const std::string last = key(runtime::Gbk("座"));
  EXPECT_LT(CompareKeys(shape, reinterpret_cast<const uint8_t*>(one.data()),
                        reinterpret_cast<const uint8_t*>(middle.data())),
            0);
  EXPECT_LT(CompareKeys(shape, reinterpret_cast<const uint8_t*>(middle.data()),
                        reinterpret_cast<const uint8_t*>(last.data())),
            0);
  EXPECT_GT(CollationCode(0xD2, 0xBB, 2), CollationCode(0xD6, 0xD0, 2)) << "collation 2 reverses";
  // The table is a permutation: every character gets its own code.
  std::set<uint16_t> codes;
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      codes.insert(CollationCode(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail), 1));
    }
  }
  EXPECT_EQ(codes.size(), 72u * 94u);
}

TEST(IndexUpkeep, AppendUpdateAndPackKeepTheIndexEqualToTheRecords) {
  TempFolder folder;
  ASSERT_EQ(CreateDatabase(folder.Gbk("d.edb"), kFields), 0);
  ASSERT_EQ(CreateIndexFile(folder.Gbk("d.enx"), {{"ID"}}, LayOutFields(kFields)), 0);
  OpenOptions options;
  options.path = folder.Gbk("d.edb");
  options.index_names = {"d"};
  ASSERT_EQ(DatabaseList::Instance().Open(options), 0);
  Database& db = *DatabaseList::Instance().Current();
  const auto check = [&] {
    CheckReport report;
    ASSERT_EQ(CheckDatabase(folder.Gbk("d.edb"), {folder.Gbk("d.enx")}, false, &report), 0);
    EXPECT_TRUE(report.ok()) << report.faults.front();
  };
  for (int32_t i = 0; i < 300; ++i) {
    ASSERT_EQ(db.AppendBlank(), 0);
    const FieldUpdate update{"ID", runtime::ArgCell::Int((i * 37) % 101)};
    ASSERT_EQ(db.UpdateRecords(nullptr, std::span(&update, 1)), 0);
  }
  check();
  // Moving an entry: the old key's entry for this record goes, the new one comes.
  db.GoFirst();
  db.Skip(5);
  const FieldUpdate moved{"ID", runtime::ArgCell::Int(-9)};
  ASSERT_EQ(db.UpdateRecords(nullptr, std::span(&moved, 1)), 0);
  std::vector<std::pair<std::string, int32_t>> entries;
  ASSERT_EQ(db.index(0)->ReadAll(&entries), 0);
  EXPECT_EQ(entries.front().second, 5) << "-9 sorts first";
  check();
  for (int32_t r = 0; r < 300; r += 3) {
    db.GoFirst();
    db.Skip(r);
    ASSERT_EQ(db.MarkRecords(nullptr, true), 0);
  }
  ASSERT_EQ(db.Pack(), 0);
  check();
  ASSERT_EQ(db.index(0)->ReadAll(&entries), 0);
  EXPECT_EQ(entries.size(), 200u);
}

}  // namespace
}  // namespace database::testing
