// The file format: what a reader accepts, in which order it refuses, and what it repairs.

#include <functional>

#include "database/error_codes.h"
#include "database/index_file.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

using Mutation = std::function<void(std::vector<uint8_t>&)>;

struct MainCase {
  const char* name;
  Mutation mutate;
  int32_t expected;
};

class MainFileValidation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(
        CreateDatabase(folder_.Gbk("t.edb"), {{"ID", kIntField, 0}, {"NAME", kTextField, 10}}), 0);
    pristine_ = ReadWholeFile(folder_.Native("t.edb"));
  }
  int32_t OpenMutated(const Mutation& mutate, bool read_only = false,
                      const std::string& password = "") {
    DatabaseList::Instance().CloseAll();
    std::vector<uint8_t> bytes = pristine_;
    mutate(bytes);
    WriteWholeFile(folder_.Native("t.edb"), bytes);
    OpenOptions options;
    options.path = folder_.Gbk("t.edb");
    options.read_only = read_only;
    options.password = password;
    return DatabaseList::Instance().Open(options);
  }

  TempFolder folder_;
  std::vector<uint8_t> pristine_;
};

TEST_F(MainFileValidation, EachFailureHasItsCode) {
  const MainCase cases[] = {
      {"fewer than 112 bytes", [](auto& b) { b.resize(100); }, code::kNotADatabase},
      {"wrong magic", [](auto& b) { b[0] = 'X'; }, code::kNotADatabase},
      {"protected without password", [](auto& b) { b[1] = 'C'; }, code::kWrongPassword},
      {"record size 0", [](auto& b) { PutWord(b, 24, 0); }, code::kNotADatabase},
      {"negative record count", [](auto& b) { PutWord(b, 16, -1); }, code::kNotADatabase},
      {"next id 0", [](auto& b) { PutWord(b, 20, 0); }, code::kNotADatabase},
      {"version too high", [](auto& b) { PutWord(b, 4, 0x10001); }, code::kVersionTooHigh},
      {"no field count", [](auto& b) { b.resize(114); }, code::kNotADatabase},
      {"zero fields", [](auto& b) { PutWord(b, 112, 0); }, code::kNotADatabase},
      {"definitions cut short", [](auto& b) { PutWord(b, 112, 3); }, code::kNotADatabase},
      {"name without zero", [](auto& b) { std::fill(b.begin() + 116, b.begin() + 133, 'A'); },
       code::kNotADatabase},
      {"negative offset", [](auto& b) { PutWord(b, 116 + 24, -1); }, code::kNotADatabase},
      {"type 13", [](auto& b) { PutWord(b, 116 + 20, 13); }, code::kNotADatabase},
      {"text of width 0", [](auto& b) { PutWord(b, 188 + 28, 0); }, code::kNotADatabase},
      {"value past the record", [](auto& b) { PutWord(b, 188 + 24, 40); }, code::kNotADatabase},
  };
  for (const MainCase& c : cases) {
    EXPECT_EQ(OpenMutated(c.mutate), c.expected) << c.name;
  }
  EXPECT_EQ(OpenMutated([](auto&) {}, false, "secret"), code::kWrongPassword)
      << "plain with password";
  EXPECT_EQ(OpenMutated([](auto&) {}), 0);
}

TEST_F(MainFileValidation, MissingFileIsAFileError) {
  EXPECT_EQ(OpenDefault(folder_.Gbk("none.edb")), code::kFileNotFound);
  EXPECT_EQ(OpenDefault(folder_.Gbk("no-such-folder/t.edb")), code::kBadPath);
  EXPECT_EQ(OpenDefault(""), code::kFileNotFound);
}

TEST_F(MainFileValidation, ShortFileIsRepairedWhenWritableAndRefusedWhenReadOnly) {
  const auto claim_three_records = [](std::vector<uint8_t>& b) {
    PutWord(b, 16, 3);
    const int32_t record_size = Word(b, 24);
    b.resize(b.size() + static_cast<size_t>(record_size) + 5, 0);  // one whole record and a bit
    PutWord(b, b.size() - static_cast<size_t>(record_size) - 5, 1);
  };
  EXPECT_EQ(OpenMutated(claim_three_records, /*read_only=*/true), code::kFileSizeWrong);
  EXPECT_EQ(OpenMutated(claim_three_records), 0);
  const std::vector<uint8_t> repaired = ReadWholeFile(folder_.Native("t.edb"));
  EXPECT_EQ(Word(repaired, 16), 1);
  EXPECT_EQ(repaired.size(), pristine_.size() + static_cast<size_t>(Word(repaired, 24)));
}

TEST_F(MainFileValidation, ExtraBytesAreCutOnlyWhenWritable) {
  const auto add_tail = [](std::vector<uint8_t>& b) { b.resize(b.size() + 7, 0xEE); };
  EXPECT_EQ(OpenMutated(add_tail, /*read_only=*/true), 0);
  EXPECT_EQ(ReadWholeFile(folder_.Native("t.edb")).size(), pristine_.size() + 7);
  EXPECT_EQ(OpenMutated(add_tail), 0);
  EXPECT_EQ(ReadWholeFile(folder_.Native("t.edb")), pristine_);
}

TEST_F(MainFileValidation, EmptyDatabaseOpensAtTheFirstPosition) {
  ASSERT_EQ(OpenDefault(folder_.Gbk("t.edb")), 0);
  Database& db = *DatabaseList::Instance().Current();
  EXPECT_EQ(pristine_.size(), 116u + 72u * 2);
  bool before = false;
  bool after = false;
  EXPECT_EQ(db.IsBeforeFirst(&before), 0);
  EXPECT_EQ(db.IsAfterLast(&after), 0);
  EXPECT_TRUE(before);
  EXPECT_TRUE(after);
  db.GoFirst();
  std::string bytes;
  EXPECT_EQ(db.ReadField(0, &bytes), code::kSeekFailed);
}

