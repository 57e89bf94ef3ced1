#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/file.h"
#include "runtime/type_code.h"

// The main file of a database: a header, the field definitions and fixed-size records.
//
//   offset            size                       content
//   0                 112                        DatabaseHeader
//   112               4                          int32 field count N
//   116               72 × N                     N FieldDefinition entries
//   116 + 72 × N      record size × count        the records, back to back ("data offset")
//
// DatabaseHeader (112 bytes):
//   0    4   magic "WEDB" (plain) or "WCDB" (protected by an access password)
//   4    4   version, 0x00010000; anything greater is refused
//   8    8   reserved, preserved
//   16   4   record count (deleted records included)
//   20   4   next record id (> 0; only ever grows)
//   24   4   record size (the 4-byte id included)
//   28   33  password digest of a "WCDB" file: 32 characters and a zero
//   61   51  reserved, preserved
// The record count and the next id are the only header words the engine writes, always
// together as one 8-byte write at offset 16 under the header lock.
//
// FieldDefinition (72 bytes):
//   0    20  name, GBK, zero-terminated within the first 17 bytes
//   20   4   type, 1 … 12 (FieldType)
//   24   4   offset of the value inside the record
//   28   4   width of a type-10 text field (> 0); ignored otherwise
//   32   40  reserved
//
// Record (record size bytes):
//   0    4   id: positive for a live record, negated while the record is marked deleted
//   4    …   the field values at their definitions' offsets

namespace database {

inline constexpr int32_t kHeaderSize = 112;
inline constexpr int32_t kFieldCountOffset = 112;
inline constexpr int32_t kFieldsOffset = 116;
inline constexpr int32_t kFieldDefinitionSize = 72;
inline constexpr int32_t kCountsOffset = 16;  // record count and next id, one 8-byte unit
inline constexpr int32_t kMaxFieldNameBytes = 16;
inline constexpr int32_t kVersion = 0x10000;
inline constexpr int32_t kPlainMagic = 0x42444557;      // "WEDB"
inline constexpr int32_t kProtectedMagic = 0x42444357;  // "WCDB"
inline constexpr int32_t kDigestOffset = 28;
inline constexpr int32_t kDigestLength = 32;

enum FieldType : int32_t {
  kByteField = 1,
  kShortField = 2,
  kIntField = 3,
  kLongField = 4,
  kFloatField = 5,
  kDoubleField = 6,
  kLogicalField = 7,
  kDateTimeField = 8,
  kRoutineField = 9,
  kTextField = 10,     // fixed width, zero-padded
  kByteSetField = 11,  // first memo block, 0 when empty
  kMemoField = 12,     // first memo block, 0 when empty
};

struct FieldDefinition {
  std::string name;  // GBK, without its zero
  int32_t type = 0;
  int32_t offset = 0;
  int32_t width = 0;
  std::array<uint8_t, kFieldDefinitionSize> raw{};  // the definition as stored

  // Bytes of the value inside a record: the width for text, the type's size otherwise.
  int32_t StoredSize() const;
  bool IsMemo() const { return type == kByteSetField || type == kMemoField; }
  bool IsNumeric() const { return type >= kByteField && type <= kDoubleField; }
};

// Bytes a field of this type takes in a record (the width for a text field); 0 for an
// unknown type.
int32_t FieldTypeSize(int32_t type, int32_t width);

// The value type the engine hands back for a field of this type.
runtime::TypeCode FieldValueType(int32_t type);

struct DatabaseHeader {
  std::array<uint8_t, kHeaderSize> raw{};

  int32_t magic() const;
  int32_t version() const;
  int32_t record_count() const;
  int32_t next_id() const;
  int32_t record_size() const;
  void set_counts(int32_t record_count, int32_t next_id);
  bool IsProtected() const { return magic() == kProtectedMagic; }
  std::string digest() const;  // the 32 digest characters of a protected file
};

// What a reader found in a main file.
struct MainFileLayout {
  DatabaseHeader header;
  std::vector<FieldDefinition> fields;
  int32_t data_offset = 0;

  int64_t RecordPosition(int64_t record) const {
    return data_offset + record * static_cast<int64_t>(header.record_size());
  }
};

// Reads and checks the header and the field definitions in the order a reader validates
// them (the password is checked by the caller between the magic and the counts, through
// `check_password`, which returns 0 or an error code). A file holding fewer whole records
// than its header counts is repaired when `writable` (the count is lowered and written
// back, the file cut) or refused (kFileSizeWrong). A writable file longer than its last
// record is cut to length.
template <typename PasswordCheck>
int32_t ReadMainFile(platform::File& file, bool writable, PasswordCheck&& check_password,
                     MainFileLayout* layout);

// The same without the template, for callers that have no password to check.
int32_t ReadMainFileUnprotected(platform::File& file, bool writable, MainFileLayout* layout);

// Reads the record count and the next id at offset 16. Requires: the header lock is held.
int32_t ReadCounts(platform::File& file, int32_t* record_count, int32_t* next_id);
// Writes them back as one 8-byte write. Requires: the header lock is held.
int32_t WriteCounts(platform::File& file, int32_t record_count, int32_t next_id);

// Builds the bytes of a new main file (header, definitions, no records). Used by the
// database tool and the tests: the engine itself never creates a database.
std::vector<uint8_t> BuildMainFileImage(const std::vector<FieldDefinition>& fields,
                                        std::string_view password_digest);

namespace detail {
int32_t ReadMainFileStart(platform::File& file, MainFileLayout* layout);
int32_t ReadMainFileRest(platform::File& file, bool writable, MainFileLayout* layout);
}  // namespace detail

template <typename PasswordCheck>
int32_t ReadMainFile(platform::File& file, bool writable, PasswordCheck&& check_password,
                     MainFileLayout* layout) {
  int32_t result = detail::ReadMainFileStart(file, layout);
  if (result != 0) return result;
  result = check_password(layout->header);
  if (result != 0) return result;
  return detail::ReadMainFileRest(file, writable, layout);
}

}  // namespace database

namespace database {

// Field and key names compare without regard to the case of ASCII letters; the bytes of a
// two-byte GBK character are compared as they are.
bool NamesEqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace database
