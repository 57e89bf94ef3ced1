#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/byte_locks.h"
#include "database/error_codes.h"
#include "database/memo_block_cache.h"
#include "platform/core/file.h"
#include "platform/core/file_view.h"

// The memo file holds the values of memo-text and byte-set fields in chains of 512-byte
// blocks; block b starts at b × 512. Block 0 begins with the header:
//
//   MemoFileHeader (first 32 bytes of block 0; the rest of block 0 is not interpreted)
//   0    4   magic "WEDT"
//   4    4   version, equal to the main file's
//   8    8   reserved, preserved
//   16   4   block count (> 0, block 0 included)
//   20   4   free count, 0 ≤ free count < block count
//   24   4   free head, the first block of the free list (0: none)
//   28   4   reserved, preserved
//
//   MemoBlock (blocks 1 and up)
//   0    4   previous block of the chain (0 in its first block)
//   4    4   next block of the chain (0 in its last block)
//   8    4   used: data bytes in this block, 0 … 500 (0 in a free block)
//   12   500 data, then zeros to the end of the block
//
// Free blocks form a second chain through the same words, starting at the free head.
//
// Crash safety. A value is never written over the only copy of another. A save keeps the
// blocks of the old chain whose bytes stay the same (a run at the front, a run at the end)
// and puts the bytes between into blocks no record references: spare blocks of this open (see
// below), blocks taken off the free list, or blocks appended past the end, with the header
// updated before any taken block is touched. One 4-byte write then switches to the new chain:
// the record's block number, or the next word of the last kept front block. After that the
// first kept end block gets its back link, and the replaced blocks become spares.
// A process killed at any point therefore leaves every record pointing at a whole chain; at
// worst some blocks belong to nothing ("leaked"), and a kept end block may still name a leaked
// block that names it as its previous one. The checker reclaims and mends both.
//
// Power cuts. The system puts written bytes on the disk in any order until the file is
// flushed, so a power cut keeps any part of the writes made since a file's last flush. Three
// flushes keep the rule above true on the disk: the memo file is flushed after a save's new
// blocks are written and before the switch (a switch on the disk never names blocks that are
// not); a replaced block is written again only after the switch away from it is on the disk
// (a spare is reused, or put on the free list, only after a flush of the file that holds that
// switch); and blocks taken off the free list are written only once the header without them
// is on the disk, blocks put on it only before the header that lists them. A switch into the
// memo file (a kept block's next word) is written only once no record's switch waits in the
// main file: a record's older chain shares the end blocks its newer one kept, and the disk may
// still hold the record naming the older chain. So a save that changes a value costs one flush
// of the memo file, and the main file's too when it holds a switch and this save switches in
// the memo file; the main file is otherwise flushed when its switches' spares are wanted, by
// Database::Flush and at the close, and Database::Flush flushes the memo file whenever it
// was written since its last flush.
//
// Spare blocks. Blocks a save replaced are not put on the free list at once: a later save
// writes into them, which needs no header lock, header write or free-list read. On disk they
// look leaked: in no chain and not on the free list, so no other open (which never touches
// leaked blocks) can take them. They go on the free list when the file is closed, when more
// than kMaxSpareBlocks wait, or on ReleaseSpares. A killed process leaks them. A save that
// lacks spares while the blocks that earlier saves replaced still wait for their switch's flush
// appends past the end rather than take blocks off the free list, which would cost a flush of
// its own: the blocks that wait serve the saves after the next flush.
//
// The free list's previous words are kept up to date but never trusted: nothing walks the
// free list backwards, and the trailing cut only removes blocks being released, never a block
// reached through someone's stale links.