class MemoFileValidation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateDatabase(folder_.Gbk("c.edb"), ChapterFields()), 0);
    pristine_ = ReadWholeFile(folder_.Native("c.edt"));
  }
  int32_t OpenMutated(const Mutation& mutate, bool read_only = false) {
    DatabaseList::Instance().CloseAll();
    std::vector<uint8_t> bytes = pristine_;
    mutate(bytes);
    WriteWholeFile(folder_.Native("c.edt"), bytes);
    return OpenDefault(folder_.Gbk("c.edb"), 0, read_only);
  }
  TempFolder folder_;
  std::vector<uint8_t> pristine_;
};

TEST_F(MemoFileValidation, EachFailureHasItsCode) {
  const MainCase cases[] = {
      {"shorter than 32 bytes", [](auto& b) { b.resize(20); }, code::kMemoReadFailed},
      {"wrong magic", [](auto& b) { b[3] = 'X'; }, code::kMemoReadFailed},
      {"block count 0", [](auto& b) { PutWord(b, 16, 0); }, code::kMemoReadFailed},
      {"free count = block count", [](auto& b) { PutWord(b, 20, 1); }, code::kMemoReadFailed},
      {"free head outside", [](auto& b) { PutWord(b, 24, 1); }, code::kMemoReadFailed},
      {"other version", [](auto& b) { PutWord(b, 4, 0x20000); }, code::kMemoVersion},
  };
  for (const MainCase& c : cases) EXPECT_EQ(OpenMutated(c.mutate), c.expected) << c.name;
  std::filesystem::remove(folder_.Native("c.edt"));
  EXPECT_EQ(OpenDefault(folder_.Gbk("c.edb")), code::kMemoReadFailed);
}

TEST_F(MemoFileValidation, MissingBlocksAreRefusedReadOnlyAndCountedDownWhenWritable) {
  const auto claim_four = [](std::vector<uint8_t>& b) {
    PutWord(b, 16, 4);
    b.resize(512 * 2 + 100, 0);
  };
  EXPECT_EQ(OpenMutated(claim_four, true), code::kNotAMemoFile);
  EXPECT_EQ(OpenMutated(claim_four), 0);
  EXPECT_EQ(Word(ReadWholeFile(folder_.Native("c.edt")), 16), 2);
}

TEST(IndexFileValidation, EachFailureHasItsCode) {
  TempFolder folder;
  ASSERT_EQ(CreateDatabase(folder.Gbk("i.edb"), {{"ID", kIntField, 0}, {"NAME", kTextField, 10}}),
            0);
  const std::vector<FieldDefinition> fields =
      LayOutFields({{"ID", kIntField, 0}, {"NAME", kTextField, 10}});
  ASSERT_EQ(CreateIndexFile(folder.Gbk("good.enx"), {{"NAME"}}, fields), 0);
  const std::vector<uint8_t> good = ReadWholeFile(folder.Native("good.enx"));
  const auto open_with = [&](const std::vector<std::string>& names) {
    DatabaseList::Instance().CloseAll();
    OpenOptions options;
    options.path = folder.Gbk("i.edb");
    options.index_names = names;
    return DatabaseList::Instance().Open(options);
  };
  const auto mutated = [&](const Mutation& mutate) {
    std::vector<uint8_t> bytes = good;
    mutate(bytes);
    WriteWholeFile(folder.Native("bad.enx"), bytes);
    return open_with({folder.Gbk("bad.enx")});
  };
  EXPECT_EQ(open_with({"good"}), 0) << "default extension, the database's folder";
  EXPECT_EQ(open_with(std::vector<std::string>(11, "good")), code::kTooManyIndexes);
  EXPECT_EQ(open_with({"missing"}), code::kIndexOpenFailed);
  EXPECT_EQ(open_with({"good", folder.Gbk("good.enx")}), code::kIndexAlreadyOpen);
  EXPECT_EQ(mutated([](auto& b) { b.resize(100); }), code::kNotAnIndex);
  EXPECT_EQ(mutated([](auto& b) { b[0] = 'X'; }), code::kNotAnIndex);
  EXPECT_EQ(mutated([](auto& b) { PutWord(b, 36, 2); }), code::kNotAnIndex);
  EXPECT_EQ(mutated([](auto& b) { PutWord(b, 4, 0x20000); }), code::kIndexVersion);
  EXPECT_EQ(mutated([](auto& b) { b.resize(600); }), code::kIndexSizeWrong);
  EXPECT_EQ(mutated([](auto& b) { b[52] = 'X'; }), code::kIndexFieldMissing);
  EXPECT_EQ(mutated([](auto& b) { PutWord(b, 188, kIntField); }), code::kIndexFieldType);
  EXPECT_EQ(mutated([](auto& b) { PutWord(b, 188, -9); }), code::kIndexFieldSize);
  EXPECT_EQ(mutated([](auto& b) { PutWord(b, 44, 11); }), code::kNotAnIndex);
}

TEST(FileErrors, EveryCodeHasItsMessage) {
  EXPECT_EQ(ErrorText(0), "");
  EXPECT_EQ(ErrorText(-26), runtime::Gbk("已经越过数据库的末记录"));
  EXPECT_EQ(ErrorText(-80), runtime::Gbk("无效的密码文本"));
  EXPECT_EQ(ErrorText(-77), runtime::Gbk("未知错误"));
  EXPECT_EQ(ErrorText(-500), runtime::Gbk("未知错误"));
  EXPECT_EQ(ErrorText(5), runtime::Gbk("未知错误"));
}

}  // namespace
}  // namespace database::testing
