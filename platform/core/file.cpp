#include "platform/core/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string>
#include <utility>

#include "platform/core/fault_injection.h"
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

int OpenNative(const std::string& native_path, int flags) {
  int fd;
  do {
    fd = open(native_path.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd == -1 && errno == EINTR);
  return fd;
}

// For calls that cannot be torn: true when an armed fault makes this call fail; a fault that ends
// the process does so here.
bool FailsByFault() {
  const std::optional<FaultAction> fault = TakeFileFault();
  if (!fault) return false;
  if (*fault == FaultAction::kFail) return true;
  EndProcessForFault();
}

int LockRange(int fd, short type, int64_t offset, int64_t length) {
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

File::~File() { Close(); }

File::File(File&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), access_(other.access_), locked_(std::move(other.locked_)) {
  other.locked_.clear();
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
    access_ = other.access_;
    locked_ = std::move(other.locked_);
    other.locked_.clear();
  }
  return *this;
}

void File::Close() {
  if (fd_ != -1) {
    close(fd_);  // drops every lock of this open file description
    fd_ = -1;
  }
  locked_.clear();
}

FileResult File::Open(std::string_view gbk_path, FileAccess access, ShareMode share,
                      Disposition disposition) {
  const std::string native_path = NativePath(gbk_path);
  const int creation = CreationFlags(disposition);

  // The descriptor is opened for reading and writing whenever permissions allow, whatever the
  // requested access: an exclusive lock (the share-mode gate, TryLock) needs a writable descriptor,
  // and the platform lets a read-only handle take one. The requested access is enforced here.
  bool fd_writable = true;
  int fd = OpenNative(native_path, O_RDWR | creation);
  if (fd == -1 && access != FileAccess::kReadWrite &&
      (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY)) {
    fd_writable = access == FileAccess::kWrite;
    fd = OpenNative(native_path, (fd_writable ? O_WRONLY : O_RDONLY) | creation);
  }
  if (fd == -1) return {std::nullopt, OpenError(errno, native_path)};
  File file(fd, access);

  struct stat status {};
  if (fstat(fd, &status) == -1) return {std::nullopt, FileError::kIoError};
  if (S_ISDIR(status.st_mode)) return {std::nullopt, FileError::kAccessDenied};

  const FileError shared = TakeShareMode(fd, fd_writable, access, share);
  if (shared != FileError::kNone) return {std::nullopt, shared};

  if (disposition == Disposition::kCreateAlways) {
    if (!fd_writable) return {std::nullopt, FileError::kAccessDenied};
    if (ftruncate(fd, 0) == -1) return {std::nullopt, FileError::kIoError};
  }
  return {std::move(file), FileError::kNone};
}

int64_t File::ReadAt(int64_t offset, void* buffer, int64_t count) {
  if (!CanRead() || offset < 0 || count < 0) return -1;
  auto* bytes = static_cast<char*>(buffer);
  int64_t done = 0;
  while (done < count) {
    const ssize_t n = pread(fd_, bytes + done, static_cast<size_t>(count - done), offset + done);
    if (n == -1) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (n == 0) break;  // end of file
    done += n;
  }
  return done;
}

int64_t File::WriteAt(int64_t offset, const void* buffer, int64_t count) {
  if (!CanWrite() || offset < 0 || count < 0) return -1;
  const std::optional<FaultAction> fault = TakeFileFault();
  int64_t to_write = count;
  if (fault == FaultAction::kFail) return -1;
  if (fault == FaultAction::kExit) EndProcessForFault();
  if (fault == FaultAction::kTornWrite) to_write = count / 2;

  const auto* bytes = static_cast<const char*>(buffer);
  int64_t done = 0;
  while (done < to_write) {
    const ssize_t n =
        pwrite(fd_, bytes + done, static_cast<size_t>(to_write - done), offset + done);
    if (n == -1) {
      if (errno == EINTR) continue;
      return -1;
    }
    done += n;
  }
  if (fault) EndProcessForFault();
  return count;
}

bool File::Truncate(int64_t size) {
  if (!CanWrite() || size < 0 || FailsByFault()) return false;
  int rc;
  do {
    rc = ftruncate(fd_, size);
  } while (rc == -1 && errno == EINTR);
  return rc == 0;
}

int64_t File::Size() {
  struct stat status {};
  if (fd_ == -1 || fstat(fd_, &status) == -1) return -1;
  return status.st_size;
}

bool File::Flush() {
  if (fd_ == -1 || FailsByFault()) return false;
  return fsync(fd_) == 0;
}

LockResult File::TryLock(int64_t offset, int64_t length) {
  if (fd_ == -1 || offset < 0 || length < 0 || length > kReservedLockBase ||
      offset > kReservedLockBase - length) {
    return LockResult::kIoError;
  }
  if (length == 0) return LockResult::kLocked;
  const bool overlaps_own = std::any_of(locked_.begin(), locked_.end(), [&](const Range& range) {
    return offset < range.offset + range.length && range.offset < offset + length;
  });
  if (overlaps_own) return LockResult::kLockViolation;

  LockResult result = LockResult::kLocked;
  if (LockRange(fd_, F_WRLCK, offset, length) == -1) {
    switch (errno) {
      case EAGAIN:
      case EACCES:
        return LockResult::kLockViolation;
      case EINVAL:
      case ENOLCK:
      case EOPNOTSUPP:
      case EBADF:  // a read-only descriptor (the file is not writable): no exclusive locks
        result = LockResult::kNotSupported;
        break;
      default:
        return LockResult::kIoError;
    }
  }
  locked_.push_back({offset, length});
  return result;
}

bool File::Unlock(int64_t offset, int64_t length) {
  if (length == 0) return fd_ != -1;
  const auto held = std::find_if(locked_.begin(), locked_.end(), [&](const Range& range) {
    return range.offset == offset && range.length == length;
  });
  if (held == locked_.end()) return false;
  locked_.erase(held);
  if (LockRange(fd_, F_UNLCK, offset, length) == -1) {
    return errno == EINVAL || errno == ENOLCK || errno == EOPNOTSUPP || errno == EBADF;
  }
  return true;
}

}  // namespace platform
