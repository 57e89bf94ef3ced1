#include "database/checker.h"

#include <algorithm>
#include <map>

#include "database/chain_rescue.h"
#include "database/creator.h"
#include "database/error_codes.h"
#include "database/index_file.h"
#include "database/le_bytes.h"
#include "database/main_file.h"
#include "database/memo_file.h"
#include "database/pack_journal.h"
#include "platform/core/code_page.h"
#include "platform/core/file_system.h"

namespace database {
namespace {

enum class BlockOwner : uint8_t { kNone, kChain, kFree };

// A chain block whose previous word names another block than the one before it.
struct WrongBackLink {
  BlockNumber block;
  BlockNumber named;
  BlockNumber actual;
  std::string where;
  bool names_earlier_block = false;  // a block before it in its own chain
};

struct MemoCheck {
  platform::File& file;
  CheckReport& report;
  int32_t block_count = 0;
  std::vector<BlockOwner> owners;
  std::vector<uint8_t> image;  // the memo file's blocks, those past the block count too
  std::vector<WrongBackLink> wrong_back_links;
  std::vector<BrokenChain> broken;

  const uint8_t* Block(BlockNumber block) const {
    return image.data() + static_cast<size_t>(block) * kMemoBlockSize;
  }
  bool Valid(BlockNumber block) const { return block >= 1 && block < block_count; }
};

// Follows one record's chain. A chain that breaks off is one fault and one BrokenChain; its
// blocks after the break are not walked.
void CheckChain(MemoCheck& memo, BlockNumber first, int32_t record, const std::string& field,
                int64_t record_word) {
  const std::string where =
      "record " + std::to_string(record + 1) + " field " + platform::GbkToUtf8(field);
  BrokenChain chain{record, field, record_word, {}};
  const auto broken = [&](const std::string& why) {
    memo.report.faults.push_back(where + ": block " + why);
    memo.broken.push_back(std::move(chain));
  };
  BlockNumber previous = 0;
  BlockNumber block = first;
  while (block != 0) {
    if (!memo.Valid(block)) return broken(std::to_string(block) + " lies outside the memo file");
    const BlockOwner owner = memo.owners[static_cast<size_t>(block)];
    if (owner != BlockOwner::kNone) {
      return broken(std::to_string(block) +
                    (owner == BlockOwner::kFree
                         ? " is also on the free list"
                         : " belongs to another chain or repeats (a cycle)"));
    }
    const uint8_t* image = memo.Block(block);
    const int32_t used = LoadI32(image + kMemoUsedOffset);
    if (used < 0 || used > kMemoDataSize) {
      return broken(std::to_string(block) + " has a used count of " + std::to_string(used));
    }
    memo.owners[static_cast<size_t>(block)] = BlockOwner::kChain;
    ++memo.report.chain_blocks;
    chain.sound.push_back(block);
    if (LoadI32(image) != previous) {
      const BlockNumber named = LoadI32(image);
      const bool earlier =
          std::find(chain.sound.begin(), chain.sound.end() - 1, named) != chain.sound.end() - 1;
      memo.wrong_back_links.push_back({block, named, previous, where, earlier});
    }
    previous = block;
    block = LoadI32(image + kMemoNextOffset);
  }
}

// Saves the bytes of every broken chain, then cuts each after its sound blocks. Nothing is cut
// unless every chain's bytes are safe in their files.
bool RescueBrokenChains(MemoCheck& memo, platform::File& main, std::string_view gbk_main_path) {
  std::vector<bool> candidates(memo.image.size() / kMemoBlockSize, true);
  for (size_t b = 0; b < memo.owners.size(); ++b) {
    candidates[b] = memo.owners[b] == BlockOwner::kNone;
  }
  candidates[0] = false;
  std::vector<RescuedChain> rescued;
  for (const BrokenChain& chain : memo.broken) {
    std::vector<BlockNumber> blocks = chain.sound;
    const std::vector<BlockNumber> rest =
        FindContinuation(memo.image, candidates, chain.sound.empty() ? 0 : chain.sound.back());
    blocks.insert(blocks.end(), rest.begin(), rest.end());
    for (BlockNumber b : rest) candidates[static_cast<size_t>(b)] = false;
    const std::string bytes = BytesOfBlocks(memo.image, blocks);
    const std::string path = SaveRescuedBytes(gbk_main_path, chain, bytes);
    const std::string field = platform::GbkToUtf8(chain.field_name);
    if (path.empty()) {
      memo.report.faults.push_back("record " + std::to_string(chain.record + 1) + " field " +
                                   field + ": its bytes could not be saved, nothing was cut");
      return false;
    }
    rescued.push_back(
        {chain.record + 1, field, platform::GbkToUtf8(path), static_cast<int64_t>(bytes.size())});
  }
  for (const BrokenChain& chain : memo.broken) {
    if (!CutBrokenChain(main, memo.file, chain)) {
      memo.report.faults.push_back("record " + std::to_string(chain.record + 1) +
                                   ": the broken chain could not be cut");
      return false;
    }
  }
  memo.report.rescued = std::move(rescued);
  return true;
}

// A save that replaces blocks inside a chain switches the chain's forward link first and sets
// the back link of the first block after them next; a kill between the two leaves that back
// link naming the replaced block, which by then is leaked and still names this block as its
// next. A power cut may instead keep the back link and lose the switch: the link then names
// the save's last new block (leaked, naming this block as its next), or, for a save that only
// dropped blocks, the block before those, earlier in the same chain. Such links are leftovers;
// any other wrong back link is a fault.
void JudgeBackLinks(MemoCheck& memo, bool* stale_chain_links) {
  for (const WrongBackLink& link : memo.wrong_back_links) {
    const bool left_by_a_save =
        link.names_earlier_block ||
        (memo.Valid(link.named) &&
         memo.owners[static_cast<size_t>(link.named)] == BlockOwner::kNone &&
         LoadI32(memo.Block(link.named) + kMemoNextOffset) == link.block);
    if (left_by_a_save) {
      *stale_chain_links = true;
    } else {
      memo.report.faults.push_back(link.where + ": block " + std::to_string(link.block) +
                                   " names the wrong previous block");
    }
  }
  if (*stale_chain_links) {
    memo.report.leftovers.push_back(
        "back links in chains naming blocks an interrupted save replaced");
  }
}

// Reclaims leaked blocks and rewrites the free list's back links and the chains' stale ones,
// then cuts bytes past the last block. Leaked blocks are linked among themselves first and hung
// onto the list's tail before one header write counts them, so a crash during a repair leaves a
// valid file.
bool RepairMemo(MemoCheck& memo, const std::vector<BlockNumber>& free_list, BlockNumber head) {
  // The chains' back links first: their blocks are in use, so each is one 4-byte write.
  for (const WrongBackLink& link : memo.wrong_back_links) {
    uint8_t word[4];
    StoreI32(word, link.actual);
    if (memo.file.WriteAt(int64_t{link.block} * kMemoBlockSize + kMemoPreviousOffset, word, 4) != 4)
      return false;
  }
  std::vector<BlockNumber> leaked;
  for (BlockNumber b = 1; b < memo.block_count; ++b) {
    if (memo.owners[static_cast<size_t>(b)] == BlockOwner::kNone) leaked.push_back(b);
  }
  std::vector<BlockNumber> list = free_list;
  list.insert(list.end(), leaked.begin(), leaked.end());
  uint8_t block[kMemoBlockSize];
  // Leaked blocks and the old tail first, then the header, then the back links.
  const auto write_block = [&](size_t i) {
    std::fill(block, block + kMemoBlockSize, 0);
    StoreI32(block, i == 0 ? 0 : list[i - 1]);
    StoreI32(block + kMemoNextOffset, i + 1 < list.size() ? list[i + 1] : 0);
    return memo.file.WriteAt(int64_t{list[i]} * kMemoBlockSize, block, kMemoBlockSize) ==
           kMemoBlockSize;
  };
  for (size_t i = free_list.size(); i < list.size(); ++i) {
    if (!write_block(i)) return false;
  }
  if (!free_list.empty() && !leaked.empty() && !write_block(free_list.size() - 1)) return false;
  uint8_t words[kMemoCountsSize];
  StoreI32(words, memo.block_count);
  StoreI32(words + kMemoFreeCountOffset - kMemoCountsOffset, static_cast<int32_t>(list.size()));
  StoreI32(words + kMemoFreeHeadOffset - kMemoCountsOffset,
           list.empty() ? 0 : (free_list.empty() ? list.front() : head));
  if (memo.file.WriteAt(kMemoCountsOffset, words, kMemoCountsSize) != kMemoCountsSize) return false;
  for (size_t i = 0; i < free_list.size(); ++i) {
    if (!write_block(i)) return false;
  }
  return memo.file.Truncate(int64_t{memo.block_count} * kMemoBlockSize);
}

// True when broken chains were rescued and cut: the files must then be checked again.
bool CheckMemoFile(std::string_view gbk_main_path, platform::File& main,
                   const MainFileLayout& layout, const std::vector<uint8_t>& records, bool repair,
                   CheckReport& report) {
  platform::FileResult opened = platform::File::Open(
      MemoPathFor(gbk_main_path),
      repair ? platform::FileAccess::kReadWrite : platform::FileAccess::kRead,
      repair ? platform::ShareMode::kExclusive : platform::ShareMode::kDenyNone,
      platform::Disposition::kOpenExisting);
  if (!opened.ok()) {
    report.faults.push_back("the memo file cannot be opened");
    return false;
  }
  MemoCheck memo{*opened.file, report, 0, {}, {}, {}, {}};
  const int64_t size = memo.file.Size();
  uint8_t header[kMemoHeaderSize];
  if (size < kMemoHeaderSize || memo.file.ReadAt(0, header, kMemoHeaderSize) != kMemoHeaderSize ||
      LoadI32(header) != kMemoMagic) {
    report.faults.push_back("the memo file has no valid header");
    return false;
  }
  memo.block_count = LoadI32(header + kMemoBlockCountOffset);
  const int32_t free_count = LoadI32(header + kMemoFreeCountOffset);
  const BlockNumber free_head = LoadI32(header + kMemoFreeHeadOffset);
  report.memo_blocks = memo.block_count;
  if (LoadI32(header + kMemoVersionOffset) != layout.header.version()) {
    report.faults.push_back("the memo file's version differs from the main file's");
  }
  if (memo.block_count <= 0 || free_count < 0 || free_count >= memo.block_count || free_head < 0 ||
      free_head >= memo.block_count) {
    report.faults.push_back("the memo header's counts are out of range");
    return false;
  }
  if (size < int64_t{memo.block_count} * kMemoBlockSize) {
    report.faults.push_back("the memo file is shorter than its " +
                            std::to_string(memo.block_count) + " blocks");
    return false;
  }
  if (size > int64_t{memo.block_count} * kMemoBlockSize) {
    report.leftovers.push_back("bytes past the last memo block");
  }
  // Whole blocks past the block count are read too: a broken chain may go on there.
  memo.image.resize(static_cast<size_t>(size / kMemoBlockSize) * kMemoBlockSize);
  if (memo.file.ReadAt(0, memo.image.data(), static_cast<int64_t>(memo.image.size())) !=
      static_cast<int64_t>(memo.image.size())) {
    report.faults.push_back("the memo file cannot be read");
    return false;
  }
  memo.owners.assign(static_cast<size_t>(memo.block_count), BlockOwner::kNone);

  // The free list.
  std::vector<BlockNumber> free_list;
  bool stale_links = false;
  for (BlockNumber block = free_count > 0 ? free_head : 0, previous = 0; block != 0;) {
    if (!memo.Valid(block) || memo.owners[static_cast<size_t>(block)] != BlockOwner::kNone) {
      report.faults.push_back("the free list reaches block " + std::to_string(block) +
                              (memo.Valid(block) ? " twice (a cycle)" : " outside the file"));
      return false;
    }
    if (static_cast<int32_t>(free_list.size()) == free_count) {
      report.faults.push_back("the free list is longer than its count of " +
                              std::to_string(free_count));
      return false;
    }
    memo.owners[static_cast<size_t>(block)] = BlockOwner::kFree;
    free_list.push_back(block);
    const uint8_t* image = memo.Block(block);
    if (LoadI32(image + kMemoUsedOffset) != 0) {
      report.faults.push_back("free block " + std::to_string(block) + " has data");
    }
    if (LoadI32(image) != previous) stale_links = true;
    previous = block;
    block = LoadI32(image + kMemoNextOffset);
  }
  if (static_cast<int32_t>(free_list.size()) != free_count) {
    report.faults.push_back("the free count is " + std::to_string(free_count) +
                            " but the free list holds " + std::to_string(free_list.size()));
  }
  if (stale_links) report.leftovers.push_back("stale back links on the free list");
  report.free_blocks = static_cast<int32_t>(free_list.size());

  // Every record's chains, deleted records included.
  const int32_t record_size = layout.header.record_size();
  for (int32_t r = 0; r < layout.header.record_count(); ++r) {
    const uint8_t* record = records.data() + static_cast<size_t>(r) * record_size;
    for (const FieldDefinition& field : layout.fields) {
      if (!field.IsMemo()) continue;
      const int64_t record_word = layout.RecordPosition(r) + field.offset;
      CheckChain(memo, LoadI32(record + field.offset), r, field.name, record_word);
    }
  }
  for (BlockNumber b = 1; b < memo.block_count; ++b) {
    if (memo.owners[static_cast<size_t>(b)] == BlockOwner::kNone) ++report.leaked_blocks;
  }
  bool stale_chain_links = false;
  JudgeBackLinks(memo, &stale_chain_links);
  if (report.leaked_blocks > 0) {
    report.leftovers.push_back(std::to_string(report.leaked_blocks) +
                               " leaked memo blocks (in no chain, not on the free list)");
  }
  if (repair && report.ok() &&
      (report.leaked_blocks > 0 || stale_links || stale_chain_links ||
       size > int64_t{memo.block_count} * kMemoBlockSize)) {
    if (!RepairMemo(memo, free_list, free_head)) report.faults.push_back("the repair failed");
  }
  return repair && !memo.broken.empty() && report.faults.size() == memo.broken.size() &&
         RescueBrokenChains(memo, main, gbk_main_path);
}

void CheckIndex(const std::string& gbk_path, const MainFileLayout& layout,
                const std::vector<uint8_t>& records, CheckReport& report) {
  IndexFile index;
  const int32_t opened = index.Open(gbk_path, true, platform::ShareMode::kDenyNone, false,
                                    layout.header.version(), layout.fields);
  const std::string name = platform::GbkToUtf8(gbk_path);
  if (opened != code::kOk) {
    report.faults.push_back("index " + name + ": " + platform::GbkToUtf8(ErrorText(opened)));
    return;
  }
  std::vector<std::pair<std::string, int32_t>> entries;
  if (index.ReadAll(&entries) != code::kOk) {
    report.faults.push_back("index " + name + ": the tree cannot be read");
    return;
  }
  for (size_t i = 1; i < entries.size(); ++i) {
    if (CompareKeys(index.shape(), reinterpret_cast<const uint8_t*>(entries[i - 1].first.data()),
                    reinterpret_cast<const uint8_t*>(entries[i].first.data())) > 0) {
      report.faults.push_back("index " + name + ": entries out of order");
      break;
    }
  }
  std::multimap<int32_t, std::string> expected;
  const int32_t record_size = layout.header.record_size();
  for (int32_t r = 0; r < layout.header.record_count(); ++r) {
    expected.emplace(
        r, BuildKey(index.shape(),
                    std::span<const uint8_t>(records.data() + static_cast<size_t>(r) * record_size,
                                             static_cast<size_t>(record_size))));
  }
  std::multimap<int32_t, std::string> found;
  for (auto& [key, record] : entries) found.emplace(record, key);
  if (found != expected) {
    report.faults.push_back("index " + name + ": entries do not match the records");
  }
}

}  // namespace

int32_t CheckDatabase(std::string_view gbk_main_path, const std::vector<std::string>& index_paths,
                      bool repair, CheckReport* report) {
  *report = CheckReport();
  platform::FileResult opened = platform::File::Open(
      gbk_main_path, repair ? platform::FileAccess::kReadWrite : platform::FileAccess::kRead,
      repair ? platform::ShareMode::kExclusive : platform::ShareMode::kDenyNone,
      platform::Disposition::kOpenExisting);
  if (!opened.ok()) return FileErrorCode(opened.error);
  platform::File& main = *opened.file;
  if (platform::FileExists(PackJournalPath(gbk_main_path))) {
    report->faults.push_back("an interrupted pack waits for the next open for writing");
    return code::kOk;
  }
  MainFileLayout layout;
  const int32_t read = ReadMainFileUnprotected(main, false, &layout);
  if (read != code::kOk) {
    report->faults.push_back("the main file does not read: " +
                             platform::GbkToUtf8(ErrorText(read)));
    return code::kOk;
  }
  const int32_t count = layout.header.record_count();
  const int64_t end = layout.RecordPosition(count);
  const int64_t size = main.Size();
  report->record_count = count;
  if (size > end) report->leftovers.push_back("bytes past the last record");
  std::vector<uint8_t> records(static_cast<size_t>(end - layout.data_offset));
  if (main.ReadAt(layout.data_offset, records.data(), static_cast<int64_t>(records.size())) !=
      static_cast<int64_t>(records.size())) {
    report->faults.push_back("the records cannot be read");
    return code::kOk;
  }
  for (int32_t r = 0; r < count; ++r) {
    const int32_t id =
        LoadI32(records.data() + static_cast<size_t>(r) * layout.header.record_size());
    if (id > 0) ++report->live_records;
    if (id == 0 || id >= layout.header.next_id() || -int64_t{id} >= layout.header.next_id()) {
      report->faults.push_back("record " + std::to_string(r + 1) + " has the id " +
                               std::to_string(id) + ", not below the next id");
    }
  }
  if (std::any_of(layout.fields.begin(), layout.fields.end(),
                  [](const FieldDefinition& f) { return f.IsMemo(); }) &&
      CheckMemoFile(gbk_main_path, main, layout, records, repair, *report)) {
    // The broken chains are saved and cut: what is left is repaired as any other file.
    main.Close();
    const std::vector<RescuedChain> rescued = std::move(report->rescued);
    const int32_t result = CheckDatabase(gbk_main_path, index_paths, repair, report);
    report->rescued = rescued;
    return result;
  }
  for (const std::string& index_path : index_paths)
    CheckIndex(index_path, layout, records, *report);
  if (repair && report->ok() && size > end && !main.Truncate(end)) {
    report->faults.push_back("the main file could not be cut to length");
  }
  return code::kOk;
}

}  // namespace database
