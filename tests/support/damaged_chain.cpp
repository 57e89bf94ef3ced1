#include "tests/support/damaged_chain.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "database/creator.h"
#include "database/le_bytes.h"
#include "database/main_file.h"
#include "database/memo_file.h"
#include "platform/core/native_path.h"

namespace test_support {
namespace {

using database::BlockNumber;
using database::kMemoBlockSize;

// Offsets of the main file's layout (database/main_file.h) that have no named constant there.
constexpr size_t kRecordSizeOffset = 24;        // in the header
constexpr size_t kDefinitionTypeOffset = 20;    // in a field definition
constexpr size_t kDefinitionOffsetOffset = 24;  // the value's offset inside a record

std::optional<std::vector<uint8_t>> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

int32_t WordAt(const std::vector<uint8_t>& bytes, size_t offset) {
  return offset + 4 <= bytes.size() ? database::LoadI32(bytes.data() + offset) : 0;
}

// Writes one 4-byte word in place, leaving every other byte of the file alone.
bool PutWordAt(const std::filesystem::path& path, int64_t offset, int32_t value) {
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  uint8_t word[4];
  database::StoreI32(word, value);
  file.seekp(offset);
  file.write(reinterpret_cast<const char*>(word), 4);
  return static_cast<bool>(file.flush());
}

// The main file's word that holds the first block of the field's chain, or -1.
int64_t ChainWordOffset(const std::vector<uint8_t>& main, int32_t record,
                        const std::string& field_name_gbk) {
  const int32_t field_count = WordAt(main, database::kFieldCountOffset);
  const int32_t record_count = WordAt(main, database::kCountsOffset);
  const int32_t record_size = WordAt(main, kRecordSizeOffset);
  if (record < 0 || record >= record_count || field_count <= 0) return -1;
  const int64_t data = database::kFieldsOffset + int64_t{database::kFieldDefinitionSize} * field_count;
  for (int32_t f = 0; f < field_count; ++f) {
    const size_t definition =
        static_cast<size_t>(database::kFieldsOffset + database::kFieldDefinitionSize * f);
    if (definition + database::kFieldDefinitionSize > main.size()) return -1;
    const char* name = reinterpret_cast<const char*>(main.data() + definition);
    const std::string stored(name, strnlen(name, database::kMaxFieldNameBytes + 1));
    const int32_t type = WordAt(main, definition + kDefinitionTypeOffset);
    if (!database::NamesEqualIgnoringCase(stored, field_name_gbk)) continue;
    if (type != database::kMemoField && type != database::kByteSetField) return -1;
    const int64_t word = data + int64_t{record} * record_size + WordAt(main, definition + kDefinitionOffsetOffset);
    return word + 4 <= static_cast<int64_t>(main.size()) ? word : -1;
  }
  return -1;
}

}  // namespace

bool DamageMemoChain(const std::filesystem::path& edb_path, int32_t record,
                     const std::string& field_name_gbk, ChainDamage damage) {
  const std::filesystem::path memo_path =
      platform::FsPath(database::MemoPathFor(platform::GbkPathOf(edb_path)));
  const std::optional<std::vector<uint8_t>> main = ReadAll(edb_path);
  const std::optional<std::vector<uint8_t>> memo = ReadAll(memo_path);
  if (!main || !memo) return false;
  const int64_t chain_word = ChainWordOffset(*main, record, field_name_gbk);
  if (chain_word < 0) return false;
  const BlockNumber first = WordAt(*main, static_cast<size_t>(chain_word));
  const auto blocks_in_file = static_cast<BlockNumber>(memo->size() / kMemoBlockSize);
  if (first <= 0 || first >= blocks_in_file) return false;
  const int64_t first_at = int64_t{first} * kMemoBlockSize;
  const BlockNumber past_the_end = blocks_in_file + 1000;
  switch (damage) {
    case ChainDamage::kFirstLinkPastTheEnd:
      return PutWordAt(memo_path, first_at + database::kMemoNextOffset, past_the_end);
    case ChainDamage::kChainStartsPastTheEnd:
      return PutWordAt(edb_path, chain_word, past_the_end);
    case ChainDamage::kFirstLinkToItself:
      return PutWordAt(memo_path, first_at + database::kMemoNextOffset, first);
    case ChainDamage::kUsedCountOutOfRange: {
      const BlockNumber second = WordAt(*memo, static_cast<size_t>(first_at) + database::kMemoNextOffset);
      const BlockNumber target = second > 0 && second < blocks_in_file ? second : first;
      return PutWordAt(memo_path, int64_t{target} * kMemoBlockSize + database::kMemoUsedOffset,
                       database::kMemoDataSize + 1);
    }
  }
  return false;
}

}  // namespace test_support
