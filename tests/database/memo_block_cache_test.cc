// The block cache of the memo file's reads: whatever order a walk asks in, forward, backward
// or jumping, it gets the block it asked for, and nothing past the end of the file.

#include <random>

#include "database/le_bytes.h"
#include "database/memo_block_cache.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

TEST(MemoBlockCache, EveryWalkGetsTheBlocksItAsksFor) {
  TempFolder folder;
  constexpr int32_t kBlocks = 3000;
  std::vector<uint8_t> bytes(static_cast<size_t>(kBlocks) * kMemoBlockSize);
  for (int32_t b = 0; b < kBlocks; ++b) PutWord(bytes, static_cast<size_t>(b) * kMemoBlockSize, b);
  WriteWholeFile(folder.Native("m.edt"), bytes);
  platform::FileResult opened =
      platform::File::Open(folder.Gbk("m.edt"), platform::FileAccess::kRead,
                           platform::ShareMode::kDenyNone, platform::Disposition::kOpenExisting);
  ASSERT_TRUE(opened.ok());
  MemoBlockCache cache;
  std::mt19937 random(11);
  for (int walk = 0; walk < 200; ++walk) {
    cache.Forget();
    // The count the reader believes in may be larger than the file (another process cut it).
    const int32_t believed = walk % 5 == 0 ? kBlocks + 50 : kBlocks;
    MemoBlockReader reader(cache, *opened.file, believed, walk % 3 == 0 ? 0 : kBlocks);
    const bool backward = walk % 2 == 1;
    auto block = static_cast<int32_t>(random() % (believed + 10));
    for (int step = 0; step < 600; ++step) {
      const uint8_t* image = reader.Get(block, random() % 2000, backward);
      if (block < 1 || block >= kBlocks) {
        ASSERT_EQ(image, nullptr) << block;
      } else {
        ASSERT_NE(image, nullptr) << block;
        ASSERT_EQ(LoadI32(image), block);
      }
      // Mostly the next block, now and then a stray one.
      block = random() % 8 == 0 ? static_cast<int32_t>(random() % (believed + 10))
                                : block + (backward ? -1 : 1);
    }
  }
}

}  // namespace
}  // namespace database::testing
