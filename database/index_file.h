#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/byte_locks.h"
#include "database/index_keys.h"
#include "database/main_file.h"
#include "platform/core/file.h"

// An index file: blocks of the size its header states; block 0 begins with the header and
// blocks 1 and up are the nodes of a B+ tree whose leaves hold one entry per record, or free
// blocks.
//
//   IndexFileHeader (224 bytes at offset 0)
//   0    4   magic "WENX"
//   4    4   version, equal to the main file's
//   8    8   reserved
//   16   4   text collation: 0 bytes as they are, 1 and 2 through the collation table
//   20   4   text key flags: 1 a-z as A-Z, 2 spaces left out
//   24   4   block count (≥ 2)
//   28   4   free count, 0 ≤ value < block count
//   32   4   free head, 0 ≤ value < block count
//   36   4   root block, 1 ≤ value < block count
//   40   4   block size (≥ 512)
//   44   4   key length, 1 … 80: the sum of the key fields' sizes
//   48   4   key field count K, 1 … 8
//   52   136 8 slots of 17 bytes: the key fields' names, zero-terminated
//   188  32  8 int32 slots: each key field's type 1 … 9, or the negated width of a text field
//   220  4   reserved
//
//   Node (every block from 1 on)
//   0    2   kind: 0 leaf, 1 inner node, 2 free block
//   2    2   count of keys
//   4    …   leaf: count × (int32 record number, key)
//            inner: child 0, key 0, child 1, key 1, …, key n-1, child n (int32 children)
//            free: offset 4 the previous free block, offset 8 the next (0: none)
//
// A node holds at most (block size - 8) / (key length + 4) keys. Inner child i holds the
// keys from key i-1 to key i (both included, because equal keys may straddle a split); a
// search for k descends into the first child whose key is not less than k, or the last.

namespace database {

inline constexpr int32_t kIndexMagic = 0x584E4557;  // "WENX"
inline constexpr int32_t kIndexHeaderSize = 224;
inline constexpr int32_t kMaxIndexKeyFields = 8;
inline constexpr int32_t kMaxIndexKeyLength = 80;

// What describes an index besides its key fields, as a creator gives it.
struct IndexDefinition {
  std::vector<std::string> key_fields;  // GBK names
  int32_t collation = 0;
  int32_t flags = 0;
  int32_t block_size = 512;
};

class IndexFile {
 public:
  IndexFile() = default;
  IndexFile(const IndexFile&) = delete;  // the locks point at the file
  IndexFile& operator=(const IndexFile&) = delete;

  // Opens and checks an index file against the database's fields.
  int32_t Open(std::string_view gbk_path, bool read_only, platform::ShareMode share, bool exclusive,
               int32_t main_version, const std::vector<FieldDefinition>& fields);
  void Close();
  platform::File& file() { return file_; }

  const KeyShape& shape() const { return shape_; }
  int32_t capacity() const { return capacity_; }

  // Each operation locks the whole index file and writes back what it changed.
  int32_t Insert(std::string_view key, int32_t record);
  int32_t Remove(std::string_view key, int32_t record);
  // Removes the entry (old key, record) and inserts (new key, record), unless the keys are
  // equal.
  int32_t Move(std::string_view old_key, std::string_view new_key, int32_t record);
  // Resets the file to an empty tree (block count 2, root 1) and inserts the given keys.
  int32_t Rebuild(const std::vector<std::pair<std::string, int32_t>>& entries);

  // Every leaf entry in tree order (for the checker and the tests).
  int32_t ReadAll(std::vector<std::pair<std::string, int32_t>>* entries);

 private:
  class Session;

  platform::File file_;
  ByteLocks locks_{&file_};
  int32_t block_size_ = 512;
  int32_t capacity_ = 0;
  KeyShape shape_;
};

// The bytes of a freshly rebuilt index file for `definition` (block 0: the header; block 1:
// an empty root). Fails with the open's codes when a key field is missing or unusable.
int32_t BuildIndexFileImage(const IndexDefinition& definition,
                            const std::vector<FieldDefinition>& fields,
                            std::vector<uint8_t>* image);

}  // namespace database
