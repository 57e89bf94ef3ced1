// The list of chapters whose latest text is only in a rescue copy, and its file: what a desk
// started later reads must be what the failing one wrote, and nothing else is taken for it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/core/code_page.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "rescued_chapters/rescue_list.h"

namespace rescued_chapters {
namespace {

namespace fs = std::filesystem;

RescuedChapter Chapter(int32_t record, const std::string& utf8_name) {
  RescuedChapter chapter;
  chapter.record = record;
  chapter.name = platform::Utf8ToGbk(utf8_name);
  chapter.rescue_path = platform::Utf8ToGbk("/home/author/Inkstone 抢救/2026-12-10【抢救】") +
                        std::to_string(record) + ".txt";
  chapter.when = "2026-12-10 03:04:05";
  return chapter;
}

TEST(RescueList, ItsFileGivesBackEveryFieldWhateverBytesTheyHold) {
  RescueList list;
  list.Note(Chapter(3, "第三章 风起"));
  // Tabs, line breaks and "%" in a name; 癨 has the trail byte 0x5C.
  list.Note(Chapter(12, "甲\t乙\r\n丙%41癨"));
  list.Note(Chapter(3, "第三章 改名"));  // a later rescue of the same record replaces it
  const std::optional<RescueList> read = RescueList::FromFileBytes(list.ToFileBytes());
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->chapters().size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(read->chapters()[i].record, list.chapters()[i].record);
    EXPECT_EQ(read->chapters()[i].name, list.chapters()[i].name);
    EXPECT_EQ(read->chapters()[i].rescue_path, list.chapters()[i].rescue_path);
    EXPECT_EQ(read->chapters()[i].when, list.chapters()[i].when);
  }
  EXPECT_EQ(platform::GbkToUtf8(read->chapters()[0].name), "第三章 改名");
}

TEST(RescueList, BytesThatAreNotAListAreRefusedWhole) {
  const std::string good = "inkstone rescued chapters 1\r\n7\tw\tp\tn\r\n";
  ASSERT_TRUE(RescueList::FromFileBytes(good).has_value());
  for (const std::string& bad : {
           std::string(""),
           std::string("inkstone rescued chapters 2\r\n"),
           std::string("inkstone rescued chapters 1\r\n7\tw\tp\r\n"),       // a field short
           std::string("inkstone rescued chapters 1\r\n7\tw\tp\tn\tx\r\n"),  // one too many
           std::string("inkstone rescued chapters 1\r\nx7\tw\tp\tn\r\n"),
           std::string("inkstone rescued chapters 1\r\n0\tw\tp\tn\r\n"),
           std::string("inkstone rescued chapters 1\r\n7\tw\tp\tn"),  // torn: no line end
           std::string("inkstone rescued chapters 1\r\n7\tw\tp%4\tn\r\n"),
           std::string("inkstone rescued chapters 1\r\n7\tw\tp%G1\tn\r\n"),
       }) {
    EXPECT_FALSE(RescueList::FromFileBytes(bad).has_value()) << bad;
  }
}

class RescueListFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("inkstone-rescue-list-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    platform::DeclareEveryFolderFree();
    platform::DisarmFileReadFault();
    fs::remove_all(folder_);
  }
  fs::path File() const { return folder_ / fs::u8path("待恢复章节.txt"); }
  std::string Gbk(const fs::path& path) const { return platform::GbkPathOf(path); }
  std::string Bytes() const {
    std::ifstream in(File(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path folder_;
};

TEST_F(RescueListFile, WrittenReadAndRemovedOnceEmpty) {
  RescueList list;
  EXPECT_EQ(ReadListFile(Gbk(File()), &list), ListFileState::kMissing);
  list.Note(Chapter(5, "第五章"));
  ASSERT_TRUE(WriteListFile(Gbk(File()), list));
  RescueList read;
  ASSERT_EQ(ReadListFile(Gbk(File()), &read), ListFileState::kRead);
  ASSERT_EQ(read.chapters().size(), 1u);
  EXPECT_EQ(read.chapters()[0].record, 5);
  list.Forget(5);
  ASSERT_TRUE(WriteListFile(Gbk(File()), list));
  EXPECT_FALSE(fs::exists(File()));
}

TEST_F(RescueListFile, AFullDiskKeepsTheOldFileAndSaysSo) {
  RescueList list;
  list.Note(Chapter(5, "第五章"));
  ASSERT_TRUE(WriteListFile(Gbk(File()), list));
  const std::string before = Bytes();
  list.Note(Chapter(6, "第六章"));
  platform::DeclareFolderFull(Gbk(folder_));
  EXPECT_FALSE(WriteListFile(Gbk(File()), list));
  EXPECT_EQ(Bytes(), before);
}

// A file the desk did not write is left alone and told; a read that fails is no damage.
TEST_F(RescueListFile, AFailedReadIsToldApartFromAFileThatIsNoList) {
  RescueList list;
  list.Note(Chapter(5, "第五章"));
  ASSERT_TRUE(WriteListFile(Gbk(File()), list));
  RescueList read;
  platform::ArmFileReadFault(1);
  EXPECT_EQ(ReadListFile(Gbk(File()), &read), ListFileState::kUnreadable);
  platform::DisarmFileReadFault();
  EXPECT_EQ(ReadListFile(Gbk(File()), &read), ListFileState::kRead);

  std::ofstream(File(), std::ios::binary | std::ios::trunc) << "not a list";
  EXPECT_EQ(ReadListFile(Gbk(File()), &read), ListFileState::kDamaged);
  EXPECT_EQ(Bytes(), "not a list");
  // Far larger than any list: not read into memory at all.
  fs::resize_file(File(), std::uintmax_t{64} << 20);
  EXPECT_EQ(ReadListFile(Gbk(File()), &read), ListFileState::kDamaged);
}

}  // namespace
}  // namespace rescued_chapters
