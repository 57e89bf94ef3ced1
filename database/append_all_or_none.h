#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "database/database.h"

namespace database {

// Where the records that AppendAllOrNone made stand.
struct AppendedRecords {
  std::vector<int32_t> numbers;  // record numbers, from 1
  std::vector<int32_t> ids;
  size_t live = 0;  // how many of them, from the first, are live (not marked deleted)
};

// Appends one record per entry of `records` (each entry the updates of its fields), all or
// none: every new record is written whole while it is marked deleted, the files are flushed,
// then the records are marked live one by one and the files flushed again. A crash, a power cut
// or a failure before the second part leaves every new record marked deleted (a pack takes them
// away); a failure during it leaves the ones before it live, each whole (`appended->live`).
// The record pointer is put back where it was. The engine's code of the first failure.
int32_t AppendAllOrNone(Database& db, std::span<const std::vector<FieldUpdate>> records,
                        AppendedRecords* appended);

}  // namespace database
