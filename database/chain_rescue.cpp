#include "database/chain_rescue.h"

#include <filesystem>
#include <map>

#include "database/le_bytes.h"
#include "database/memo_file.h"
#include "platform/core/file_system.h"
#include "platform/core/native_path.h"

namespace database {
namespace {

const uint8_t* BlockOf(const std::vector<uint8_t>& memo_image, BlockNumber block) {
  return memo_image.data() + static_cast<size_t>(block) * kMemoBlockSize;
}

bool WriteWord(platform::File& file, int64_t offset, int32_t value) {
  uint8_t word[4];
  StoreI32(word, value);
  return file.WriteAt(offset, word, 4) == 4 && file.Flush();
}

}  // namespace

std::vector<BlockNumber> FindContinuation(const std::vector<uint8_t>& memo_image,
                                          const std::vector<bool>& candidates, BlockNumber last) {
  std::vector<BlockNumber> found;
  std::multimap<BlockNumber, BlockNumber> by_previous;  // candidates holding data
  for (size_t b = 1; b < candidates.size(); ++b) {
    const uint8_t* image = BlockOf(memo_image, static_cast<BlockNumber>(b));
    const int32_t used = LoadI32(image + kMemoUsedOffset);
    if (candidates[b] && used > 0 && used <= kMemoDataSize) {
      by_previous.emplace(LoadI32(image + kMemoPreviousOffset), static_cast<BlockNumber>(b));
    }
  }
  std::vector<bool> taken(candidates.size(), false);
  // None, or a guess between several, ends it; so does a block met again (a cycle).
  while (by_previous.count(last) == 1) {
    const BlockNumber next = by_previous.find(last)->second;
    if (taken[static_cast<size_t>(next)]) break;
    taken[static_cast<size_t>(next)] = true;
    found.push_back(next);
    last = next;
  }
  return found;
}

std::string BytesOfBlocks(const std::vector<uint8_t>& memo_image,
                          const std::vector<BlockNumber>& blocks) {
  std::string bytes;
  for (BlockNumber block : blocks) {
    const uint8_t* image = BlockOf(memo_image, block);
    bytes.append(reinterpret_cast<const char*>(image) + kMemoBlockHeaderSize,
                 static_cast<size_t>(LoadI32(image + kMemoUsedOffset)));
  }
  return bytes;
}

std::string RescueFilePath(std::string_view gbk_main_path, const BrokenChain& chain) {
  const std::filesystem::path main = platform::FsPath(gbk_main_path);
  const std::string stem = platform::GbkPathOf(main.parent_path() / main.stem());
  const std::string base =
      stem + ".rescued-" + std::to_string(chain.record + 1) + "-" + chain.field_name;
  std::string path = base + ".bin";
  for (int n = 2; platform::FileExists(path); ++n) path = base + "-" + std::to_string(n) + ".bin";
  return path;
}

std::string SaveRescuedBytes(std::string_view gbk_main_path, const BrokenChain& chain,
                             std::string_view bytes) {
  const std::string path = RescueFilePath(gbk_main_path, chain);
  platform::FileResult created =
      platform::File::Open(path, platform::FileAccess::kWrite, platform::ShareMode::kExclusive,
                           platform::Disposition::kCreateNew);
  if (!created.ok()) return "";
  const auto size = static_cast<int64_t>(bytes.size());
  const bool written = (size == 0 || created.file->WriteAt(0, bytes.data(), size) == size) &&
                       created.file->Flush();
  created.file->Close();
  if (!written) {
    platform::DeleteFile(path);
    return "";
  }
  return path;
}

bool CutBrokenChain(platform::File& main, platform::File& memo, const BrokenChain& chain) {
  if (chain.sound.empty()) return WriteWord(main, chain.record_word, 0);
  return WriteWord(memo, int64_t{chain.sound.back()} * kMemoBlockSize + kMemoNextOffset, 0);
}

}  // namespace database
