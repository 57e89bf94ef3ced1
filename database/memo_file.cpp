#include "database/memo_file.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <optional>

#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "platform/core/lock_retry.h"

namespace database {
namespace {

// Reads blocks in windows, so that walking a chain whose blocks follow each other (as
// appended chains do) costs one read per window instead of one per block. A window is as
// long as the caller expects to need (`hint` blocks: the length of the value compared, the
// blocks wanted off the free list), at least 8 and at most 1024 blocks, and each further
// window four times longer; it stops at `read_end`, the block count last seen, when the block
// lies below it, since a read past the end of the file costs a second call that reads nothing.
// The window lives in the MemoFile and survives from one walk to the next until a write or
// ForgetCachedBlocks.
class BlockWindow {
 public:
  BlockWindow(MemoFile::Window& window, platform::File& file, int32_t block_count, int32_t read_end,
              int64_t hint)
      : window_(window),
        file_(file),
        block_count_(block_count),
        read_end_(read_end > 0 ? std::min(read_end, block_count) : block_count),
        hint_(static_cast<int32_t>(std::clamp<int64_t>(hint, 8, 1024))) {}

  // The 512 bytes of block `block`, or null when it lies outside the file.
  const uint8_t* Get(BlockNumber block) {
    if (block < 1 || block >= block_count_) return nullptr;
    if (block >= window_.start && block < window_.start + window_.count) {
      return window_.buffer.data() + int64_t{block - window_.start} * kMemoBlockSize;
    }
    const int32_t wanted =
        std::min<int32_t>(hint_, (block < read_end_ ? read_end_ : block_count_) - block);
    hint_ = std::min(hint_ * 4, 1024);  // a walk that goes on reads further ahead
    window_.buffer.resize(static_cast<size_t>(wanted) * kMemoBlockSize);
    const int64_t read = file_.ReadAt(int64_t{block} * kMemoBlockSize, window_.buffer.data(),
                                      int64_t{wanted} * kMemoBlockSize);
    window_.start = block;
    window_.count = read < 0 ? 0 : static_cast<int32_t>(read / kMemoBlockSize);
    if (window_.count == 0) return nullptr;
    return window_.buffer.data();
  }