namespace database {

// Offsets in the header, the first bytes of block 0 (see the table above).
inline constexpr int32_t kMemoHeaderSize = 32;
inline constexpr int32_t kMemoVersionOffset = 4;
inline constexpr int32_t kMemoBlockCountOffset = 16;
inline constexpr int32_t kMemoFreeCountOffset = 20;
inline constexpr int32_t kMemoFreeHeadOffset = 24;
// Block count, free count and free head are written together, as one 12-byte run.
inline constexpr int32_t kMemoCountsOffset = kMemoBlockCountOffset;
inline constexpr int32_t kMemoCountsSize = 12;
// Offsets in a block of a chain or of the free list.
inline constexpr int32_t kMemoPreviousOffset = 0;
inline constexpr int32_t kMemoNextOffset = 4;
inline constexpr int32_t kMemoUsedOffset = 8;
inline constexpr int32_t kMemoBlockHeaderSize = 12;  // the data follow
inline constexpr int32_t kMemoDataSize = 500;
inline constexpr int32_t kMemoMagic = 0x54444557;  // "WEDT"
inline constexpr size_t kMaxSpareBlocks = 1024;
// How many replaced blocks may wait for their switch's flush before a save that needs spares
// flushes for them.
inline constexpr size_t kSparesWorthAFlush = 64;
// The most blocks a memo file can have: block offsets stay below 2^31.
inline constexpr int32_t kMaxMemoBlockCount = INT32_MAX / kMemoBlockSize;

struct MemoHeader {
  int32_t magic = 0;
  int32_t version = 0;
  int32_t block_count = 0;
  int32_t free_count = 0;
  BlockNumber free_head = 0;
};

// How a save changes one memo value. The new chain is the old chain's first `kept_front`
// blocks, then new blocks for the bytes between, then its last `kept_back` blocks.
struct ChainChange {
  BlockNumber old_first = 0;
  bool unchanged = false;
  bool old_known = false;  // old_blocks is the whole old chain (it could be read and was sound)
  std::vector<BlockNumber> old_blocks;
  int32_t kept_front = 0;
  int32_t kept_back = 0;
  int64_t back_bytes = 0;  // ... by the kept end blocks
  std::vector<BlockNumber> new_blocks;
  BlockNumber new_first = 0;

  // Bytes of the value held by the kept front blocks: only full blocks are kept there.
  int64_t FrontBytes() const { return int64_t{kept_front} * kMemoDataSize; }
  // The block whose next word switches to the new blocks (0: the record's block number does).
  BlockNumber SwitchBlock() const { return kept_front > 0 ? old_blocks[kept_front - 1] : 0; }
  // The first kept end block (0: none).
  BlockNumber FirstKeptBack() const {
    return kept_back > 0 ? old_blocks[old_blocks.size() - static_cast<size_t>(kept_back)] : 0;
  }
};

class MemoFile {
 public:
  MemoFile() = default;
  MemoFile(const MemoFile&) = delete;  // the locks point at the file
  MemoFile& operator=(const MemoFile&) = delete;

  // Opens and checks the memo file at `gbk_path`: kMemoReadFailed for a file that cannot be
  // opened or has a bad header, kMemoVersion for another version than `main_version`, and
  // for a file shorter than its block count kNotAMemoFile when read-only, otherwise the
  // block count is lowered to the whole blocks present.
  int32_t Open(std::string_view gbk_path, bool read_only, platform::ShareMode share, bool exclusive,
               int32_t main_version);
  // Takes over an open file and checks it as Open does (for tools and tests).
  int32_t Adopt(platform::File file, bool read_only, bool exclusive, int32_t main_version);

  bool IsOpen() const { return file_.IsOpen(); }
  void Close();
  platform::File& file() { return file_; }

  // Reads the value of the chain starting at `first` (0: the empty value), and its block
  // numbers when `blocks` is given. Fails with kMemoChainDamaged on a chain that is not well
  // formed (a block outside the file, a cycle, a used count out of range), kMemoAccessFailed
  // when the header cannot be read. Requires: the lock of the record that names the chain is
  // held, so that nobody releases it meanwhile.
  int32_t ReadChain(BlockNumber first, std::string* value,
                    std::vector<BlockNumber>* blocks = nullptr);

