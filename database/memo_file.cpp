#include "database/memo_file.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "platform/core/lock_retry.h"

namespace database {
namespace {

bool StrictlyRising(const std::vector<BlockNumber>& blocks) {
  return std::adjacent_find(blocks.begin(), blocks.end(), std::greater_equal<>()) == blocks.end();
}

bool HasRepeat(const std::vector<BlockNumber>& blocks) {
  std::vector<BlockNumber> sorted(blocks);
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end();
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
  writing_stopped_ = false;
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
  header_kept_ = exclusive;  // Check has just read it
  MapView();                 // without it, reads copy
  return code::kOk;
}

void MemoFile::MapView() { view_.Map(file_, int64_t{kMaxMemoBlockCount} * kMemoBlockSize); }

void MemoFile::Close() {
  view_.Unmap();  // first: some systems refuse to shorten a mapped file
  // Whatever became of the spares, what this open wrote goes to the disk.
  if (file_.IsOpen() && !writing_stopped_) {
    ReleaseSpares();
    file_.Flush();
  }
  spares_.clear();
  switched_in_memo_.clear();
  switched_in_main_.clear();
  header_kept_ = false;
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
  uint8_t bytes[kMemoHeaderSize];
  if (file_.ReadAt(0, bytes, kMemoHeaderSize) != kMemoHeaderSize) return code::kMemoAccessFailed;
  header->magic = LoadI32(bytes);
  header->version = LoadI32(bytes + kMemoVersionOffset);
  header->block_count = LoadI32(bytes + kMemoBlockCountOffset);
  header->free_count = LoadI32(bytes + kMemoFreeCountOffset);
  header->free_head = LoadI32(bytes + kMemoFreeHeadOffset);
  seen_block_count_ = header->block_count;
  seen_header_ = *header;
  return code::kOk;
}

bool MemoFile::HeaderAsLastSeen() {
  uint8_t bytes[kMemoHeaderSize];
  if (file_.ReadAt(0, bytes, kMemoHeaderSize) != kMemoHeaderSize) return false;
  const int32_t block_count = LoadI32(bytes + kMemoBlockCountOffset);
  return LoadI32(bytes) == seen_header_.magic &&
         LoadI32(bytes + kMemoVersionOffset) == seen_header_.version &&
         block_count == seen_header_.block_count &&
         LoadI32(bytes + kMemoFreeCountOffset) == seen_header_.free_count &&
         LoadI32(bytes + kMemoFreeHeadOffset) == seen_header_.free_head &&
         file_.Size() >= int64_t{block_count} * kMemoBlockSize;
}

void MemoFile::StopWriting() {
  writing_stopped_ = true;
  spares_.clear();
  switched_in_memo_.clear();
  switched_in_main_.clear();
}

int32_t MemoFile::WriteHeaderWords(const MemoHeader& header) {
  uint8_t words[kMemoCountsSize];
  StoreI32(words, header.block_count);
  StoreI32(words + kMemoFreeCountOffset - kMemoCountsOffset, header.free_count);
  StoreI32(words + kMemoFreeHeadOffset - kMemoCountsOffset, header.free_head);
  // One write: the header is the commit point of every allocation and release.
  if (file_.WriteAt(kMemoCountsOffset, words, kMemoCountsSize) != kMemoCountsSize)
    return WriteFailed();
  seen_block_count_ = header.block_count;
  seen_header_.block_count = header.block_count;
  seen_header_.free_count = header.free_count;
  seen_header_.free_head = header.free_head;
  return code::kOk;
}

namespace {

// One walk of a chain through the mapped view, inside platform::ReadMappedPages: the first
// pass only measures (no allocation may be in flight while a mapped page is touched), the
// second copies into room made between the passes.
struct MappedWalk {
  const uint8_t* view;
  int32_t view_blocks;
  BlockNumber first;
  int32_t block_count;
  int64_t max_blocks;
  bool view_short = false;  // the file holds more blocks than the view reaches
  bool copy = false;
  int32_t result = code::kOk;
  int64_t steps = 0;
  int64_t bytes = 0;
  int64_t measured_steps = 0;  // of the first pass: the room the copy may fill
  int64_t measured_bytes = 0;
  std::vector<BlockNumber>* blocks = nullptr;
  std::string* value = nullptr;
};

void WalkMapped(void* context) {
  auto* walk = static_cast<MappedWalk*>(context);
  const int32_t blocks_in_file = LoadI32(walk->view + kMemoBlockCountOffset);
  if (blocks_in_file > walk->view_blocks) {
    walk->view_short = true;
    return void(walk->result = code::kMemoAccessFailed);  // read from the file instead
  }
  MemoBlockReader reader(walk->view, walk->block_count, blocks_in_file);
  walk->result = code::kOk;
  walk->steps = 0;
  walk->bytes = 0;
  for (BlockNumber block = walk->first; block != 0;) {
    if (++walk->steps > walk->max_blocks) return void(walk->result = code::kMemoChainDamaged);
    const uint8_t* image = reader.Get(block, 1);
    if (image == nullptr) return void(walk->result = code::kMemoChainDamaged);
    const int32_t used = LoadI32(image + kMemoUsedOffset);
    if (used < 0 || used > kMemoDataSize) return void(walk->result = code::kMemoChainDamaged);
    walk->bytes += used;
    if (walk->copy) {
      // A chain that another process changed since the first pass: the file reader decides.
      if (walk->steps > walk->measured_steps || walk->bytes > walk->measured_bytes) {
        return void(walk->result = code::kMemoAccessFailed);
      }
      if (walk->blocks != nullptr) walk->blocks->push_back(block);
      if (walk->value != nullptr)
        walk->value->append(reinterpret_cast<const char*>(image) + kMemoBlockHeaderSize, used);
    }
    block = LoadI32(image + kMemoNextOffset);
  }
}

}  // namespace

int32_t MemoFile::WalkChain(BlockNumber first, int32_t block_count, int64_t max_blocks,
                            std::vector<BlockNumber>* blocks, std::string* value) {
  // Through the view a short value costs no system call and copies only its own bytes.
  if (view_.IsMapped()) {
    MappedWalk walk{view_.data(), ViewBlocks(), first, block_count, max_blocks};
    const bool walked = platform::ReadMappedPages(&WalkMapped, &walk);
    if (walked && walk.view_short) {
      MapView();  // the file grew past the view: this read goes to the file, the next through it
    } else if (walked) {
      if (walk.result != code::kOk) return walk.result;
      if (blocks != nullptr) blocks->reserve(blocks->size() + static_cast<size_t>(walk.steps));
      if (value != nullptr) value->reserve(value->size() + static_cast<size_t>(walk.bytes));
      const size_t blocks_before = blocks != nullptr ? blocks->size() : 0;
      const size_t value_before = value != nullptr ? value->size() : 0;
      walk.copy = true;
      walk.measured_steps = walk.steps;
      walk.measured_bytes = walk.bytes;
      walk.blocks = blocks;
      walk.value = value;
      if (platform::ReadMappedPages(&WalkMapped, &walk) && walk.result == code::kOk)
        return code::kOk;
      if (blocks != nullptr) blocks->resize(blocks_before);
      if (value != nullptr) value->resize(value_before);
    }
  }
  MemoBlockReader reader(cache_, file_, block_count, seen_block_count_);
  BlockNumber block = first;
  int64_t steps = 0;
  while (block != 0) {
    if (++steps > max_blocks) return code::kMemoChainDamaged;  // a cycle, or too long
    const uint8_t* image = reader.Get(block, std::max<int64_t>(64, steps * 3));
    if (image == nullptr) return code::kMemoChainDamaged;  // outside the file, or cut off
    const int32_t used = LoadI32(image + kMemoUsedOffset);
    if (used < 0 || used > kMemoDataSize) return code::kMemoChainDamaged;
    if (blocks != nullptr) blocks->push_back(block);
    if (value != nullptr)
      value->append(reinterpret_cast<const char*>(image) + kMemoBlockHeaderSize, used);
    block = LoadI32(image + kMemoNextOffset);
  }
  return code::kOk;
}

int32_t MemoFile::ReadChain(BlockNumber first, std::string* value,
                            std::vector<BlockNumber>* blocks) {
  value->clear();
  if (blocks != nullptr) blocks->clear();
  if (first == 0) return code::kOk;
  // The chain belongs to one record, whose lock the caller holds: nobody releases it now.
  ForgetCachedBlocks();
  MemoHeader header = seen_header_;
  if (!header_kept_) {
    const int32_t result = ReadHeader(&header);
    if (result != code::kOk) return result;
  }
  return WalkChain(first, header.block_count, header.block_count - 1, blocks, value);
}

int32_t MemoFile::ReadReadablePart(BlockNumber first, std::string* value) {
  value->clear();
  if (first == 0) return code::kOk;
  MemoHeader header;
  if (ReadHeader(&header) != code::kOk) return code::kMemoAccessFailed;
  // Block by block from the file, never through the view or the cache: this is the reading of
  // a chain known to be damaged, where only being right counts.
  std::vector<bool> met(static_cast<size_t>(std::max(header.block_count, 1)), false);
  uint8_t image[kMemoBlockSize];
  for (BlockNumber block = first; block != 0;) {
    if (block < 1 || block >= header.block_count || met[static_cast<size_t>(block)]) {
      return code::kMemoChainDamaged;
    }
    met[static_cast<size_t>(block)] = true;
    if (file_.ReadAt(int64_t{block} * kMemoBlockSize, image, kMemoBlockSize) != kMemoBlockSize) {
      return code::kMemoChainDamaged;  // the file ends before its block count
    }
    const int32_t used = LoadI32(image + kMemoUsedOffset);
    if (used < 0 || used > kMemoDataSize) return code::kMemoChainDamaged;
    value->append(reinterpret_cast<const char*>(image) + kMemoBlockHeaderSize,
                  static_cast<size_t>(used));
    block = LoadI32(image + kMemoNextOffset);
  }
  return code::kOk;
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
      return WriteFailed();
    }
    i += run;
  }
  return code::kOk;
}

