#include "platform/core/file_system.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/core/program_path.h"
#include "tests/platform/core/test_support.h"

namespace platform {
namespace {

using core_test::Gbk;
using core_test::ReadNative;
using core_test::TempFolder;
using core_test::WriteNative;

int CountEntries(const std::filesystem::path& folder) {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(Directories, CreateAndRemoveOneLevel) {
  TempFolder temp;
  const std::string folder = temp.GbkPath("小说文件");
  EXPECT_TRUE(CreateDirectory(folder));
  EXPECT_FALSE(CreateDirectory(folder));                        // exists
  EXPECT_FALSE(CreateDirectory(temp.GbkPath("缺少\\子目录")));  // parent missing
  EXPECT_TRUE(DirectoryExists(folder));
  EXPECT_FALSE(FileExists(folder));

  WriteNative(temp.Native("小说文件/第一章.txt"), "x");
  EXPECT_FALSE(RemoveDirectory(folder));                             // not empty
  EXPECT_FALSE(RemoveDirectory(folder + "\\" + Gbk("第一章.txt")));  // not a folder
  EXPECT_TRUE(DeleteFile(folder + "\\" + Gbk("第一章.txt")));
  EXPECT_TRUE(RemoveDirectory(folder));
  EXPECT_FALSE(DirectoryExists(folder));
  EXPECT_FALSE(RemoveDirectory(folder));
}

TEST(Files, ExistDeleteAndRename) {
  TempFolder temp;
  const std::string a = temp.GbkPath("甲.txt");
  const std::string b = temp.GbkPath("乙.txt");
  EXPECT_FALSE(FileExists(a));
  EXPECT_FALSE(DeleteFile(a));
  WriteNative(temp.Native("甲.txt"), "first");
  WriteNative(temp.Native("乙.txt"), "second");
  EXPECT_TRUE(FileExists(a));
  EXPECT_FALSE(DirectoryExists(a));

  EXPECT_TRUE(RenameFile(a, b));  // replaces
  EXPECT_FALSE(FileExists(a));
  EXPECT_EQ(ReadNative(temp.Native("乙.txt")), "first");
  EXPECT_FALSE(RenameFile(a, b));

  std::filesystem::create_directory(temp.Native("目录"));
  EXPECT_FALSE(DeleteFile(temp.GbkPath("目录")));
  EXPECT_TRUE(DeleteFile(b));
  EXPECT_FALSE(FileExists(b));
}

TEST(CopyFile, CopiesContentAndHonoursFailIfExists) {
  TempFolder temp;
  const std::string source = temp.GbkPath("第一章.txt");
  const std::string target = temp.GbkPath("备份.txt");
  const std::string content = Gbk("正文") + std::string(200000, 'x');  // more than one buffer
  WriteNative(temp.Native("第一章.txt"), content);

  EXPECT_TRUE(CopyFile(source, target, true));
  EXPECT_EQ(ReadNative(temp.Native("备份.txt")), content);

  WriteNative(temp.Native("第一章.txt"), "changed");
  EXPECT_FALSE(CopyFile(source, target, true));
  EXPECT_EQ(ReadNative(temp.Native("备份.txt")), content);
  EXPECT_TRUE(CopyFile(source, target, false));
  EXPECT_EQ(ReadNative(temp.Native("备份.txt")), "changed");

  EXPECT_FALSE(CopyFile(temp.GbkPath("missing"), target, false));
  EXPECT_EQ(ReadNative(temp.Native("备份.txt")), "changed");
  EXPECT_FALSE(CopyFile(source, temp.GbkPath("缺少\\备份.txt"), false));
  std::filesystem::create_directory(temp.Native("目录"));
  EXPECT_FALSE(CopyFile(temp.GbkPath("目录"), target, false));
  EXPECT_EQ(CountEntries(temp.path()), 3);  // no temporary file left behind
}

TEST(ProgramPath, NamesThisTestBinary) {
  const std::string path = ProgramFilePath();
#ifdef _WIN32
  const std::string suffix = "\\platform_core_test.exe";
#else
  const std::string suffix = "\\platform_core_test";
#endif
  ASSERT_GE(path.size(), suffix.size());
  EXPECT_EQ(path.substr(path.size() - suffix.size()), suffix);
  EXPECT_EQ(path.find('/'), std::string::npos);
  EXPECT_TRUE(FileExists(path));
}

}  // namespace
}  // namespace platform
