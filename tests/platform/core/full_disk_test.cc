// The full-disk hook: a folder declared full fails what would put bytes on its disk, and
// nothing else, until it is declared free.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/core/fault_injection.h"
#include "platform/core/file.h"
#include "platform/core/file_system.h"
#include "tests/platform/core/test_support.h"

namespace platform {
namespace {

using core_test::ReadNative;
using core_test::TempFolder;
using core_test::WriteNative;

File OpenForWriting(const std::string& gbk_path) {
  FileResult opened = File::Open(gbk_path, FileAccess::kReadWrite, ShareMode::kDenyNone,
                                 Disposition::kOpenAlways);
  EXPECT_TRUE(opened.ok()) << static_cast<int>(opened.error);
  return opened.ok() ? std::move(*opened.file) : File();
}

class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(folder_.Native("full"));
    std::filesystem::create_directory(folder_.Native("full/inner"));
    std::filesystem::create_directory(folder_.Native("full-not"));
    std::filesystem::create_directory(folder_.Native("other"));
  }
  void TearDown() override { DeclareEveryFolderFree(); }
  TempFolder folder_;
};

TEST_F(FullDisk, AFileOpenedBeforeFailsEveryWriteThatNeedsRoomAndKeepsItsBytes) {
  WriteNative(folder_.Native("full/a.txt"), "old bytes");
  File file = OpenForWriting(folder_.GbkPath("full/a.txt"));
  DeclareFolderFull(folder_.GbkPath("full"));

  EXPECT_EQ(file.WriteAt(0, "new", 3), -1);
  EXPECT_EQ(file.last_error(), FileError::kDiskFull);
  EXPECT_EQ(file.WriteAt(9, "more", 4), -1) << "the failure lasts";
  EXPECT_FALSE(file.Truncate(100)) << "a file that grows needs room";
  EXPECT_EQ(file.last_error(), FileError::kDiskFull);
  EXPECT_EQ(ReadNative(folder_.Native("full/a.txt")), "old bytes");

  // What needs no room goes on.
  char read[3] = {};
  EXPECT_EQ(file.ReadAt(0, read, 3), 3);
  EXPECT_EQ(file.WriteAt(0, "", 0), 0);
  EXPECT_TRUE(file.Flush());
  EXPECT_TRUE(file.Truncate(3));
  EXPECT_EQ(ReadNative(folder_.Native("full/a.txt")), "old");

  DeclareFolderFree(folder_.GbkPath("full"));
  EXPECT_EQ(file.WriteAt(3, "+new", 4), 4);
  EXPECT_EQ(ReadNative(folder_.Native("full/a.txt")), "old+new");
}

TEST_F(FullDisk, OnlyTheFoldersDeclaredFullAndTheFoldersInsideThemAreFull) {
  DeclareFolderFull(folder_.GbkPath("full"));
  DeclareFolderFull(folder_.GbkPath("other"));
  const auto writes = [&](const std::string& name) {
    File file = OpenForWriting(folder_.GbkPath(name));
    return file.WriteAt(0, "x", 1) == 1;
  };
  EXPECT_FALSE(writes("full/inner/b.txt"));
  EXPECT_FALSE(writes("other/b.txt"));
  EXPECT_TRUE(writes("full-not/b.txt")) << "a name that only begins like a full folder's";
  EXPECT_TRUE(writes("b.txt"));

  // Several folders are full at once; freeing one leaves the others full.
  DeclareFolderFree(folder_.GbkPath("other"));
  EXPECT_TRUE(writes("other/b.txt"));
  EXPECT_FALSE(writes("full/b.txt"));
  DeclareEveryFolderFree();
  EXPECT_TRUE(writes("full/b.txt"));
}

TEST_F(FullDisk, ACopyIntoAFullFolderFailsAndLeavesTheTargetAndNoTemporaryFile) {
  WriteNative(folder_.Native("other/source.txt"), "chapter text");
  WriteNative(folder_.Native("full/target.txt"), "old text");
  DeclareFolderFull(folder_.GbkPath("full"));

  EXPECT_FALSE(CopyFile(folder_.GbkPath("other/source.txt"), folder_.GbkPath("full/target.txt"),
                        /*fail_if_exists=*/false));
  EXPECT_FALSE(CopyFile(folder_.GbkPath("other/source.txt"), folder_.GbkPath("full/new.txt"),
                        /*fail_if_exists=*/false));
  EXPECT_EQ(ReadNative(folder_.Native("full/target.txt")), "old text");
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Native("full"))) {
    entries += entry.is_regular_file() ? 1 : 0;
  }
  EXPECT_EQ(entries, 1) << "only the old target";

  // Out of the full folder is no write on it.
  EXPECT_TRUE(CopyFile(folder_.GbkPath("full/target.txt"), folder_.GbkPath("other/copy.txt"),
                       /*fail_if_exists=*/false));
  DeclareFolderFree(folder_.GbkPath("full"));
  EXPECT_TRUE(CopyFile(folder_.GbkPath("other/source.txt"), folder_.GbkPath("full/target.txt"),
                       /*fail_if_exists=*/false));
  EXPECT_EQ(ReadNative(folder_.Native("full/target.txt")), "chapter text");
}

}  // namespace
}  // namespace platform
