// The history file on the disk: read at the start, written whole, a damaged one kept aside.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "writing_history/history_file.h"

namespace writing_history {
namespace {

namespace fs = std::filesystem;

class HistoryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("inkstone-history-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path File() const { return folder_ / fs::u8path("写作记录.json"); }
  std::string Gbk(const fs::path& path) const { return platform::GbkPathOf(path); }
  void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      const std::u8string name = entry.path().filename().u8string();
      names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path folder_;
};

TEST_F(HistoryFile, AMissingFileGivesAnEmptyHistoryAndLeavesTheFolderAlone) {
  const LoadedHistory loaded = LoadHistory(Gbk(File()), "20261209-120000");
  EXPECT_EQ(loaded.history, History{});
  EXPECT_TRUE(loaded.kept_aside_as.empty());
  EXPECT_FALSE(loaded.damaged_file_in_place);
  EXPECT_TRUE(Names().empty());
}

TEST_F(HistoryFile, WhatIsSavedIsReadBackAndNoTemporaryFileStays) {
  History history;
  history.set_target(3000);
  history.AddCharacters(DayNumberOf(2026, 12, 9), 2345);
  history.AddMinute(DayNumberOf(2026, 12, 9));
  ASSERT_TRUE(SaveHistory(Gbk(File()), history));
  history.AddCharacters(DayNumberOf(2026, 12, 10), 7);
  ASSERT_TRUE(SaveHistory(Gbk(File()), history));  // over the first file
  EXPECT_EQ(LoadHistory(Gbk(File()), "x").history, history);
  EXPECT_EQ(Names(), std::vector<std::string>{"写作记录.json"});
}

TEST_F(HistoryFile, ASaveThatCannotBeWrittenFailsAndKeepsTheOldFile) {
  History history;
  history.AddCharacters(1, 1);
  EXPECT_FALSE(SaveHistory(Gbk(folder_ / "missing" / "h.json"), history));
  ASSERT_TRUE(SaveHistory(Gbk(File()), history));
  const std::string before = Read(File());
  platform::DeclareFolderFull(Gbk(folder_));
  history.AddCharacters(1, 1);
  EXPECT_FALSE(SaveHistory(Gbk(File()), history));
  platform::DeclareEveryFolderFree();
  EXPECT_EQ(Read(File()), before);
  EXPECT_EQ(Names(), std::vector<std::string>{"写作记录.json"});
}

TEST_F(HistoryFile, ADamagedFileIsKeptAsideWithItsBytesAndTheHistoryStartsAnew) {
  for (const std::string& damaged : {std::string("{\"version\": 1, \"target\""), std::string()}) {
    Write(File(), damaged);
    History read;
    EXPECT_EQ(ReadHistoryFile(Gbk(File()), &read), HistoryFileState::kDamaged);
    EXPECT_TRUE(fs::exists(File())) << "reading alone changes nothing";
    const LoadedHistory loaded = LoadHistory(Gbk(File()), "20261209-120000");
    EXPECT_EQ(loaded.history, History{});
    EXPECT_FALSE(fs::exists(File()));
    ASSERT_FALSE(loaded.kept_aside_as.empty());
    EXPECT_EQ(Read(platform::FsPath(loaded.kept_aside_as)), damaged);
  }
  // The second one found the first one's name taken.
  EXPECT_EQ(Names(), (std::vector<std::string>{"写作记录.damaged-20261209-120000-2.json",
                                               "写作记录.damaged-20261209-120000.json"}));
}

// A read that fails says nothing of the file's content: it is left where it is, unchanged,
// and taken up later with what was written meanwhile.
TEST_F(HistoryFile, AFileThatCannotBeReadIsNeverKeptAsideAndIsMergedOnceItCanBe) {
  History earlier;
  earlier.AddCharacters(DayNumberOf(2026, 12, 8), 100);
  earlier.AddMinute(DayNumberOf(2026, 12, 9));
  ASSERT_TRUE(SaveHistory(Gbk(File()), earlier));
  const std::string bytes = Read(File());
  platform::ArmFileReadFault(1);
  LoadedHistory loaded = LoadHistory(Gbk(File()), "20261209-120000");
  platform::DisarmFileReadFault();
  EXPECT_TRUE(loaded.unreadable);
  EXPECT_TRUE(loaded.kept_aside_as.empty());
  EXPECT_EQ(Names(), std::vector<std::string>{"写作记录.json"});
  EXPECT_EQ(Read(File()), bytes);

  loaded.history.AddCharacters(DayNumberOf(2026, 12, 9), 7);
  loaded.history.AddMinute(DayNumberOf(2026, 12, 9));
  loaded.history.set_target(3000);
  platform::ArmFileReadFault(1);
  EXPECT_EQ(MergeHistoryFile(Gbk(File()), &loaded.history), HistoryFileState::kUnreadable);
  platform::DisarmFileReadFault();
  EXPECT_EQ(loaded.history.Day(DayNumberOf(2026, 12, 8)).characters, 0);  // unchanged
  ASSERT_EQ(MergeHistoryFile(Gbk(File()), &loaded.history), HistoryFileState::kRead);
  EXPECT_EQ(loaded.history.Day(DayNumberOf(2026, 12, 8)).characters, 100);
  EXPECT_EQ(loaded.history.Day(DayNumberOf(2026, 12, 9)), (DayTotals{7, 2}));
  EXPECT_EQ(loaded.history.target(), 3000);
}

TEST_F(HistoryFile, AFileLargerThanACenturyOfDaysIsNotReadIntoMemory) {
  // A century of days at the widest figures each fits.
  History century;
  const DayNumber first = DayNumberOf(2000, 1, 1);
  for (DayNumber day = first; day < first + 36525; ++day) century.SetDay(day, {-999'999'999, 1440});
  ASSERT_TRUE(SaveHistory(Gbk(File()), century));
  EXPECT_LT(static_cast<int64_t>(fs::file_size(File())), kLargestHistoryFile) << fs::file_size(File());
  History read;
  EXPECT_EQ(ReadHistoryFile(Gbk(File()), &read), HistoryFileState::kRead);
  EXPECT_EQ(read, century);

  fs::resize_file(File(), kLargestHistoryFile + 1);
  EXPECT_EQ(ReadHistoryFile(Gbk(File()), &read), HistoryFileState::kDamaged);
}

}  // namespace
}  // namespace writing_history
