#include "platform/core/native_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/core/file.h"
#include "platform/core/file_system.h"
#include "tests/platform/core/test_support.h"

namespace platform {
namespace {

using core_test::Gbk;
using core_test::TempFolder;

TEST(NativePath, SwapsSeparatorsAfterDecoding) {
  const struct {
    const char* what;
    std::string gbk;
    std::string native;
  } cases[] = {
      {"plain", "\\work\\app\\notes.txt", "/work/app/notes.txt"},
      {"Chinese", Gbk("\\work\\app\\小说文件\\第一章.txt"), "/work/app/小说文件/第一章.txt"},
      // 誠 is D5 5C and 耚 is C2 5C in GBK: their trail byte is the backslash.
      {"trail byte 0x5C", "\\a\\\xD5\x5C\\\xC2\x5C.txt", "/a/誠/耚.txt"},
      {"relative", Gbk("小说文件\\誠"), "小说文件/誠"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string native = c.native;
#ifdef _WIN32
    std::replace(native.begin(), native.end(), '/', '\\');
#endif
    EXPECT_EQ(NativePath(c.gbk), native);
    EXPECT_EQ(GbkPath(c.native), c.gbk);
  }
}

TEST(NativePath, ChineseNamesAreRealNamesOnDisk) {
  TempFolder temp;
  const std::string folder = temp.GbkPath("小说文件");
  ASSERT_TRUE(CreateDirectory(folder));
  const std::string chapter = folder + "\\" + Gbk("第一章.txt");
  ASSERT_TRUE(
      File::Open(chapter, FileAccess::kWrite, ShareMode::kDenyNone, Disposition::kCreateNew).ok());
  const std::string trail = folder + "\\\xD5\x5C.txt";  // 誠.txt
  ASSERT_TRUE(
      File::Open(trail, FileAccess::kWrite, ShareMode::kDenyNone, Disposition::kCreateNew).ok());

  EXPECT_TRUE(std::filesystem::is_directory(temp.Native("小说文件")));
  EXPECT_TRUE(std::filesystem::is_regular_file(temp.Native("小说文件/第一章.txt")));
  EXPECT_TRUE(std::filesystem::is_regular_file(temp.Native("小说文件/誠.txt")));
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp.path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);  // nothing was made under a mangled name
  EXPECT_EQ(FsPath(chapter), temp.Native("小说文件/第一章.txt"));
  EXPECT_EQ(GbkPathOf(temp.Native("小说文件/第一章.txt")), chapter);
}

}  // namespace
}  // namespace platform
