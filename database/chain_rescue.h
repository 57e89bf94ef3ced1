#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/memo_block_cache.h"
#include "platform/core/file.h"

// What a repair does with a record's memo chain that breaks off (a link out of the file, into
// another chain or the free list, a used count out of range): its bytes are saved to a file
// beside the database first, then the chain is cut after its last sound block, so that the
// record reads again and the blocks past the break can be reclaimed. Nothing an author wrote is
// freed before it is in that file.

namespace database {

struct BrokenChain {
  int32_t record = 0;       // 0-based
  std::string field_name;   // GBK
  int64_t record_word = 0;  // where the main file names the chain's first block
  std::vector<BlockNumber> sound;  // the chain's blocks before the break, in order
};

// The blocks that went on after the break: from the chain's last sound block (0 for a chain
// whose first block is already lost), the one block of `candidates` (blocks no chain or free
// list holds, with data) whose previous word names it, and so on while exactly one does: where
// several could follow, none is guessed. `memo_image` is the whole memo file.
std::vector<BlockNumber> FindContinuation(const std::vector<uint8_t>& memo_image,
                                          const std::vector<bool>& candidates, BlockNumber last);

// The data bytes of `blocks` of `memo_image`, in order.
std::string BytesOfBlocks(const std::vector<uint8_t>& memo_image,
                          const std::vector<BlockNumber>& blocks);

// The file the bytes of a broken chain are saved to: beside the database, named after it, the
// record (1-based) and the field, "<name>.rescued-<record>-<field>.bin"; "-2", "-3", … are
// added before ".bin" while such a file exists.
std::string RescueFilePath(std::string_view gbk_main_path, const BrokenChain& chain);

// Writes `bytes` to a new file at RescueFilePath and forces it to the device. Returns the GBK
// path, or "" when it could not be written whole (then no file is left).
std::string SaveRescuedBytes(std::string_view gbk_main_path, const BrokenChain& chain,
                             std::string_view bytes);

// Ends the chain after its last sound block (the record names no chain when none is sound).
bool CutBrokenChain(platform::File& main, platform::File& memo, const BrokenChain& chain);

}  // namespace database
