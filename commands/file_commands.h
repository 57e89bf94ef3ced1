#pragma once

#include <cstdint>

#include "runtime/arg_cell.h"

// The file and folder commands of the core library. Paths are GBK texts with "\" separators,
// absolute or relative to the current folder; on every platform they name files and folders
// with their real (Chinese) names. Failures are reported only by a false result.

namespace commands {

// The static empty byte set (int32 1, int32 0: one dimension of no bytes) that callers pass where
// a byte-set value is null. Freeing it does nothing.
const uint8_t* EmptyByteSet();

// GetProgramDirectory(): a new copy of the program's folder, without a trailing "\".
void GetProgramDirectory(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// CreateDirectory(path): creates one folder level. False when it exists or its parent is
// missing.
void CreateDirectory(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// WriteBytesToFile(path, byte set, ...): replaces the file's content with the byte sets in
// argument order; nothing is added. The file is never left torn or empty: a failed write
// returns false and leaves the old file as it was (see ReplaceFileContent). An argument
// that is not a byte set contributes its bytes as runtime::CellBytes gives them.
void WriteBytesToFile(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// DeleteFile(path): deletes one file. False when it is missing or cannot be deleted.
void DeleteFile(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// CopyFile(source, target): copies one file, overwriting the target. False when the source is
// missing or the target cannot be written (its folder must exist).
void CopyFile(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

}  // namespace commands
