#pragma once

#include <cstdint>
#include <vector>

#include "platform/core/file.h"

namespace database {

using BlockNumber = int32_t;  // 0 = none

inline constexpr int32_t kMemoBlockSize = 512;

// The blocks of the last reads of the memo file, kept in two slots so that a chain that is
// mostly one run of blocks with a few blocks elsewhere (what replacing single blocks leaves)
// costs one long read for the run and a short one for each stray block, without reading the
// run again.
struct MemoBlockCache {
  struct Slot {
    std::vector<uint8_t> buffer;  // reused, so that a save touches no fresh pages
    BlockNumber start = 0;
    int32_t count = 0;
    uint64_t last_use = 0;
  };
  Slot slots[2];
  uint64_t uses = 0;

  void Forget() {
    for (Slot& slot : slots) slot.count = 0;
  }
};

// Reads blocks for one walk through a MemoBlockCache. A miss reads into the slot used least
// recently: as many blocks as the walk still expects (at least 8, at most 1024) when the walk
// goes on from a slot's last block or starts, only 8 when it jumps elsewhere (most likely a
// stray block); a backward walk reads the blocks before the one it asks for. Reads stop at `read_end` (the block count last seen) when the block lies below
// it: a read past the end of the file costs a second call that reads nothing.
class MemoBlockReader {
 public:
  MemoBlockReader(MemoBlockCache& cache, platform::File& file, int32_t block_count,
                  int32_t read_end);
  // Reads straight from a view of the whole file (platform::FileView), which holds
  // `blocks_in_file` blocks; only inside platform::ReadMappedPages.
  MemoBlockReader(const uint8_t* view, int32_t block_count, int32_t blocks_in_file);

  // The 512 bytes of block `block`, or null when it lies outside the file; `expected` is how
  // many more blocks the walk will probably want, this one included, and `backward` whether
  // it walks towards lower block numbers.
  const uint8_t* Get(BlockNumber block, int64_t expected, bool backward = false) {
    if (block < 1 || block >= block_count_) return nullptr;
    if (view_ != nullptr) return view_ + int64_t{block} * kMemoBlockSize;
    return GetCached(block, expected, backward);
  }

 private:
  const uint8_t* GetCached(BlockNumber block, int64_t expected, bool backward);

  MemoBlockCache* cache_ = nullptr;
  platform::File* file_ = nullptr;
  const uint8_t* view_ = nullptr;
  int32_t block_count_;
  int32_t read_end_;
};

}  // namespace database
