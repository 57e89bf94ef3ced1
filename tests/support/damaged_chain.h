#ifndef INKSTONE_TESTS_SUPPORT_DAMAGED_CHAIN_H_
#define INKSTONE_TESTS_SUPPORT_DAMAGED_CHAIN_H_

#include <cstdint>
#include <filesystem>
#include <string>

// Damage done to a chapter database on purpose, for the tests of every layer that must tell an
// author about a chain it cannot read instead of showing an empty chapter. The files are
// changed byte by byte, without the engine; the database must be closed.

namespace test_support {

enum class ChainDamage {
  // The first block's next word names a block past the end of the memo file: the first
  // block's bytes (up to 500) stay readable, the rest of the chain is cut off.
  kFirstLinkPastTheEnd,
  // The record names a block past the end of the memo file: nothing is readable.
  kChainStartsPastTheEnd,
  // The first block's next word names the first block again: a cycle.
  kFirstLinkToItself,
  // The second block's used count is out of range (the first block stays readable); a chain
  // of one block gets it in its first block.
  kUsedCountOutOfRange,
};

// Damages the memo chain of the field named `field_name_gbk` (GBK, as the database stores it,
// ASCII case ignored) of record `record` (0 = the first record) of the closed database at
// `edb_path` (its memo file is found beside it as the engine finds it). Returns false, changing
// nothing, when the files cannot be read or written, there is no such record or memo field, or
// the field is empty (no chain to damage).
bool DamageMemoChain(const std::filesystem::path& edb_path, int32_t record,
                     const std::string& field_name_gbk,
                     ChainDamage damage = ChainDamage::kFirstLinkPastTheEnd);

}  // namespace test_support

#endif  // INKSTONE_TESTS_SUPPORT_DAMAGED_CHAIN_H_
