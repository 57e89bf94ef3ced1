// A short run of the database fuzz entry over mutations of real files, in the suite.

#include <random>

#include "database/index_file.h"
#include "fuzz/database_fuzz_entry.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

// Files worth mutating: records, memo chains over several blocks, a free list, an index.
void MakeSeed(const TempFolder& folder, std::vector<uint8_t>* main, std::vector<uint8_t>* memo,
              std::vector<uint8_t>* index) {
  const std::vector<FieldSpec> fields = {{"ID", kIntField, 0},
                                         {"NAME", kTextField, 6},
                                         {"NOTE", kMemoField, 0},
                                         {"DATA", kByteSetField, 0},
                                         {"WHEN", kDateTimeField, 0}};
  ASSERT_EQ(CreateDatabase(folder.Gbk("s.edb"), fields), 0);
  ASSERT_EQ(CreateIndexFile(folder.Gbk("s.enx"), {{"ID", "NAME"}}, LayOutFields(fields)), 0);
  OpenOptions options;
  options.path = folder.Gbk("s.edb");
  options.index_names = {"s"};
  ASSERT_EQ(DatabaseList::Instance().Open(options), 0);
  Database& db = *DatabaseList::Instance().Current();
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(db.AppendBlank(), 0);
    runtime::Text note(
        std::string(static_cast<size_t>(i * 97 % 1700), static_cast<char>('a' + i % 26)));
    runtime::Text name("n" + std::to_string(i));
    const FieldUpdate updates[] = {
        {"ID", runtime::ArgCell::Int(i * 7 % 13)}, {"NAME", name.Arg()}, {"NOTE", note.Arg()}};
    ASSERT_EQ(db.UpdateRecords(nullptr, updates), 0);
    if (i % 5 == 0) {
      ASSERT_EQ(db.MarkRecords(nullptr, true), 0);
    }
  }
  DatabaseList::Instance().CloseAll();
  *main = ReadWholeFile(folder.Native("s.edb"));
  *memo = ReadWholeFile(folder.Native("s.edt"));
  *index = ReadWholeFile(folder.Native("s.enx"));
}

TEST(FuzzSmoke, MutatedFilesNeverCrashTheReaders) {
  TempFolder folder;
  std::vector<uint8_t> main, memo, index;
  MakeSeed(folder, &main, &memo, &index);
  ASSERT_FALSE(::testing::Test::HasFatalFailure());
  std::mt19937 random(4242);
  const int32_t boundary[] = {0, 1, -1, 2, 511, 512, 0x7FFFFFFF, INT32_MIN, 0x10000, 100000};
  for (int round = 0; round < 1500; ++round) {
    std::vector<uint8_t> files[3] = {main, memo, index};
    const int mutations = 1 + static_cast<int>(random() % 4);
    for (int m = 0; m < mutations; ++m) {
      std::vector<uint8_t>& file = files[random() % 3];
      if (file.empty()) continue;
      const size_t at = random() % file.size();
      switch (random() % 4) {
        case 0:
          file[at] ^= static_cast<uint8_t>(1u << (random() % 8));
          break;
        case 1:
          if (at + 4 <= file.size()) PutWord(file, at & ~size_t{3}, boundary[random() % 10]);
          break;
        case 2:
          file.resize(at);
          break;
        default:  // a header word
          if (file.size() >= 64) PutWord(file, (random() % 16) * 4, boundary[random() % 10]);
      }
    }
    std::vector<uint8_t> input(8 + files[0].size() + files[1].size() + files[2].size());
    fuzz::PackDatabaseFiles(files[0].data(), files[0].size(), files[1].data(), files[1].size(),
                            files[2].data(), files[2].size(), input.data());
    fuzz::FuzzDatabaseFiles(input.data(), input.size());
  }
  // Inputs that are not even three files.
  const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  for (size_t n = 0; n <= sizeof junk; ++n) fuzz::FuzzDatabaseFiles(junk, n);
}

}  // namespace
}  // namespace database::testing