int32_t MemoFile::WriteWord(int64_t offset, int32_t value) {
  ForgetCachedBlocks();
  uint8_t word[4];
  StoreI32(word, value);
  return file_.WriteAt(offset, word, 4) == 4 ? code::kOk : WriteFailed();
}

void MemoFile::TakeFreeBlocks(int32_t wanted, MemoHeader* header,
                              std::vector<BlockNumber>* blocks) {
  const size_t before = blocks->size();
  ForgetCachedBlocks();  // the free list may have changed since anything was read
  MemoBlockReader reader(cache_, file_, header->block_count, header->block_count);
  BlockNumber head = header->free_head;
  int32_t free_count = header->free_count;
  int32_t taken = 0;
  while (taken < wanted && free_count > 0) {
    const uint8_t* image = reader.Get(head, wanted - taken);
    if (image == nullptr) {
      free_count = 0;
      break;
    }
    blocks->push_back(head);
    ++taken;
    --free_count;
    head = LoadI32(image + kMemoNextOffset);
  }
  // A block met twice means a cycle: the list is used up to the repetition and dropped.
  // Blocks in rising order (the usual list) cannot repeat, which spares the sort.
  const std::vector<BlockNumber> took(blocks->begin() + static_cast<std::ptrdiff_t>(before),
                                      blocks->end());
  if (!StrictlyRising(took) && HasRepeat(took)) {
    for (size_t i = 1; i < took.size(); ++i) {
      if (std::find(took.begin(), took.begin() + static_cast<std::ptrdiff_t>(i), took[i]) !=
          took.begin() + static_cast<std::ptrdiff_t>(i)) {
        blocks->resize(before + i);
        break;
      }
    }
    free_count = 0;
  }
  // The rest of the list: nothing when its count is used up, dropped when its head is not a
  // block of the file.
  if (free_count == 0 || head <= 0 || head >= header->block_count) {
    head = 0;
    free_count = 0;
  }
  header->free_head = head;
  header->free_count = free_count;
}

