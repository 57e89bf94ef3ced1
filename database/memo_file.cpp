#include "database/memo_file.h"

#include <algorithm>
#include <climits>
#include <unordered_set>

#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "platform/core/lock_retry.h"

namespace database {
namespace {

// Reads blocks in windows of up to 64, so that walking a chain whose blocks follow each
// other (as appended chains do) costs one read per window instead of one per block.
class BlockWindow {
 public:
  BlockWindow(platform::File& file, int32_t block_count) : file_(file), block_count_(block_count) {}

  // The 512 bytes of block `block`, or null when it lies outside the file.
  const uint8_t* Get(BlockNumber block) {
    if (block < 1 || block >= block_count_) return nullptr;
    if (block >= start_ && block < start_ + count_) {
      return buffer_.data() + int64_t{block - start_} * kMemoBlockSize;
    }
    const int32_t wanted = std::min<int32_t>(kWindowBlocks, block_count_ - block);
    buffer_.resize(static_cast<size_t>(wanted) * kMemoBlockSize);
    const int64_t read = file_.ReadAt(int64_t{block} * kMemoBlockSize, buffer_.data(),
                                      int64_t{wanted} * kMemoBlockSize);
    start_ = block;
    count_ = read < 0 ? 0 : static_cast<int32_t>(read / kMemoBlockSize);
    if (count_ == 0) return nullptr;
    return buffer_.data();
  }

