#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/core/fault_injection.h"
#include "platform/core/file.h"
#include "platform/core/native_path.h"
#include "platform/core/share_modes.h"

namespace platform {
namespace {

int CreationFlags(Disposition disposition) {
  switch (disposition) {
    case Disposition::kOpenExisting:
      return 0;
    case Disposition::kCreateAlways:  // truncated only after the share check
    case Disposition::kOpenAlways:
      return O_CREAT;
    case Disposition::kCreateNew:
      return O_CREAT | O_EXCL;
    case Disposition::kCreatePrivate:
      return O_CREAT | O_EXCL | O_NOFOLLOW;
  }
  return 0;
}

bool ParentIsDirectory(const std::string& native_path) {
  std::filesystem::path parent = std::filesystem::path(native_path).parent_path();
  if (parent.empty()) parent = ".";
  std::error_code error;
  return std::filesystem::is_directory(parent, error);
}

FileError OpenError(int error, const std::string& native_path) {
  switch (error) {
    case ENOENT:
      return ParentIsDirectory(native_path) ? FileError::kNotFound : FileError::kPathNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
      return FileError::kPathNotFound;
    case EEXIST:
      return FileError::kAlreadyExists;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return FileError::kAccessDenied;
    default:
      return FileError::kIoError;
  }
}

int OpenNative(const std::string& native_path, int flags, mode_t mode) {
  int fd;
  do {
    fd = open(native_path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd == -1 && errno == EINTR);
  return fd;
}

int LockBytes(int fd, short type, int64_t offset, int64_t length) {
  struct flock lock {};  // l_pid must stay 0 for open-file-description locks
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = offset;
  lock.l_len = length;
  int rc;
  do {
    rc = fcntl(fd, F_OFD_SETLK, &lock);
  } while (rc == -1 && errno == EINTR);
  return rc;
}

}  // namespace

void File::CloseHandle() { close(handle_); }  // drops every lock of the open file description

FileResult File::Open(std::string_view gbk_path, FileAccess access, ShareMode share,
                      Disposition disposition) {
  const std::string native_path = NativePath(gbk_path);
  const int creation = CreationFlags(disposition);
  const mode_t mode = disposition == Disposition::kCreatePrivate ? 0600 : 0666;

  // The descriptor is opened for reading and writing whenever permissions allow, whatever the
  // requested access: an exclusive lock (the share-mode gate, TryLock) needs a writable descriptor,
  // and the platform lets a read-only handle take one. The requested access is enforced here.
  bool fd_writable = true;
  int fd = OpenNative(native_path, O_RDWR | creation, mode);
  if (fd == -1 && access != FileAccess::kReadWrite &&
      (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY)) {
    fd_writable = access == FileAccess::kWrite;
    fd = OpenNative(native_path, (fd_writable ? O_WRONLY : O_RDONLY) | creation, mode);
  }
  if (fd == -1) return {std::nullopt, OpenError(errno, native_path)};
  File file(fd, access, gbk_path);

  struct stat status {};
  if (fstat(fd, &status) == -1) return {std::nullopt, FileError::kIoError};
  if (S_ISDIR(status.st_mode)) return {std::nullopt, FileError::kAccessDenied};

  if (LiesOnLocklessFileSystem(file.path_)) {
    file.share_mode_enforced_ = false;  // as the lock calls of such a file system answer
  } else {
    const FileError shared =
        TakeShareMode(fd, fd_writable, access, share, &file.share_mode_enforced_);
    if (shared != FileError::kNone) return {std::nullopt, shared};
  }

  if (disposition == Disposition::kCreateAlways) {
    if (!fd_writable) return {std::nullopt, FileError::kAccessDenied};
    if (ftruncate(fd, 0) == -1) return {std::nullopt, FileError::kIoError};
  }
  file.NoteOpened(disposition);
  return {std::move(file), FileError::kNone};
}

int64_t File::ReadAll(int64_t offset, char* bytes, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n =
        pread(handle_, bytes + done, static_cast<size_t>(count - done), offset + done);
    if (n == -1) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;  // end of file
    done += n;
  }
  return done;
}

bool File::WriteAll(int64_t offset, const char* bytes, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    const ssize_t n =
        pwrite(handle_, bytes + done, static_cast<size_t>(count - done), offset + done);
    if (n == -1) {
      if (errno == EINTR) continue;
      return false;
    }
    done += n;
  }
  return true;
}

bool File::TruncateTo(int64_t size) {
  int rc;
  do {
    rc = ftruncate(handle_, size);
  } while (rc == -1 && errno == EINTR);
  return rc == 0;
}

int64_t File::Size() {
  struct stat status {};
  if (!IsOpen() || fstat(handle_, &status) == -1) return -1;
  return status.st_size;
}

// The data and what finding it needs (the size), not the times: a save rewrites blocks in
// place, and the inode's times would cost a journal commit per save.
bool File::FlushToDevice() { return fdatasync(handle_) == 0; }

FileError File::LastSystemError() {
  switch (errno) {
    case ENOSPC:
    case EDQUOT:
      return FileError::kDiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
    case EBADF:
      return FileError::kAccessDenied;
    default:
      return FileError::kIoError;
  }
}

LockResult File::LockRange(int64_t offset, int64_t length) {
  if (LiesOnLocklessFileSystem(path_)) return LockResult::kNotSupported;
  if (LockBytes(handle_, F_WRLCK, offset, length) == 0) return LockResult::kLocked;
  switch (errno) {
    case EAGAIN:
    case EACCES:
      return LockResult::kLockViolation;
    case EINVAL:
    case ENOLCK:
    case EOPNOTSUPP:
    case EBADF:  // a read-only descriptor (the file is not writable): no exclusive locks
      return LockResult::kNotSupported;
    default:
      return LockResult::kIoError;
  }
}

bool File::UnlockRange(int64_t offset, int64_t length) {
  if (LockBytes(handle_, F_UNLCK, offset, length) == -1) {
    return errno == EINVAL || errno == ENOLCK || errno == EOPNOTSUPP || errno == EBADF;
  }
  return true;
}

}  // namespace platform