int32_t MemoFile::ReleaseChain(BlockNumber first) {
  if (first == 0) return code::kOk;
  ByteLockGuard header_lock(locks_, 0, HeaderLockWait());
  if (header_lock.result() != code::kOk) return header_lock.result();
  // The chain's first block is locked while it is released.
  ByteLockGuard chain_lock(locks_, int64_t{first} * kMemoBlockSize, HeaderLockWait());
  if (chain_lock.result() != code::kOk) return chain_lock.result();
  MemoHeader header;
  const int32_t result = ReadHeader(&header);
  if (result != code::kOk) return result;
  std::vector<BlockNumber> walked;
  ForgetCachedBlocks();
  if (WalkChain(first, header.block_count, header.block_count - 1, &walked, nullptr) != code::kOk) {
    return code::kOk;  // not well formed: leave it leaked rather than free a stranger's block
  }
  return ReleaseBlocks(walked);
}

int32_t MemoFile::Flush() {
  if (!file_.Flush()) return WriteFailed();
  spares_.insert(spares_.end(), switched_in_memo_.begin(), switched_in_memo_.end());
  switched_in_memo_.clear();
  return code::kOk;
}

int32_t MemoFile::FlushBeforeSwitch(bool switch_in_this_file) {
  // A switch in the main file waits exactly while blocks it replaced wait for its flush.
  if (switch_in_this_file && !switched_in_main_.empty()) return SettleSpares();
  return Flush();
}

