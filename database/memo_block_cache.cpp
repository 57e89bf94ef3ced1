#include "database/memo_block_cache.h"

#include <algorithm>

namespace database {

MemoBlockReader::MemoBlockReader(MemoBlockCache& cache, platform::File& file, int32_t block_count,
                                 int32_t read_end)
    : cache_(&cache),
      file_(&file),
      block_count_(block_count),
      read_end_(read_end > 0 ? std::min(read_end, block_count) : block_count) {}

MemoBlockReader::MemoBlockReader(const uint8_t* view, int32_t block_count, int32_t blocks_in_file)
    : view_(view), block_count_(std::min(block_count, blocks_in_file)), read_end_(block_count_) {}

const uint8_t* MemoBlockReader::GetCached(BlockNumber block, int64_t expected, bool backward) {
  bool jump = false;
  for (MemoBlockCache::Slot& slot : cache_->slots) {
    if (block >= slot.start && block < slot.start + slot.count) {
      slot.last_use = ++cache_->uses;
      return slot.buffer.data() + int64_t{block - slot.start} * kMemoBlockSize;
    }
    jump = jump || slot.count > 0;
  }
  for (const MemoBlockCache::Slot& slot : cache_->slots) {
    if (slot.count > 0 && block == (backward ? slot.start - 1 : slot.start + slot.count)) {
      jump = false;
    }
  }
  MemoBlockCache::Slot& slot = cache_->slots[0].last_use <= cache_->slots[1].last_use
                                   ? cache_->slots[0]
                                   : cache_->slots[1];
  const int64_t length = jump ? 8 : std::clamp<int64_t>(expected, 8, 1024);
  const BlockNumber start =
      backward ? static_cast<BlockNumber>(std::max<int64_t>(1, block - length + 1)) : block;
  const auto wanted = static_cast<int32_t>(
      std::min<int64_t>(block + 1 - start + (backward ? 0 : length - 1),
                        (block < read_end_ ? read_end_ : block_count_) - start));
  // The buffer never shrinks: growing it again would clear the new bytes.
  const size_t bytes = static_cast<size_t>(wanted) * kMemoBlockSize;
  if (slot.buffer.size() < bytes) slot.buffer.resize(bytes);
  const int64_t read =
      file_->ReadAt(int64_t{start} * kMemoBlockSize, slot.buffer.data(), static_cast<int64_t>(bytes));
  slot.start = start;
  slot.count = read < 0 ? 0 : static_cast<int32_t>(read / kMemoBlockSize);
  slot.last_use = ++cache_->uses;
  if (block >= slot.start + slot.count) return nullptr;
  return slot.buffer.data() + int64_t{block - start} * kMemoBlockSize;
}

}  // namespace database
