#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// An independent reading of a database's files that checks every structural invariant:
//   - the main file: header and definitions valid, its length that of its records, no
//     interrupted pack left;
//   - the memo file: header valid, the file as long as its block count; the free list
//     well linked, without cycles, of used-0 blocks, as long as its free count says; every
//     record's chain well linked (previous words included), without cycles, inside the file,
//     sharing no block with another chain or the free list;
//   - each named index file: its tree's entries in key order and equal to the records' keys.
// Findings come in two kinds: faults (data at risk) and harmless leftovers of a crash
// (leaked blocks, stale back links of the free list, a chain's back link naming the block an
// interrupted save replaced or wrote, or an earlier block of its chain, bytes past the end),
// which a repair reclaims or mends.

namespace database {

// The bytes of a broken chain that a repair saved before it cut the chain.
struct RescuedChain {
  int32_t record = 0;  // 1-based
  std::string field;   // UTF-8
  std::string path;    // UTF-8, the file holding the bytes
  int64_t bytes = 0;
};

struct CheckReport {
  std::vector<std::string> faults;     // UTF-8 messages
  std::vector<std::string> leftovers;  // UTF-8 messages
  std::vector<RescuedChain> rescued;
  int32_t record_count = 0;
  int32_t live_records = 0;
  int32_t memo_blocks = 0;
  int32_t free_blocks = 0;
  int32_t chain_blocks = 0;
  int32_t leaked_blocks = 0;

  bool ok() const { return faults.empty(); }
};

// Checks the database at `gbk_main_path` (and the given index files, GBK paths). With
// `repair`, and when no fault was found, leaked blocks go on the free list, the free list's
// back links are rewritten and bytes past the end of either file are cut off; the file must
// not be open elsewhere. When the only faults are records' chains that break off, the repair
// first saves each one's bytes (its sound blocks and the blocks found after the break through
// their back links, see chain_rescue.h) to a file beside the database, listed in `rescued`,
// then cuts it after its last sound block and repairs the rest; the report is then that of
// the repaired files. Returns 0, or an error code when the files cannot be opened.
int32_t CheckDatabase(std::string_view gbk_main_path, const std::vector<std::string>& index_paths,
                      bool repair, CheckReport* report);

}  // namespace database
