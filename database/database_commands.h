#pragma once

#include <cstdint>

#include "runtime/arg_cell.h"

// The database commands of the core library. Each works on the current database, first
// sets the thread's LastDatabaseError to 0 and leaves the engine's code there when it ends;
// a command with a logical result returns true exactly when that code is 0.

namespace database {

void OpenDatabase(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void GoFirstRecord(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void IsAfterLastRecord(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void ReadField(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void SkipRecords(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void ModifyFields(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void AppendBlankRecord(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void DeleteRecords(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void IsRecordDeleted(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void GetRecordNumber(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void PackDatabase(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

}  // namespace database
