#include "platform/core/share_modes.h"

#include <fcntl.h>

#include <array>
#include <cerrno>

namespace platform {
namespace {

enum ReservedByte : int64_t {
  kGate = 0,
  kHasRead = 1,
  kHasWrite = 2,
  kDeniesRead = 3,
  kDeniesWrite = 4,
};

int LockBytes(int fd, int command, short type, int64_t first, int64_t count) {
  struct flock lock {};  // l_pid must stay 0 for open-file-description locks
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = kReservedLockBase + first;
  lock.l_len = count;
  int rc;
  do {
    rc = fcntl(fd, command, &lock);
  } while (rc == -1 && errno == EINTR);
  return rc;
}

// Errors meaning "no lock can be taken here": a file system without locks, or (EBADF) a
// descriptor whose mode does not allow the lock type.
bool LocksUnavailable(int error) {
  return error == EINVAL || error == ENOLCK || error == EOPNOTSUPP || error == EBADF;
}

// 1 when another open file description holds a lock on the byte, 0 when none does, -1 on error.
int HeldByOther(int fd, int64_t byte) {
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = kReservedLockBase + byte;
  probe.l_len = 1;
  if (fcntl(fd, F_OFD_GETLK, &probe) == -1) return -1;
  return probe.l_type == F_UNLCK ? 0 : 1;
}

}  // namespace

FileError TakeShareMode(int fd, bool fd_writable, FileAccess access, ShareMode share,
                        bool* enforced) {
  *enforced = true;
  struct Mark {
    bool present;
    int64_t byte;       // the mark this open takes
    int64_t conflicts;  // the mark of another open that rules this one out
  };
  const bool denies_read = share == ShareMode::kDenyRead || share == ShareMode::kExclusive;
  const bool denies_write = share == ShareMode::kDenyWrite || share == ShareMode::kExclusive;
  const std::array<Mark, 4> marks = {{
      {access != FileAccess::kWrite, kHasRead, kDeniesRead},
      {access != FileAccess::kRead, kHasWrite, kDeniesWrite},
      {denies_read, kDeniesRead, kHasRead},
      {denies_write, kDeniesWrite, kHasWrite},
  }};

  bool gated = false;
  if (fd_writable) {
    if (LockBytes(fd, F_OFD_SETLKW, F_WRLCK, kGate, 1) == 0) {
      gated = true;
    } else {
      if (!LocksUnavailable(errno)) return FileError::kIoError;
      *enforced = false;
      return FileError::kNone;
    }
  }
  auto release = [&](FileError result) {
    if (result != FileError::kNone) LockBytes(fd, F_OFD_SETLK, F_UNLCK, kHasRead, 4);
    if (gated) LockBytes(fd, F_OFD_SETLK, F_UNLCK, kGate, 1);
    return result;
  };

  for (const Mark& mark : marks) {
    if (!mark.present) continue;
    if (LockBytes(fd, F_OFD_SETLK, F_RDLCK, mark.byte, 1) == -1) {
      if (LocksUnavailable(errno)) {
        // Nothing can be enforced on this descriptor; drop what was taken and open unguarded.
        release(FileError::kIoError);
        *enforced = false;
        return FileError::kNone;
      }
      return release(FileError::kIoError);
    }
  }
  for (const Mark& mark : marks) {
    if (!mark.present) continue;
    const int held = HeldByOther(fd, mark.conflicts);
    if (held == -1) return release(FileError::kIoError);
    if (held == 1) return release(FileError::kSharingViolation);
  }
  return release(FileError::kNone);
}

}  // namespace platform
