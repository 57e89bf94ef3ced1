#ifndef INKSTONE_PLATFORM_CORE_FILE_TYPES_H_
#define INKSTONE_PLATFORM_CORE_FILE_TYPES_H_

#include <cstdint>

// The vocabulary of File, shared by the share-mode emulation and the retry rule.

namespace platform {

// The first byte offset that File::TryLock refuses; the database locks bytes 0 … 0x7FFFFFFF. (The
// share-mode emulation of the POSIX build keeps its marks from here on.)
inline constexpr int64_t kReservedLockBase = int64_t{1} << 32;

enum class FileAccess { kRead, kWrite, kReadWrite };

// What other opens of the same file may do while this one is open. An open fails with a sharing
// violation when its access conflicts with the deny mode of any other open, or its deny mode
// conflicts with the access of any other open, even when both opens are in one process.
enum class ShareMode { kDenyNone, kDenyRead, kDenyWrite, kExclusive };

enum class Disposition {
  kOpenExisting,  // fail with kNotFound if the file is missing
  kCreateAlways,  // create, or truncate an existing file to 0 bytes
  kOpenAlways,    // open, creating the file if it is missing
  kCreateNew,     // create; fail with kAlreadyExists if the file exists
  // As kCreateNew (a link at the path is never followed), readable and writable by its owner
  // alone on POSIX systems: for an author's text in a folder others may read. (On Windows as
  // kCreateNew: the per-user folders such files go into keep others out already.)
  kCreatePrivate,
};

enum class FileError {
  kNone,
  kNotFound,          // the file is missing, its folder exists
  kPathNotFound,      // a folder on the way is missing
  kAccessDenied,      // no permission, a read-only file opened for writing, or a folder
  kAlreadyExists,     // kCreateNew on an existing file
  kSharingViolation,  // another open's share mode or access conflicts with this one
  kLockViolation,
  kIoError,
  kNotSupported,
  kDiskFull,  // no room left on the disk that holds the file
};

enum class LockResult {
  kLocked,
  kLockViolation,  // another open holds an overlapping lock
  kNotSupported,   // the file system has no byte-range locks; callers proceed as if locked
  kIoError,
};

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_FILE_TYPES_H_
