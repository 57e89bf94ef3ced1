#pragma once

#include <cstdint>
#include <string>

#include "platform/core/file_types.h"

namespace database {

// Every engine operation returns one of these: 0 for success, a negative code otherwise. The
// database commands leave the code of their last operation in LastDatabaseError().
namespace code {
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kUnknown = -1;
inline constexpr int32_t kFileNotFound = -3;
inline constexpr int32_t kBadPath = -4;
inline constexpr int32_t kTooManyOpenFiles = -5;
inline constexpr int32_t kAccessDenied = -6;
inline constexpr int32_t kSeekFailed = -10;
inline constexpr int32_t kSharingViolation = -12;
inline constexpr int32_t kLockViolation = -13;
inline constexpr int32_t kDiskFull = -14;
inline constexpr int32_t kOpenFailed = -21;
inline constexpr int32_t kNotADatabase = -22;
inline constexpr int32_t kVersionTooHigh = -23;
inline constexpr int32_t kBadAlias = -24;
inline constexpr int32_t kBeforeFirst = -25;
inline constexpr int32_t kAfterLast = -26;
inline constexpr int32_t kNoDatabase = -27;
inline constexpr int32_t kLockFailed = -28;
inline constexpr int32_t kUnlockFailed = -29;
inline constexpr int32_t kIndexOpenFailed = -30;
inline constexpr int32_t kNotAnIndex = -31;
inline constexpr int32_t kIndexVersion = -32;
inline constexpr int32_t kIndexAlreadyOpen = -33;
inline constexpr int32_t kTooManyIndexes = -34;
inline constexpr int32_t kMemoReadFailed = -35;
inline constexpr int32_t kMemoVersion = -36;
inline constexpr int32_t kNotAMemoFile = -37;
inline constexpr int32_t kAlreadyOpen = -38;
inline constexpr int32_t kIndexFieldMissing = -43;
inline constexpr int32_t kOutOfMemory = -45;
inline constexpr int32_t kReadFieldFailed = -46;
inline constexpr int32_t kWriteFieldFailed = -47;
inline constexpr int32_t kFileSizeWrong = -48;
inline constexpr int32_t kIndexSizeWrong = -49;
inline constexpr int32_t kIndexFieldSize = -53;
inline constexpr int32_t kIndexFieldType = -54;
inline constexpr int32_t kIndexEntryMissing = -58;
inline constexpr int32_t kMemoAccessFailed = -59;
inline constexpr int32_t kNoCurrentRecord = -60;
inline constexpr int32_t kNoSuchField = -61;
inline constexpr int32_t kReadRecordFailed = -62;
inline constexpr int32_t kWriteRecordFailed = -63;
inline constexpr int32_t kIndexChangeFailed = -64;
inline constexpr int32_t kRecordCountFailed = -65;
inline constexpr int32_t kNoCurrentDatabase = -67;
inline constexpr int32_t kValueTypeMismatch = -72;
inline constexpr int32_t kExpressionType = -76;
inline constexpr int32_t kWrongPassword = -78;
// A memo chain that breaks off (a link out of the file or back into itself, a used count out
// of range): "the memo file ... is damaged". Distinct from kMemoAccessFailed, a read or write
// of the memo file that the system refused.
inline constexpr int32_t kMemoChainDamaged = kNotAMemoFile;
// The open files are no longer the files at their paths (another program copied or renamed a
// file over them, or deleted or shortened one): nothing more is written into them.
inline constexpr int32_t kFilesReplaced = -90;
// Whether the open files are still the files at their paths could not be asked now (the
// system did not answer: a network folder's passing I/O error): this write is refused, the
// next one asks again.
inline constexpr int32_t kFileCheckFailed = -92;
// An open for writing on a file system that takes no locks: refused, since neither its share
// mode nor its record locks could keep a second writer out.
inline constexpr int32_t kLocksUnsupported = -93;
// The journal of an interrupted pack is there but a read of it failed: the open is refused and
// the journal kept, since it may hold the only whole copy of the records.
inline constexpr int32_t kPackJournalUnreadable = -91;
}  // namespace code

// The message of a code (GBK): empty for 0, "未知错误" for a code without a message.
std::string ErrorText(int32_t error_code);

// The code of a failed file operation.
int32_t FileErrorCode(platform::FileError error);

// The code of a write that failed with `error` (File::last_error): kDiskFull when the disk had no
// room left, which an author can remedy, else `otherwise`.
inline int32_t WriteFailureCode(platform::FileError error, int32_t otherwise) {
  return error == platform::FileError::kDiskFull ? code::kDiskFull : otherwise;
}

}  // namespace database