  // What can still be read of the chain starting at `first`: the bytes of its blocks in order,
  // up to the first link that leaves the file or comes back to a block of the chain, or the
  // first block whose used count is out of range. kOk when the whole chain reads (as
  // ReadChain), kMemoChainDamaged with the bytes before the break, kMemoAccessFailed with no
  // bytes when the header cannot be read. Requires: as ReadChain.
  int32_t ReadReadablePart(BlockNumber first, std::string* value);

  // Reads the chain starting at `first` and works out how a save of `value` changes it: not at
  // all, or which blocks it keeps. Needs no header lock or header read. A chain that cannot be
  // read, or that is much longer than `value` needs, is rewritten whole and released by a walk
  // of its own. Requires: as ReadChain.
  void PlanChange(BlockNumber first, std::string_view value, ChainChange* change);

  // Writes the bytes `change` does not keep into blocks no record references and links them
  // to the kept ones; sets new_blocks and new_first. A change that fails keeps no block: the
  // spares it would have used, and blocks the header already gave it, stay this open's spares.
  int32_t WriteChange(std::string_view value, ChainChange* change);

  // For a change written but never switched, because a later write of its save failed: its
  // new blocks, which nothing references, become spares.
  void AbandonChange(ChainChange* change);

  // The switch when the first block stays: the last kept front block's next word. (When the
  // first block changes, the caller switches the record's block number instead.)
  int32_t SwitchKeptFront(const ChainChange& change);

  // After the switch, written into the main file when `switched_in_main`, else into this one:
  // the first kept end block's back link, then the replaced blocks become spares once that
  // switch is on the disk (an unknown old chain is released by a walk, after a flush).
  int32_t FinishChange(const ChainChange& change, bool switched_in_main);

  // The main file, whose record words switch chains too: flushed before the spares they
  // replaced are written again. Not owned; null for a memo file without one (tools).
  void SetMainFile(platform::File* main) { main_file_ = main; }
  // Flushes this file: a save's new blocks before its switch.
  int32_t Flush();
  // The same before a save's switches, one of them into this file when `switch_in_this_file`.
  // Such a switch changes the next word of a kept block, which the record's older chains may
  // share (a save whose first block changed kept the same end blocks); while a record's
  // switch away from an older chain waits in the main file, a power cut could bring the
  // record back to it with this switch in its middle. So the main file is flushed first then.
  int32_t FlushBeforeSwitch(bool switch_in_this_file);
  // Flushes the files holding switches not yet on the disk, so that every spare may be reused.
  int32_t SettleSpares();
  // The same when the caller has just flushed the main file: only this one is flushed, and
  // only when spares wait.
  int32_t MainFileFlushed();

  // Puts the spare blocks on the free list.
  int32_t ReleaseSpares();
  // The blocks this open holds as spares, also those that wait for their switch's flush.
  size_t spare_count() const {
    return spares_.size() + switched_in_memo_.size() + switched_in_main_.size();
  }

  // Puts the chain starting at `first` on the free list; those of its blocks that end the
  // file are cut off instead. A chain that is not well formed is left alone (leaked), never
  // half released.
  int32_t ReleaseChain(BlockNumber first);

  // Reads the header words. Requires: the header lock is held, or the file is not shared.
  int32_t ReadHeader(MemoHeader* header);

  // For a file opened exclusively: true while its header is the one this open last read or
  // wrote and the file holds all its blocks, i.e. nobody else wrote or shortened it. Reads the
  // 32 header bytes and the length, nothing more; false also when they cannot be read.
  bool HeaderAsLastSeen();
  // Stops every write into the file for good, also at Close: the spares are forgotten (they
  // are blocks of a file that is no longer this open's to change).
  void StopWriting();

  ByteLocks& locks() { return locks_; }

  // Drops blocks kept from earlier reads (another process may have changed them since).
  void ForgetCachedBlocks() { cache_.Forget(); }