int32_t MemoFile::FlushMainFile() {
  if (main_file_ == nullptr) return code::kMemoAccessFailed;
  if (main_file_->Flush()) return code::kOk;
  return WriteFailureCode(main_file_->last_error(), code::kWriteRecordFailed);
}

int32_t MemoFile::SettleSpares() {
  if (switched_in_main_.empty()) return switched_in_memo_.empty() ? code::kOk : Flush();
  const int32_t flushed = FlushMainFile();
  return flushed != code::kOk ? flushed : MainFileFlushed();
}

int32_t MemoFile::MainFileFlushed() {
  // A switch written into this file (a kept block's next word, when a save only appended to
  // a chain of full blocks or kept the blocks around an insertion) replaces no block, so no
  // spare waits for it: this file's own unflushed writes say that it must be flushed too.
  if (switched_in_main_.empty() && switched_in_memo_.empty() && !file_.HasUnflushedChanges()) {
    return code::kOk;
  }
  // This file too: the back links that name the blocks are set to others after the switch.
  const int32_t flushed = Flush();
  if (flushed != code::kOk) return flushed;
  spares_.insert(spares_.end(), switched_in_main_.begin(), switched_in_main_.end());
  switched_in_main_.clear();
  return code::kOk;
}

int32_t MemoFile::ReleaseSpares() {
  const int32_t settled = SettleSpares();  // those that cannot be settled stay this open's
  if (spares_.empty()) return settled;
  ByteLockGuard header_lock(locks_, 0, HeaderLockWait());
  if (header_lock.result() != code::kOk) return header_lock.result();
  const int32_t result = ReleaseBlocks(spares_);
  if (result == code::kOk) spares_.clear();
  return result != code::kOk ? result : settled;
}

int32_t MemoFile::ReleaseBlocks(const std::vector<BlockNumber>& blocks) {
  if (blocks.empty()) return code::kOk;
  MemoHeader header;
  int32_t result = ReadHeader(&header);
  if (result != code::kOk) return result;
  BlockNumber old_head = header.free_head;
  int32_t old_count = header.free_count;
  if (old_head <= 0 || old_head >= header.block_count || old_count <= 0) {
    old_head = 0;
    old_count = 0;
  }

  // Released blocks that end the file are cut off rather than listed: the longest run of the
  // file's last blocks that all are being released.
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
    StoreI32(image + kMemoNextOffset, i + 1 < k ? listed[i + 1] : old_head);
    StoreI32(image + kMemoUsedOffset, 0);
  }
  result = WriteBlocks(listed.data(), listed.size(), images.data());
  if (result != code::kOk) return result;
  // Their links are on the disk before a header that lists them.
  if (k > 0 && !file_.Flush()) return WriteFailed();
  // 2. One header write lists them and drops the cut blocks from the count.
  header.block_count = new_block_count;
  header.free_head = k > 0 ? listed.front() : old_head;
  header.free_count = old_count + k;
  result = WriteHeaderWords(header);
  if (result != code::kOk) return result;
  // 3. Then the file is shortened, and the old head gets its back link; with an empty list
  //    there is none to write (block 0 is the header).
  //    Some systems refuse to shorten a file while it is mapped: then it is tried once more
  //    without this process's view. A tail still kept (another process maps the file) lies
  //    past the block count, unused, until blocks are appended over it.
  if (cut > 0) {
    const int64_t size = int64_t{new_block_count} * kMemoBlockSize;
    if (!file_.Truncate(size) && view_.IsMapped()) {
      view_.Unmap();
      file_.Truncate(size);
      MapView();
    }
  }
  if (k > 0 && old_head != 0) WriteWord(int64_t{old_head} * kMemoBlockSize, listed.back());
  return code::kOk;
}

}  // namespace database
