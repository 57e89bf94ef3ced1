#ifndef INKSTONE_PLATFORM_CORE_SHARE_MODES_H_
#define INKSTONE_PLATFORM_CORE_SHARE_MODES_H_

#include <cstdint>

#include "platform/core/file_types.h"

// Share modes are emulated with open-file-description locks on reserved bytes past the lockable
// range. Each open holds a shared (read) lock on one byte per property it has:
//
//   offset                   meaning while some open holds a shared lock on it
//   kReservedLockBase + 0    gate: held exclusively, briefly, while an open checks and takes marks
//   kReservedLockBase + 1    the open has read access
//   kReservedLockBase + 2    the open has write access
//   kReservedLockBase + 3    the open denies read
//   kReservedLockBase + 4    the open denies write
//
// A new open first takes its own marks, then asks (F_OFD_GETLK) whether any other open description
// holds the conflicting marks. Because every open takes before it checks, two conflicting opens
// never both succeed; the gate keeps two of them from both failing. Since the locks belong to the
// open file description, they vanish with its last descriptor and never with another File's.

namespace platform {

// Takes the marks of an open with `access` and `share` on the open file description of `fd`.
// `fd_writable`: the descriptor is open for writing, which an exclusive lock on the gate needs.
// Returns kNone when the marks are taken (or the file system has no locks, or the descriptor is
// write-only, so nothing can be enforced: then `*enforced` is set false), kSharingViolation
// when another open conflicts (no marks are left behind), kIoError otherwise.
FileError TakeShareMode(int fd, bool fd_writable, FileAccess access, ShareMode share,
                        bool* enforced);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_SHARE_MODES_H_