 private:
  static constexpr int32_t kWindowBlocks = 64;
  platform::File& file_;
  int32_t block_count_;
  BlockNumber start_ = 0;
  int32_t count_ = 0;
  std::vector<uint8_t> buffer_;
};

void FillBlock(uint8_t* image, BlockNumber previous, BlockNumber next, std::string_view piece) {
  std::fill(image, image + kMemoBlockSize, 0);
  StoreI32(image, previous);
  StoreI32(image + 4, next);
  StoreI32(image + 8, static_cast<int32_t>(piece.size()));
  std::copy(piece.begin(), piece.end(), image + kMemoBlockHeaderSize);
}

int32_t WriteWord(platform::File& file, int64_t offset, int32_t value) {
  uint8_t word[4];
  StoreI32(word, value);
  return file.WriteAt(offset, word, 4) == 4 ? code::kOk : code::kMemoAccessFailed;
}

}  // namespace

int32_t MemoFile::Open(std::string_view gbk_path, bool read_only, platform::ShareMode share,
                       bool exclusive, int32_t main_version) {
  platform::FileResult opened = platform::OpenWithRetry(
      gbk_path, read_only ? platform::FileAccess::kRead : platform::FileAccess::kReadWrite, share,
      platform::Disposition::kOpenExisting, LockWait());
  if (!opened.ok()) return code::kMemoReadFailed;
  return Adopt(std::move(*opened.file), read_only, exclusive, main_version);
}

int32_t MemoFile::Adopt(platform::File file, bool read_only, bool exclusive,
                        int32_t main_version) {
  locks_.ReleaseEverything();
  file_ = std::move(file);
  locks_ = ByteLocks(&file_);
  int32_t result = locks_.LockAll(LockWait());
  if (result == code::kOk) {
    result = Check(read_only, main_version);
    locks_.UnlockAll();
  }
  if (result != code::kOk) {
    Close();
    return result;
  }
  if (exclusive) locks_.SetExclusive();
  return code::kOk;
}

void MemoFile::Close() {
  locks_.ReleaseEverything();
  file_.Close();
}

int32_t MemoFile::Check(bool read_only, int32_t main_version) {
  MemoHeader header;
  if (ReadHeader(&header) != code::kOk) return code::kMemoReadFailed;
  if (header.magic != kMemoMagic || header.block_count <= 0 || header.free_count < 0 ||
      header.free_count >= header.block_count || header.free_head < 0 ||
      header.free_head >= header.block_count) {
    return code::kMemoReadFailed;
  }
  if (header.version != main_version) return code::kMemoVersion;
  const int64_t size = file_.Size();
  if (size < 0) return code::kMemoReadFailed;
  const int64_t whole_blocks = size / kMemoBlockSize;
  if (whole_blocks < header.block_count) {
    if (read_only) return code::kNotAMemoFile;
    // A block count the file cannot hold. Blocks past the end belong to no committed chain
    // (they are appended before the header grows), so lowering the count loses nothing; a
    // free list that now reaches past the end is dropped (its blocks leak).
    header.block_count = static_cast<int32_t>(std::max<int64_t>(1, whole_blocks));
    if (header.free_head >= header.block_count || header.free_count >= header.block_count) {
      header.free_head = 0;
      header.free_count = 0;
    }
    return WriteHeaderWords(header);
  }
  return code::kOk;
}

int32_t MemoFile::ReadHeader(MemoHeader* header) {
  uint8_t bytes[32];
  if (file_.ReadAt(0, bytes, 32) != 32) return code::kMemoAccessFailed;
  header->magic = LoadI32(bytes);
  header->version = LoadI32(bytes + 4);
  header->block_count = LoadI32(bytes + 16);
  header->free_count = LoadI32(bytes + 20);
  header->free_head = LoadI32(bytes + 24);
  return code::kOk;
}

int32_t MemoFile::WriteHeaderWords(const MemoHeader& header) {
  uint8_t words[12];
  StoreI32(words, header.block_count);
  StoreI32(words + 4, header.free_count);
  StoreI32(words + 8, header.free_head);
  // One write: the header is the commit point of every allocation and release.
  return file_.WriteAt(16, words, 12) == 12 ? code::kOk : code::kMemoAccessFailed;
}

int32_t MemoFile::WalkChain(BlockNumber first, int32_t block_count,
                            std::vector<BlockNumber>* blocks, std::string* value) {
  BlockWindow window(file_, block_count);
  BlockNumber block = first;
  int64_t steps = 0;
  while (block != 0) {
    if (++steps >= block_count) return code::kMemoAccessFailed;  // a cycle
    const uint8_t* image = window.Get(block);
    if (image == nullptr) return code::kMemoAccessFailed;
    const int32_t used = LoadI32(image + 8);
    if (used < 0 || used > kMemoDataSize) return code::kMemoAccessFailed;
    if (blocks != nullptr) blocks->push_back(block);
    if (value != nullptr) value->append(reinterpret_cast<const char*>(image) + 12, used);
    block = LoadI32(image + 4);
  }
  return code::kOk;
}

int32_t MemoFile::ReadChain(BlockNumber first, std::string* value) {
  value->clear();
  if (first == 0) return code::kOk;
  ByteLockGuard chain_lock(locks_, int64_t{first} * kMemoBlockSize, HeaderLockWait());
  if (chain_lock.result() != code::kOk) return chain_lock.result();
  MemoHeader header;
  const int32_t result = ReadHeader(&header);
  if (result != code::kOk) return result;
  return WalkChain(first, header.block_count, nullptr, value);
}

int32_t MemoFile::WriteBlocks(const std::vector<BlockNumber>& blocks,
                              const std::vector<uint8_t>& images) {
  size_t i = 0;
  while (i < blocks.size()) {
    size_t run = 1;
    while (i + run < blocks.size() && blocks[i + run] == blocks[i + run - 1] + 1) ++run;
    const int64_t bytes = static_cast<int64_t>(run) * kMemoBlockSize;
    if (file_.WriteAt(int64_t{blocks[i]} * kMemoBlockSize, images.data() + i * kMemoBlockSize,
                      bytes) != bytes) {
      return code::kMemoAccessFailed;
    }
    i += run;
  }
  return code::kOk;
}

int32_t MemoFile::WriteNewChain(std::string_view value, BlockNumber* first) {
  *first = 0;
  if (value.empty()) return code::kOk;
  const int64_t piece_count = (static_cast<int64_t>(value.size()) + kMemoDataSize - 1) / kMemoDataSize;
  if (piece_count > INT32_MAX / 2) return code::kMemoAccessFailed;
  const auto n = static_cast<int32_t>(piece_count);

  ByteLockGuard header_lock(locks_, 0, HeaderLockWait());
  if (header_lock.result() != code::kOk) return header_lock.result();
  MemoHeader header;
  int32_t result = ReadHeader(&header);
  if (result != code::kOk) return result;

  // Blocks off the free list. A list that breaks off (a number outside the file, a block
  // met twice) is dropped from there on: its blocks leak, none is used twice.
  std::vector<BlockNumber> blocks;
  blocks.reserve(static_cast<size_t>(n));
  std::unordered_set<BlockNumber> seen;
  BlockWindow window(file_, header.block_count);
  BlockNumber head = header.free_head;
  int32_t free_count = header.free_count;
  while (static_cast<int32_t>(blocks.size()) < n && free_count > 0) {
    const uint8_t* image = seen.count(head) ? nullptr : window.Get(head);
    if (image == nullptr) {
      head = 0;
      free_count = 0;
      break;
    }
    seen.insert(head);
    blocks.push_back(head);
    --free_count;
    head = LoadI32(image + 4);
  }
  // The rest of the list: nothing when its count is used up, dropped when its head is not a
  // block of the file.
  if (free_count == 0 || head <= 0 || head >= header.block_count) {
    head = 0;
    free_count = 0;
  }
  const auto taken = static_cast<int32_t>(blocks.size());
  const int32_t appended = n - taken;
  if (appended > INT32_MAX / kMemoBlockSize - header.block_count) return code::kMemoAccessFailed;
  for (int32_t i = 0; i < appended; ++i) blocks.push_back(header.block_count + i);

  std::vector<uint8_t> images(static_cast<size_t>(n) * kMemoBlockSize);
  for (int32_t i = 0; i < n; ++i) {
    const size_t start = static_cast<size_t>(i) * kMemoDataSize;
    FillBlock(images.data() + static_cast<size_t>(i) * kMemoBlockSize, i == 0 ? 0 : blocks[i - 1],
              i + 1 < n ? blocks[i + 1] : 0, value.substr(start, kMemoDataSize));
  }

  // 1. Appended blocks lie past the block count: nobody sees them until the header grows.
  if (appended > 0) {
    const int64_t bytes = int64_t{appended} * kMemoBlockSize;
    if (file_.WriteAt(int64_t{header.block_count} * kMemoBlockSize,
                      images.data() + static_cast<size_t>(taken) * kMemoBlockSize,
                      bytes) != bytes) {
      return code::kMemoAccessFailed;
    }
  }
  // 2. The header takes the blocks off the free list and counts the appended ones.
  MemoHeader updated = header;
  updated.block_count = header.block_count + appended;
  updated.free_count = free_count;
  updated.free_head = head;
  result = WriteHeaderWords(updated);
  if (result != code::kOk) return result;
  // 3. Taken blocks now belong to nothing but this chain.
  if (taken > 0) {
    std::vector<BlockNumber> taken_blocks(blocks.begin(), blocks.begin() + taken);
    std::vector<uint8_t> taken_images(images.begin(),
                                      images.begin() + static_cast<size_t>(taken) * kMemoBlockSize);
    result = WriteBlocks(taken_blocks, taken_images);
    if (result != code::kOk) return result;
    if (head != 0) WriteWord(file_, int64_t{head} * kMemoBlockSize, 0);  // new head: no previous
  }
  *first = blocks.front();
  return code::kOk;
}

int32_t MemoFile::ReleaseChain(BlockNumber first) {
  if (first == 0) return code::kOk;
  ByteLockGuard header_lock(locks_, 0, HeaderLockWait());
  if (header_lock.result() != code::kOk) return header_lock.result();
  ByteLockGuard chain_lock(locks_, int64_t{first} * kMemoBlockSize, HeaderLockWait());
  if (chain_lock.result() != code::kOk) return chain_lock.result();
  MemoHeader header;
  int32_t result = ReadHeader(&header);
  if (result != code::kOk) return result;
  std::vector<BlockNumber> blocks;
  if (WalkChain(first, header.block_count, &blocks, nullptr) != code::kOk) {
    return code::kOk;  // not well formed: leave it leaked rather than free a stranger's block
  }
  BlockNumber old_head = header.free_head;
  int32_t old_count = header.free_count;
  if (old_head <= 0 || old_head >= header.block_count || old_count <= 0) {
    old_head = 0;
    old_count = 0;
  }

  // 1. The chain's own blocks, unreferenced since the record was switched, become a list
  //    that ends in the old free list. The first one gets no previous block.
  const auto k = static_cast<int32_t>(blocks.size());
  std::vector<uint8_t> images(static_cast<size_t>(k) * kMemoBlockSize);
  for (int32_t i = 0; i < k; ++i) {
    FillBlock(images.data() + static_cast<size_t>(i) * kMemoBlockSize, i == 0 ? 0 : blocks[i - 1],
              i + 1 < k ? blocks[i + 1] : old_head, {});
  }
  result = WriteBlocks(blocks, images);
  if (result != code::kOk) return result;
  // 2. One header write puts them on the free list.
  header.free_head = first;
  header.free_count = old_count + k;
  result = WriteHeaderWords(header);
  if (result != code::kOk) return result;
  // 3. The old head's back link; with an empty list there is none (block 0 is the header).
  if (old_head != 0) WriteWord(file_, int64_t{old_head} * kMemoBlockSize, blocks.back());

  if (*std::max_element(blocks.begin(), blocks.end()) == header.block_count - 1) {
    return CutTrailingFreeBlocks(&header);
  }
  return code::kOk;
}

// Cuts the longest run of free-list entries, counted from the head, that are exactly the
// last blocks of the file. Because those blocks are the head of the list, one header write
// removes them; the file is shortened after it. Blocks reached only through stale links
// (a leaked block) are never touched.
int32_t MemoFile::CutTrailingFreeBlocks(MemoHeader* header) {
  BlockWindow window(file_, header->block_count);
  std::unordered_set<BlockNumber> seen;
  BlockNumber lowest = INT32_MAX;
  int32_t best = 0;
  BlockNumber best_next = 0;
  BlockNumber block = header->free_head;
  const int32_t limit = std::min(header->free_count, 1 << 16);
  for (int32_t i = 0; i < limit && block != 0; ++i) {
    const uint8_t* image = seen.count(block) ? nullptr : window.Get(block);
    if (image == nullptr) break;
    seen.insert(block);
    lowest = std::min(lowest, block);
    const BlockNumber next = LoadI32(image + 4);
    if (lowest == header->block_count - (i + 1)) {
      best = i + 1;
      best_next = next;
    }
    if (lowest < header->block_count - header->free_count) break;
    block = next;
  }
  if (best == 0) return code::kOk;
  header->block_count -= best;
  header->free_count -= best;
  header->free_head = header->free_count > 0 ? best_next : 0;
  int32_t result = WriteHeaderWords(*header);
  if (result != code::kOk) return result;
  if (!file_.Truncate(int64_t{header->block_count} * kMemoBlockSize)) {
    return code::kMemoAccessFailed;
  }
  if (header->free_head != 0) WriteWord(file_, int64_t{header->free_head} * kMemoBlockSize, 0);
  return code::kOk;
}

}  // namespace database
