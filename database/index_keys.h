#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Index keys: the concatenated stored bytes of the key fields, in the order the index header
// names them. With a text collation or text key flags, each text key field is rewritten
// before it is stored or compared:
//   - bytes are taken up to the first zero or the key width;
//   - flag 2 leaves out ASCII spaces and full-width spaces (0xA1 0xA1);
//   - flag 1 takes a-z as A-Z;
//   - collation 1 or 2 replaces a GBK character whose lead byte is 0xB0 … 0xF7 and trail byte
//     0xA1 … 0xFE by the two bytes of its collation code;
//   - the rest is zero-filled to the key width.
// Our collation table orders those characters by their Unicode code points (rank r becomes
// the code 0xB0 + r / 94, 0xA1 + r % 94); collation 2 mirrors both bytes of that code, which
// orders them the other way round.

namespace database {

inline constexpr int32_t kTextKeyUpperCase = 1;
inline constexpr int32_t kTextKeyNoSpaces = 2;

struct KeyField {
  int32_t field = 0;   // 0-based field number in the database
  int32_t type = 0;    // field type 1 … 9, or 10 for text
  int32_t offset = 0;  // of the value in the record
  int32_t size = 0;    // bytes in the key
};

struct KeyShape {
  int32_t collation = 0;
  int32_t flags = 0;
  std::vector<KeyField> fields;
  int32_t length = 0;  // sum of the field sizes

  bool RewritesText() const { return collation != 0 || flags != 0; }
};

// The key of a record image (the whole record, id included).
std::string BuildKey(const KeyShape& shape, std::span<const uint8_t> record);

// Compares two keys of `shape` field by field: < 0, 0 or > 0.
int CompareKeys(const KeyShape& shape, const uint8_t* a, const uint8_t* b);

// The collation code of a GBK character in the table's range (for the tests).
uint16_t CollationCode(uint8_t lead, uint8_t trail, int32_t collation);

}  // namespace database
