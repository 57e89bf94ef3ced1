#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/byte_locks.h"
#include "platform/core/file.h"

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
// Crash safety. A value is never written over the only copy of another: WriteNewChain puts
// it into blocks no record references (taken off the free list, or appended past the end),
// with the header updated before any taken block is touched; the caller then switches the
// record's 4-byte block number and only after that releases the old chain. Releasing first
// rewrites the chain's own (already unreferenced) blocks and then commits with one header
// write. A process killed at any point therefore leaves every record pointing at a whole
// chain; at worst some blocks belong to nothing ("leaked"), which the checker reclaims.
// The free list's previous words are kept up to date but never trusted: nothing walks the
// free list backwards, and the trailing cut only removes blocks of the chain being released,
// never a block reached through someone's stale links.

namespace database {

using BlockNumber = int32_t;  // 0 = none

inline constexpr int32_t kMemoBlockSize = 512;
inline constexpr int32_t kMemoBlockHeaderSize = 12;
inline constexpr int32_t kMemoDataSize = 500;
inline constexpr int32_t kMemoMagic = 0x54444557;  // "WEDT"

struct MemoHeader {
  int32_t magic = 0;
  int32_t version = 0;
  int32_t block_count = 0;
  int32_t free_count = 0;
  BlockNumber free_head = 0;
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
  // numbers when `blocks` is given. Fails with kMemoAccessFailed on a block that cannot be
  // read or a chain that is not well formed. Requires: the lock of the record that names the
  // chain is held, so that nobody releases it meanwhile.
  int32_t ReadChain(BlockNumber first, std::string* value,
                    std::vector<BlockNumber>* blocks = nullptr);

  // Whether the chain starting at `first` holds exactly `value`, without copying it; also
  // its block numbers. Needs no header lock or header read; blocks read by one compare serve
  // the next one until ForgetCachedBlocks or a write. Also fails for a chain of more blocks
  // than `value` needs plus one: the caller then treats the value as changed. Requires: as
  // ReadChain.
  int32_t CompareChain(BlockNumber first, std::string_view value, bool* equal,
                       std::vector<BlockNumber>* blocks);

  // Writes `value` into blocks no record references and returns the first (0 for an empty
  // value). The caller then stores the number in the record and releases the old chain.
  int32_t WriteNewChain(std::string_view value, BlockNumber* first);

  // Puts the chain starting at `first` on the free list; those of its blocks that end the
  // file are cut off instead. A chain that is not well formed is left alone (leaked), never half
  // released. `known_blocks`, when given, are the chain's blocks as ReadChain found them under the
  // locks still held, which saves walking it again.
  int32_t ReleaseChain(BlockNumber first, const std::vector<BlockNumber>* known_blocks = nullptr);

  // Reads the header words. Requires: the header lock is held, or the file is not shared.
  int32_t ReadHeader(MemoHeader* header);

  // A batch holds the header lock and keeps the header in memory until EndBatch, so that the
  // chain operations of one record update cost no lock calls or header reads of their own.
  // Requires: the caller holds the lock of the record whose chains it works on.
  int32_t BeginBatch();
  void EndBatch();

  ByteLocks& locks() { return locks_; }

  // Drops blocks kept from earlier reads (another process may have changed them since).
  void ForgetCachedBlocks();

  // The blocks of the last read, kept for the next walk of the same operation.
  struct Window {
    std::vector<uint8_t> buffer;  // reused, so that a save touches no fresh pages
    BlockNumber start = 0;
    int32_t count = 0;
  };

 private:
  int32_t Check(bool read_only, int32_t main_version);
  int32_t WriteHeaderWords(const MemoHeader& header);
  // Reads block numbers of a chain and, when `value` is not null, its bytes. Blocks at or past
  // `block_count`, and a chain of more than `max_blocks` blocks, fail it.
  int32_t WalkChain(BlockNumber first, int32_t block_count, int64_t max_blocks,
                    std::vector<BlockNumber>* blocks, std::string* value,
                    const std::string_view* compare_to = nullptr, bool* equal = nullptr);
  // Writes full block images, one write per run of consecutive block numbers.
  int32_t WriteBlocks(const BlockNumber* blocks, size_t count, const uint8_t* images);

  platform::File file_;
  ByteLocks locks_{&file_};
  Window window_;
  std::vector<uint8_t> images_;  // scratch, reused so that a save touches no fresh pages
  // Images of released blocks: only their 12 link bytes are ever written, so that the data
  // part stays zero and a release needs no clearing.
  std::vector<uint8_t> free_images_;
  // The block count of the last header read or written: how far a compare reads ahead (only
  // a guess when others share the file, never a bound).
  int32_t seen_block_count_ = 0;
  bool in_batch_ = false;
  bool header_cached_ = false;
  MemoHeader cached_header_;
};

}  // namespace database
