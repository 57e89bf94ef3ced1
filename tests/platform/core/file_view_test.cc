#include "platform/core/file_view.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

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

// A multiple of every system's page size.
constexpr int64_t kPage = 64 * 1024;

struct MappedFile {
  explicit MappedFile(const TempFolder& folder) {
    WriteNative(folder.Native("v.bin"), std::string(static_cast<size_t>(kPage) * 2, 'a'));
    FileResult opened = File::Open(folder.GbkPath("v.bin"), FileAccess::kReadWrite,
                                   ShareMode::kDenyNone, Disposition::kOpenExisting);
    if (opened.ok()) file = std::move(*opened.file);
    mapped = view.Map(file, kPage * 16);
  }
  File file;
  FileView view;
  bool mapped;
};

TEST(FileView, ShowsWritesAtOnce) {
  TempFolder folder;
  MappedFile mapped(folder);
  ASSERT_TRUE(mapped.mapped);
  ASSERT_GE(mapped.view.length(), kPage * 2);
  ASSERT_EQ(mapped.file.WriteAt(kPage + 1, "b", 1), 1);
  EXPECT_EQ(mapped.view.data()[kPage + 1], 'b');
  PageRead second{mapped.view.data() + kPage};
  EXPECT_TRUE(ReadMappedPages(&ReadFirstByte, &second));
  EXPECT_EQ(second.first, 'a');
}

#ifdef _WIN32

// A view holds the file as it was mapped: no one can cut a page off under it, and a file that
// grew is mapped anew to reach the new bytes.
TEST(FileView, HoldsTheFileAsMappedUntilMappedAnew) {
  TempFolder folder;
  MappedFile mapped(folder);
  ASSERT_TRUE(mapped.mapped);
  EXPECT_EQ(mapped.view.length(), kPage * 2);
  EXPECT_FALSE(mapped.file.Truncate(kPage));
  ASSERT_EQ(mapped.file.WriteAt(kPage * 3, "c", 1), 1);
  EXPECT_EQ(mapped.view.length(), kPage * 2);
  ASSERT_TRUE(mapped.view.Map(mapped.file, kPage * 16));
  EXPECT_EQ(mapped.view.length(), kPage * 3 + 1);
  EXPECT_EQ(mapped.view.data()[kPage * 3], 'c');
  mapped.view.Unmap();
  EXPECT_TRUE(mapped.file.Truncate(kPage));
}

#else

// A page the file no longer has fails the guarded read instead of ending the process; the view
// keeps working afterwards.
TEST(FileView, SurvivesAPageCutOffTheFile) {
  TempFolder folder;
  MappedFile mapped(folder);
  ASSERT_TRUE(mapped.mapped);
  EXPECT_EQ(mapped.view.length(), kPage * 16);
  ASSERT_TRUE(mapped.file.Truncate(kPage));  // as another process cutting the file would
  PageRead cut{mapped.view.data() + kPage};
  EXPECT_FALSE(ReadMappedPages(&ReadFirstByte, &cut));
  PageRead beyond{mapped.view.data() + kPage * 8};
  EXPECT_FALSE(ReadMappedPages(&ReadFirstByte, &beyond));
  PageRead first{mapped.view.data()};
  EXPECT_TRUE(ReadMappedPages(&ReadFirstByte, &first));
  EXPECT_EQ(first.first, 'a');
}

#endif

}  // namespace
}  // namespace platform