 private:
  MemoFile::Window& window_;
  platform::File& file_;
  int32_t block_count_;
  int32_t read_end_;
  int32_t hint_;
};

void FillBlock(uint8_t* image, BlockNumber previous, BlockNumber next, std::string_view piece) {
  StoreI32(image, previous);
  StoreI32(image + 4, next);
  StoreI32(image + 8, static_cast<int32_t>(piece.size()));
  if (!piece.empty()) std::memcpy(image + kMemoBlockHeaderSize, piece.data(), piece.size());
  std::memset(image + kMemoBlockHeaderSize + piece.size(), 0, kMemoDataSize - piece.size());
}

bool StrictlyRising(const std::vector<BlockNumber>& blocks) {
  return std::adjacent_find(blocks.begin(), blocks.end(), std::greater_equal<>()) == blocks.end();
}

bool HasRepeat(const std::vector<BlockNumber>& blocks) {
  std::vector<BlockNumber> sorted(blocks);
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
}

// The most blocks a memo file can have: block offsets stay below 2^31.
constexpr int32_t kMaxBlockCount = INT32_MAX / kMemoBlockSize;

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

int32_t MemoFile::Adopt(platform::File file, bool read_only, bool exclusive, int32_t main_version) {
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

int32_t MemoFile::BeginBatch() {
  const int32_t result = locks_.Lock(0, HeaderLockWait());
  if (result != code::kOk) return result;
  ForgetCachedBlocks();
  in_batch_ = true;
  header_cached_ = false;
  return code::kOk;
}

void MemoFile::EndBatch() {
  ForgetCachedBlocks();
  if (!in_batch_) return;
  in_batch_ = false;
  header_cached_ = false;
  locks_.Unlock(0);
}

int32_t MemoFile::ReadHeader(MemoHeader* header) {
  if (in_batch_ && header_cached_) {
    *header = cached_header_;
    return code::kOk;
  }
  uint8_t bytes[32];
  if (file_.ReadAt(0, bytes, 32) != 32) return code::kMemoAccessFailed;
  header->magic = LoadI32(bytes);
  header->version = LoadI32(bytes + 4);
  header->block_count = LoadI32(bytes + 16);
  header->free_count = LoadI32(bytes + 20);
  header->free_head = LoadI32(bytes + 24);
  seen_block_count_ = header->block_count;
  if (in_batch_) {
    cached_header_ = *header;
    header_cached_ = true;
  }
  return code::kOk;
}

int32_t MemoFile::WriteHeaderWords(const MemoHeader& header) {
  uint8_t words[12];
  StoreI32(words, header.block_count);
  StoreI32(words + 4, header.free_count);
  StoreI32(words + 8, header.free_head);
  // One write: the header is the commit point of every allocation and release.
  if (file_.WriteAt(16, words, 12) != 12) {
    header_cached_ = false;
    return code::kMemoAccessFailed;
  }
  seen_block_count_ = header.block_count;
  if (in_batch_) {
    cached_header_.block_count = header.block_count;
    cached_header_.free_count = header.free_count;
    cached_header_.free_head = header.free_head;
  }
  return code::kOk;
}

int32_t MemoFile::WalkChain(BlockNumber first, int32_t block_count, int64_t max_blocks,
                            std::vector<BlockNumber>* blocks, std::string* value,
                            const std::string_view* compare_to, bool* equal) {
  const int64_t expected =
      compare_to != nullptr ? static_cast<int64_t>(compare_to->size()) / kMemoDataSize + 1 : 64;
  BlockWindow window(window_, file_, block_count, seen_block_count_, expected);
  BlockNumber block = first;
  int64_t steps = 0;
  size_t offset = 0;  // bytes of the value compared so far
  if (equal != nullptr) *equal = true;
  while (block != 0) {
    if (++steps > max_blocks) return code::kMemoAccessFailed;  // a cycle, or too long
    const uint8_t* image = window.Get(block);
    if (image == nullptr) return code::kMemoAccessFailed;
    const int32_t used = LoadI32(image + 8);
    if (used < 0 || used > kMemoDataSize) return code::kMemoAccessFailed;
    if (blocks != nullptr) blocks->push_back(block);
    if (value != nullptr) value->append(reinterpret_cast<const char*>(image) + 12, used);
    if (compare_to != nullptr && *equal) {
      *equal = offset + static_cast<size_t>(used) <= compare_to->size() &&
               std::memcmp(image + 12, compare_to->data() + offset, static_cast<size_t>(used)) == 0;
      offset += static_cast<size_t>(used);
    }
    block = LoadI32(image + 4);
  }
  if (compare_to != nullptr && offset != compare_to->size()) *equal = false;
  return code::kOk;
}

int32_t MemoFile::CompareChain(BlockNumber first, std::string_view value, bool* equal,
                               std::vector<BlockNumber>* blocks) {
  blocks->clear();
  *equal = value.empty();
  if (first == 0) return code::kOk;
  // No header read bounds this walk (it would cost every save a read): a chain that could
  // hold the value has at most one block per 500 bytes plus one, so a longer walk fails, as a
  // cycle does, and the caller then treats the value as changed and leaves the old chain to
  // ReleaseChain's own walk under the header lock. The record's committed chain lies below
  // the block count (blocks are counted before a record names them), so blocks past the end
  // of the file, which read as nothing, are the only ones a sound chain can never reach.
  const int64_t steps = static_cast<int64_t>(value.size()) / kMemoDataSize + 1;
  blocks->reserve(static_cast<size_t>(std::min<int64_t>(steps, 1024)));
  return WalkChain(first, kMaxBlockCount, std::min<int64_t>(steps, kMaxBlockCount), blocks, nullptr,
                   &value, equal);
}

void MemoFile::ForgetCachedBlocks() {
  window_.start = 0;
  window_.count = 0;
}

int32_t MemoFile::ReadChain(BlockNumber first, std::string* value,
                            std::vector<BlockNumber>* blocks) {
  value->clear();
  if (blocks != nullptr) blocks->clear();
  if (first == 0) return code::kOk;
  // The chain belongs to one record, whose lock the caller holds: nobody releases it now.
  ForgetCachedBlocks();
  MemoHeader header;
  const int32_t result = ReadHeader(&header);
  if (result != code::kOk) return result;
  return WalkChain(first, header.block_count, header.block_count - 1, blocks, value);
}

int32_t MemoFile::WriteBlocks(const BlockNumber* blocks, size_t count, const uint8_t* images) {
  ForgetCachedBlocks();
  size_t i = 0;
  while (i < count) {
    size_t run = 1;
    while (i + run < count && blocks[i + run] == blocks[i + run - 1] + 1) ++run;
    const int64_t bytes = static_cast<int64_t>(run) * kMemoBlockSize;
    if (file_.WriteAt(int64_t{blocks[i]} * kMemoBlockSize, images + i * kMemoBlockSize, bytes) !=
        bytes) {
      return code::kMemoAccessFailed;
    }
    i += run;
  }
  return code::kOk;
}

int32_t MemoFile::WriteNewChain(std::string_view value, BlockNumber* first) {
  *first = 0;
  if (value.empty()) return code::kOk;
  const int64_t piece_count =
      (static_cast<int64_t>(value.size()) + kMemoDataSize - 1) / kMemoDataSize;
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
  ForgetCachedBlocks();  // the free list may have changed since anything was read
  BlockWindow window(window_, file_, header.block_count, header.block_count, n);
  BlockNumber head = header.free_head;
  int32_t free_count = header.free_count;
  while (static_cast<int32_t>(blocks.size()) < n && free_count > 0) {
    const uint8_t* image = window.Get(head);
    if (image == nullptr) {
      head = 0;
      free_count = 0;
      break;
    }
    blocks.push_back(head);
    --free_count;
    head = LoadI32(image + 4);
  }
  // A block met twice means a cycle: the list is used up to the repetition and dropped.
  // Blocks in rising order (the usual list) cannot repeat, which spares the sort.
  if (!StrictlyRising(blocks) && HasRepeat(blocks)) {
    for (size_t i = 1; i < blocks.size(); ++i) {
      if (std::find(blocks.begin(), blocks.begin() + static_cast<std::ptrdiff_t>(i), blocks[i]) !=
          blocks.begin() + static_cast<std::ptrdiff_t>(i)) {
        blocks.resize(i);
        break;
      }
    }
    head = 0;
    free_count = 0;
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

  std::vector<uint8_t>& images = images_;
  images.resize(static_cast<size_t>(n) * kMemoBlockSize);
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
    result = WriteBlocks(blocks.data(), static_cast<size_t>(taken), images.data());
    if (result != code::kOk) return result;
    if (head != 0) WriteWord(file_, int64_t{head} * kMemoBlockSize, 0);  // new head: no previous
  }
  *first = blocks.front();
  return code::kOk;
}

int32_t MemoFile::ReleaseChain(BlockNumber first, const std::vector<BlockNumber>* known_blocks) {
  if (first == 0) return code::kOk;
  ByteLockGuard header_lock(locks_, 0, HeaderLockWait());
  if (header_lock.result() != code::kOk) return header_lock.result();
  // The chain's first block is locked while it is released (a batch's caller holds the
  // record's lock, which covers it).
  std::optional<ByteLockGuard> chain_lock;
  if (!in_batch_) {
    chain_lock.emplace(locks_, int64_t{first} * kMemoBlockSize, HeaderLockWait());
    if (chain_lock->result() != code::kOk) return chain_lock->result();
  }
  MemoHeader header;
  int32_t result = ReadHeader(&header);
  if (result != code::kOk) return result;
  std::vector<BlockNumber> walked;
  const bool known =
      known_blocks != nullptr && !known_blocks->empty() && known_blocks->front() == first;
  if (!known &&
      WalkChain(first, header.block_count, header.block_count - 1, &walked, nullptr) != code::kOk) {
    return code::kOk;  // not well formed: leave it leaked rather than free a stranger's block
  }
  const std::vector<BlockNumber>& blocks = known ? *known_blocks : walked;
  BlockNumber old_head = header.free_head;
  int32_t old_count = header.free_count;
  if (old_head <= 0 || old_head >= header.block_count || old_count <= 0) {
    old_head = 0;
    old_count = 0;
  }

  // Released blocks that end the file are cut off rather than listed: the longest run of the
  // file's last blocks that all belong to this chain.
  std::vector<BlockNumber> sorted_copy;
  if (!StrictlyRising(blocks)) {
    sorted_copy = blocks;
    std::sort(sorted_copy.begin(), sorted_copy.end());
  }
  const std::vector<BlockNumber>& sorted = sorted_copy.empty() ? blocks : sorted_copy;
  int32_t cut = 0;
  while (cut < static_cast<int32_t>(sorted.size()) &&
         sorted[sorted.size() - 1 - static_cast<size_t>(cut)] == header.block_count - 1 - cut) {
    ++cut;
  }
  const BlockNumber new_block_count = header.block_count - cut;
  std::vector<BlockNumber> listed;
  for (BlockNumber block : blocks) {
    if (block < new_block_count) listed.push_back(block);
  }

  // 1. The other blocks, unreferenced since the record was switched, become a list that
  //    ends in the old free list. The first one gets no previous block.
  const auto k = static_cast<int32_t>(listed.size());
  std::vector<uint8_t>& images = free_images_;
  if (images.size() < static_cast<size_t>(k) * kMemoBlockSize) {
    images.resize(static_cast<size_t>(k) * kMemoBlockSize);  // new bytes are zero
  }
  for (int32_t i = 0; i < k; ++i) {
    uint8_t* image = images.data() + static_cast<size_t>(i) * kMemoBlockSize;
    StoreI32(image, i == 0 ? 0 : listed[i - 1]);
    StoreI32(image + 4, i + 1 < k ? listed[i + 1] : old_head);
    StoreI32(image + 8, 0);
  }
  result = WriteBlocks(listed.data(), listed.size(), images.data());
  if (result != code::kOk) return result;
  // 2. One header write lists them and drops the cut blocks from the count.
  header.block_count = new_block_count;
  header.free_head = k > 0 ? listed.front() : old_head;
  header.free_count = old_count + k;
  result = WriteHeaderWords(header);
  if (result != code::kOk) return result;
  // 3. Then the file is shortened, and the old head gets its back link; with an empty list
  //    there is none to write (block 0 is the header).
  if (cut > 0 && !file_.Truncate(int64_t{new_block_count} * kMemoBlockSize)) {
    return code::kMemoAccessFailed;
  }
  if (k > 0 && old_head != 0) WriteWord(file_, int64_t{old_head} * kMemoBlockSize, listed.back());
  return code::kOk;
}

}  // namespace database
