#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "database/index_file.h"
#include "database/main_file.h"

// Making new database files. The engine never creates a database; the database tool does,
// and so do the tests.

namespace database {

struct FieldSpec {
  std::string name;  // GBK, at most 16 bytes
  int32_t type = 0;
  int32_t width = 0;  // text fields only
};

// Lays the fields out one after the other behind the 4-byte id.
std::vector<FieldDefinition> LayOutFields(const std::vector<FieldSpec>& wanted_fields);

// Writes a new, empty database at `gbk_path` (a main file, and a memo file beside it when a
// field needs one), refusing to overwrite existing files. A non-empty password makes a
// protected database. Returns 0 or an error code (kNotADatabase for unusable field wanted_fields).
int32_t CreateDatabase(std::string_view gbk_path, const std::vector<FieldSpec>& wanted_fields,
                       std::string_view password = {});

// Writes a fresh index file for the database's fields.
int32_t CreateIndexFile(std::string_view gbk_path, const IndexDefinition& definition,
                        const std::vector<FieldDefinition>& fields);

// The memo file path that belongs to a main file.
std::string MemoPathFor(std::string_view gbk_main_path);

}  // namespace database
