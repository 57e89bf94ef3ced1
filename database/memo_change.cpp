// How a save changes a memo value: the blocks it keeps, the blocks it writes, the switch and
// what becomes of the replaced blocks. The order and its crash safety are described in
// memo_file.h.

#include <algorithm>
#include <cstring>
#include <optional>

#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "database/memo_file.h"

namespace database {
namespace {

int64_t FewestBlocks(int64_t bytes) { return (bytes + kMemoDataSize - 1) / kMemoDataSize; }

// How many blocks a chain may have beyond the fewest its bytes need before a save writes it
// whole again: each replacement in the middle of a chain can leave a block that is not full.
int64_t SlackBlocks(int64_t bytes) { return 8 + FewestBlocks(bytes) / 16; }

void FillBlock(uint8_t* image, BlockNumber previous, BlockNumber next, std::string_view piece) {
  StoreI32(image, previous);
  StoreI32(image + kMemoNextOffset, next);
  StoreI32(image + kMemoUsedOffset, static_cast<int32_t>(piece.size()));
  if (!piece.empty()) std::memcpy(image + kMemoBlockHeaderSize, piece.data(), piece.size());
  std::memset(image + kMemoBlockHeaderSize + piece.size(), 0, kMemoDataSize - piece.size());
}

}  // namespace

void MemoFile::PlanChange(BlockNumber first, std::string_view value, ChainChange* change) {
  change->old_first = first;
  change->new_blocks.clear();
  change->new_first = 0;
  // Through the view the walk copies nothing and asks the system nothing. Blocks are read only
  // below the header's block count, which never exceeds the blocks the file holds: blocks are
  // appended before the count grows, and the count shrinks before the file does. A page
  // another process cut off meanwhile (only possible in a damaged file) sends the walk to the
  // reads instead.
  if (view_.IsMapped() && first != 0) {
    struct Walk {
      MemoFile* memo;
      std::string_view value;
      ChainChange* change;
      bool view_short = false;  // the file holds more blocks than the view reaches
    } walk{this, value, change};
    const auto run = [](void* context) {
      auto* w = static_cast<Walk*>(context);
      const uint8_t* view = w->memo->view_.data();
      const int32_t blocks_in_file = LoadI32(view + kMemoBlockCountOffset);
      if (blocks_in_file > w->memo->ViewBlocks()) return void(w->view_short = true);
      MemoBlockReader reader(view, kMaxMemoBlockCount, blocks_in_file);
      w->memo->WalkForChange(reader, w->value, w->change);
    };
    const bool walked = platform::ReadMappedPages(run, &walk);
    if (walked && !walk.view_short) return;
    if (walk.view_short) MapView();  // this walk reads the file, the next goes through the view
  }
  MemoBlockReader reader(cache_, file_, kMaxMemoBlockCount, seen_block_count_);
  WalkForChange(reader, value, change);
}

void MemoFile::WalkForChange(MemoBlockReader& reader, std::string_view value, ChainChange* change) {
  change->unchanged = false;
  change->old_known = false;
  change->old_blocks.clear();
  change->kept_front = change->kept_back = 0;
  change->back_bytes = 0;
  changed_used_.clear();
  // No header read bounds this walk (it would cost every save a read): a chain that holds
  // about this many bytes has at most its fewest blocks plus the slack, so a walk of twice
  // that fails, as a cycle does, and the old chain is then released by a walk of its own under
  // the header lock. The record's committed chain lies below the block count (blocks are
  // counted before a record names them), so blocks past the end of the file, which read as
  // nothing, are the only ones a sound chain can never reach.
  const auto n = static_cast<int64_t>(value.size());
  const int64_t expected = FewestBlocks(n) + 1;
  const int64_t max_steps = std::min<int64_t>(2 * (expected + SlackBlocks(n)), kMaxMemoBlockCount);
  change->old_blocks.reserve(static_cast<size_t>(std::min<int64_t>(expected, 1024)));
  bool in_front = true;
  bool equal = true;
  int64_t offset = 0;  // of the block's bytes in the old value
  for (BlockNumber block = change->old_first; block != 0;) {  // (an empty chain: no block)
    const auto steps = static_cast<int64_t>(change->old_blocks.size());
    const uint8_t* image = steps < max_steps ? reader.Get(block, expected - steps) : nullptr;
    const int32_t used = image != nullptr ? LoadI32(image + kMemoUsedOffset) : -1;
    if (used < 0 || used > kMemoDataSize) {
      change->old_blocks.clear();  // unknown: rewritten whole
      change->kept_front = 0;
      return;
    }
    const char* bytes = reinterpret_cast<const char*>(image) + kMemoBlockHeaderSize;
    equal = equal && offset + used <= n &&
            (used == 0 || std::memcmp(bytes, value.data() + offset, used) == 0);
    // Only full blocks are kept at the front, so that text added at the end goes into the
    // last block instead of leaving a short block behind.
    in_front = in_front && equal && used == kMemoDataSize;
    if (in_front) {
      ++change->kept_front;
    } else {
      changed_used_.push_back(used);
    }
    offset += used;
    change->old_blocks.push_back(block);
    block = LoadI32(image + kMemoNextOffset);
  }
  change->old_known = true;
  if (equal && offset == n) {
    change->unchanged = true;
    return;
  }
  FindKeptBack(value, reader, change);
  const int64_t middle = n - change->FrontBytes() - change->back_bytes;
  if (change->kept_front + FewestBlocks(middle) + change->kept_back >
      FewestBlocks(n) + SlackBlocks(n)) {
    change->kept_front = change->kept_back = 0;  // too scattered: written whole, compactly
    change->back_bytes = 0;
  }
}

void MemoFile::FindKeptBack(std::string_view value, MemoBlockReader& reader,
                            ChainChange* change) const {
  const auto n = static_cast<int64_t>(value.size());
  const std::vector<int32_t>& used = changed_used_;
  for (size_t i = used.size(); i-- > 0;) {
    const int32_t u = used[i];
    const int64_t new_start = n - change->back_bytes - u;
    if (new_start < change->FrontBytes()) break;  // the kept ends may not overlap
    const auto left = static_cast<int64_t>(i) + 1;
    const uint8_t* image =
        reader.Get(change->old_blocks[static_cast<size_t>(change->kept_front) + i], left, true);
    if (image == nullptr) break;
    if (u > 0 && std::memcmp(image + kMemoBlockHeaderSize, value.data() + new_start,
                             static_cast<size_t>(u)) != 0) {
      break;
    }
    change->back_bytes += u;
    ++change->kept_back;
  }
}

void MemoFile::FillImages(std::string_view middle, bool even_pieces,
                          const std::vector<BlockNumber>& blocks, BlockNumber previous,
                          BlockNumber next) {
  const size_t count = blocks.size();
  images_.resize(count * kMemoBlockSize);
  if (count == 0) return;  // the kept blocks meet: nothing between them
  // Bytes in the middle of a chain are spread evenly, so that the next insertion nearby fits
  // into the block it lands in; bytes that end the chain fill their blocks.
  const size_t base = even_pieces ? middle.size() / count : kMemoDataSize;
  const size_t extra = even_pieces ? middle.size() % count : 0;
  size_t start = 0;
  for (size_t i = 0; i < count; ++i) {
    const size_t length = std::min(middle.size() - start, base + (i < extra ? 1 : 0));
    FillBlock(images_.data() + i * kMemoBlockSize, i == 0 ? previous : blocks[i - 1],
              i + 1 < count ? blocks[i + 1] : next, middle.substr(start, length));
    start += length;
  }
}

int32_t MemoFile::WriteChange(std::string_view value, ChainChange* change) {
  const std::string_view middle =
      value.substr(static_cast<size_t>(change->FrontBytes()),
                   value.size() - static_cast<size_t>(change->FrontBytes() + change->back_bytes));
  const int64_t wanted = FewestBlocks(static_cast<int64_t>(middle.size()));
  if (wanted > kMaxMemoBlockCount) return code::kMemoAccessFailed;
  const auto count = static_cast<int32_t>(wanted);
  // Spares still waiting for their switch's flush are settled by a flush of their own only
  // when the save needs them and many wait. A few are left for the next save's flush before
  // its switch (until then saves take blocks off the free list or past the end): the blocks a
  // save replaces are what the very next save wants, and a flush per save is enough.
  if (static_cast<size_t>(count) > spares_.size() &&
      switched_in_memo_.size() + switched_in_main_.size() >= kSparesWorthAFlush) {
    const int32_t settled = SettleSpares();
    if (settled != code::kOk) return settled;
  }
  std::vector<BlockNumber>& blocks = change->new_blocks;
  const auto from_spares = static_cast<int32_t>(std::min<size_t>(count, spares_.size()));
  blocks.assign(spares_.end() - from_spares, spares_.end());

  // Blocks the spares cannot give come off the free list, then past the end, under the
  // header lock until the header has counted them.
  std::optional<ByteLockGuard> header_lock;
  MemoHeader header;
  MemoHeader updated;
  int32_t appended = 0;
  if (count > from_spares) {
    header_lock.emplace(locks_, 0, HeaderLockWait());
    if (header_lock->result() != code::kOk) return header_lock->result();
    const int32_t read = ReadHeader(&header);
    if (read != code::kOk) return read;
    updated = header;
    // Blocks off the free list cost a flush before they are written (step 2); blocks past the
    // end cost none. While at least as many replaced blocks wait for their switch's flush as
    // this save lacks, it appends instead: they become spares at the next flush and serve the
    // saves after it, so the file grows by fewer than kSparesWorthAFlush blocks.
    const int32_t lacking = count - from_spares;
    if (switched_in_memo_.size() + switched_in_main_.size() < static_cast<size_t>(lacking)) {
      TakeFreeBlocks(lacking, &updated, &blocks);
    }
    appended = count - static_cast<int32_t>(blocks.size());
    if (appended > kMaxMemoBlockCount - header.block_count) return code::kMemoAccessFailed;
    for (int32_t i = 0; i < appended; ++i) blocks.push_back(header.block_count + i);
    updated.block_count = header.block_count + appended;
  }
  FillImages(middle, change->kept_back > 0, blocks, change->SwitchBlock(), change->FirstKeptBack());

  // A write that fails before the header has counted the blocks leaves everything as it was:
  // the spares stay spares (they are taken only after step 2), the free list and the block
  // count unchanged, appended bytes past the count unused.
  // 1. Appended blocks lie past the block count: nobody sees them until the header grows.
  if (appended > 0) {
    const int64_t bytes = int64_t{appended} * kMemoBlockSize;
    if (file_.WriteAt(int64_t{header.block_count} * kMemoBlockSize,
                      images_.data() + static_cast<size_t>(count - appended) * kMemoBlockSize,
                      bytes) != bytes) {
      return WriteFailed();
    }
  }
  // 2. The header takes the blocks off the free list and counts the appended ones. Blocks
  //    taken off the list are written only once the header without them is on the disk: a
  //    list on the disk may not lead into blocks that this change links to the kept ones.
  if (header_lock.has_value()) {
    const int32_t written = WriteHeaderWords(updated);
    if (written != code::kOk) return written;
    const bool took_free = count - from_spares - appended > 0;
    if (took_free && !file_.Flush()) return WriteFailed();
  }
  // 3. Spares, taken and appended blocks now belong to nothing but this change; if their
  //    images cannot be written they all become spares, so that a failed save leaks none.
  spares_.resize(spares_.size() - static_cast<size_t>(from_spares));
  const int32_t result =
      WriteBlocks(blocks.data(), static_cast<size_t>(count - appended), images_.data());
  if (result != code::kOk) {
    spares_.insert(spares_.end(), blocks.begin(), blocks.end());
    blocks.clear();
    return result;
  }
  if (header_lock.has_value() && updated.free_head != 0 && updated.free_head != header.free_head) {
    WriteWord(int64_t{updated.free_head} * kMemoBlockSize, 0);  // the new head: no previous
  }
  change->new_first = change->kept_front > 0 ? change->old_first
                      : !blocks.empty()      ? blocks.front()
                                             : change->FirstKeptBack();
  return code::kOk;
}

void MemoFile::AbandonChange(ChainChange* change) {
  spares_.insert(spares_.end(), change->new_blocks.begin(), change->new_blocks.end());
  change->new_blocks.clear();
}

int32_t MemoFile::SwitchKeptFront(const ChainChange& change) {
  const BlockNumber next =
      change.new_blocks.empty() ? change.FirstKeptBack() : change.new_blocks.front();
  return WriteWord(int64_t{change.SwitchBlock()} * kMemoBlockSize + kMemoNextOffset, next);
}

int32_t MemoFile::FinishChange(const ChainChange& change, bool switched_in_main) {
  int32_t result = code::kOk;
  if (change.kept_back > 0) {
    const BlockNumber previous =
        change.new_blocks.empty() ? change.SwitchBlock() : change.new_blocks.back();
    result = WriteWord(int64_t{change.FirstKeptBack()} * kMemoBlockSize, previous);
  }
  std::vector<BlockNumber>& replaced = switched_in_main ? switched_in_main_ : switched_in_memo_;
  if (!change.old_known) {
    // The walk releases what it finds only once the switch away from it is on the disk; a
    // flush that fails leaves the chain leaked, and is told.
    const int32_t flushed =
        switched_in_main ? FlushMainFile() : (file_.Flush() ? code::kOk : WriteFailed());
    const int32_t released = flushed == code::kOk ? ReleaseChain(change.old_first) : flushed;
    return result != code::kOk ? result : released;
  }
  replaced.insert(replaced.end(), change.old_blocks.begin() + change.kept_front,
                  change.old_blocks.end() - change.kept_back);
  if (spares_.size() > kMaxSpareBlocks) {
    // The oldest spares go on the free list.
    const std::vector<BlockNumber> excess(
        spares_.begin(), spares_.end() - static_cast<std::ptrdiff_t>(kMaxSpareBlocks));
    ByteLockGuard header_lock(locks_, 0, HeaderLockWait());
    int32_t released = header_lock.result();
    if (released == code::kOk) released = ReleaseBlocks(excess);
    if (released == code::kOk)
      spares_.erase(spares_.begin(), spares_.begin() + static_cast<std::ptrdiff_t>(excess.size()));
    if (result == code::kOk) result = released;
  }
  return result;
}

}  // namespace database