 private:
  int32_t Check(bool read_only, int32_t main_version);
  int32_t WriteHeaderWords(const MemoHeader& header);
  // Reads block numbers of a chain and, when `value` is not null, its bytes. Blocks at or past
  // `block_count`, and a chain of more than `max_blocks` blocks, fail it.
  int32_t WalkChain(BlockNumber first, int32_t block_count, int64_t max_blocks,
                    std::vector<BlockNumber>* blocks, std::string* value);
  // The walk of PlanChange through `reader`. Keeps its state in `change` and members only: it
  // may be abandoned at a mapped read (see platform::ReadMappedPages) and run again.
  void WalkForChange(MemoBlockReader& reader, std::string_view value, ChainChange* change);
  // Finds the kept end blocks of a change whose front is known, walking back from the end of
  // the old chain (the used counts after the front are in changed_used_).
  void FindKeptBack(std::string_view value, MemoBlockReader& reader, ChainChange* change) const;
  // Fills images_ for `pieces` of `middle` in `blocks`, linked to `previous` and `next`.
  void FillImages(std::string_view middle, bool even_pieces, const std::vector<BlockNumber>& blocks,
                  BlockNumber previous, BlockNumber next);
  // Takes up to `wanted` blocks off the free list described by `header` (locked and read by
  // the caller) into `blocks`, and lowers its head and count to what remains. A list that
  // breaks off (a number outside the file, a block met twice) is dropped from there on: its
  // blocks leak, none is used twice.
  void TakeFreeBlocks(int32_t wanted, MemoHeader* header, std::vector<BlockNumber>* blocks);
  // Puts `blocks` (unreferenced, in the order they are listed) on the free list; those that end
  // the file are cut off instead. Requires: the header lock is held.
  int32_t ReleaseBlocks(const std::vector<BlockNumber>& blocks);
  int32_t WriteWord(int64_t offset, int32_t value);
  // Flushes the main file (kMemoAccessFailed when there is none, else the write's code).
  int32_t FlushMainFile();
  // The code of the write to the file that just failed: kDiskFull or kMemoAccessFailed.
  int32_t WriteFailed() const {
    return WriteFailureCode(file_.last_error(), code::kMemoAccessFailed);
  }
  // Writes full block images, one write per run of consecutive block numbers.
  int32_t WriteBlocks(const BlockNumber* blocks, size_t count, const uint8_t* images);

  platform::File file_;
  // The file's bytes as the system caches them: compares read them without copying.
  // Maps the view anew (see platform::FileView): on a system whose views hold the file as it
  // was, after the file grew past the view.
  void MapView();
  // The blocks that a read through the view may reach.
  int32_t ViewBlocks() const { return static_cast<int32_t>(view_.length() / kMemoBlockSize); }

  platform::FileView view_;
  ByteLocks locks_{&file_};
  MemoBlockCache cache_;
  std::vector<uint8_t> images_;        // scratch, reused so that a save touches no fresh pages
  std::vector<int32_t> changed_used_;  // scratch: used counts of the blocks after the front
  // Images of released blocks: only their 12 link bytes are ever written, so that the data
  // part stays zero and a release needs no clearing.
  std::vector<uint8_t> free_images_;
  std::vector<BlockNumber> spares_;  // free to be written: their switch is on the disk
  // Replaced by a switch in this file, or in the main file, that is not flushed yet.
  std::vector<BlockNumber> switched_in_memo_;
  std::vector<BlockNumber> switched_in_main_;
  platform::File* main_file_ = nullptr;
  // The block count of the last header read or written: how far a walk reads ahead (only a
  // guess when others share the file, never a bound).
  int32_t seen_block_count_ = 0;
  MemoHeader seen_header_;  // the header words as last read or written by this open
  // An exclusive open: nobody else writes the header, so a read of a chain takes its bound
  // from seen_header_ instead of reading the header again.
  bool header_kept_ = false;
  bool writing_stopped_ = false;
};

}  // namespace database
