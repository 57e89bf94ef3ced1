#include "platform/core/file_view.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "tests/platform/core/test_support.h"

namespace platform {
namespace {

using core_test::TempFolder;
using core_test::WriteNative;

struct PageRead {
  const uint8_t* page;
  uint8_t first = 0;
};

void ReadFirstByte(void* context) {
  auto* read = static_cast<PageRead*>(context);
  read->first = *read->page;
}

// The view shows what the File writes at once, and a page the file no longer has fails the
// guarded read instead of ending the process; the view keeps working afterwards.
TEST(FileView, ShowsWritesAndSurvivesAPageCutOffTheFile) {
  TempFolder folder;
  const long page = sysconf(_SC_PAGESIZE);
  WriteNative(folder.Native("v.bin"), std::string(static_cast<size_t>(page) * 2, 'a'));
  FileResult opened = File::Open(folder.GbkPath("v.bin"), FileAccess::kReadWrite,
                                 ShareMode::kDenyNone, Disposition::kOpenExisting);
  ASSERT_TRUE(opened.ok());
  File& file = *opened.file;
  FileView view;
  ASSERT_TRUE(view.Map(file, page * 16));

  ASSERT_EQ(file.WriteAt(page + 1, "b", 1), 1);
  EXPECT_EQ(view.data()[page + 1], 'b');

  PageRead second{view.data() + page};
  EXPECT_TRUE(ReadMappedPages(&ReadFirstByte, &second));
  EXPECT_EQ(second.first, 'a');

  ASSERT_TRUE(file.Truncate(page));  // as another process cutting the file would
  PageRead cut{view.data() + page};
  EXPECT_FALSE(ReadMappedPages(&ReadFirstByte, &cut));
  PageRead beyond{view.data() + page * 8};
  EXPECT_FALSE(ReadMappedPages(&ReadFirstByte, &beyond));

  PageRead first{view.data()};
  EXPECT_TRUE(ReadMappedPages(&ReadFirstByte, &first));
  EXPECT_EQ(first.first, 'a');
}

}  // namespace
}  // namespace platform
