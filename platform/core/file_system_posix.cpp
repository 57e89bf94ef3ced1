#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/core/change_recording.h"
#include "platform/core/fault_injection.h"
#include "platform/core/file_system.h"
#include "platform/core/native_path.h"

namespace fs = std::filesystem;

namespace platform {
namespace {

// A descriptor closed when it goes out of scope.
class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() {
    if (fd_ != -1) close(fd_);
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

bool CopyContent(int from, int to) {
  char buffer[64 * 1024];
  for (;;) {
    ssize_t n = read(from, buffer, sizeof buffer);
    if (n == -1 && errno == EINTR) continue;
    if (n == -1) return false;
    if (n == 0) return true;
    for (ssize_t done = 0; done < n;) {
      const ssize_t written = write(to, buffer + done, static_cast<size_t>(n - done));
      if (written == -1 && errno == EINTR) continue;
      if (written == -1) return false;
      done += written;
    }
  }
}

// Makes a rename in `folder` durable. Best effort: some file systems refuse to sync a folder.
void SyncFolder(const fs::path& folder) {
  ScopedFd fd(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() != -1) fsync(fd.get());
}

}  // namespace

bool CreateDirectory(std::string_view gbk_path) {
  std::error_code error;
  return fs::create_directory(FsPath(gbk_path), error) && !error;
}

bool MakePrivateDirectory(std::string_view gbk_path) {
  const std::string native = NativePath(gbk_path);
  if (mkdir(native.c_str(), 0700) == 0) return true;
  if (errno != EEXIST) return false;
  struct stat status {};
  if (lstat(native.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
      status.st_uid != geteuid()) {
    return false;
  }
  return (status.st_mode & 077) == 0 || chmod(native.c_str(), 0700) == 0;
}

bool RemoveDirectory(std::string_view gbk_path) {
  const fs::path path = FsPath(gbk_path);
  std::error_code error;
  if (!fs::is_directory(fs::symlink_status(path, error))) return false;
  return fs::remove(path, error) && !error;
}

bool DeleteFile(std::string_view gbk_path) {
  const fs::path path = FsPath(gbk_path);
  std::error_code error;
  const fs::file_status status = fs::symlink_status(path, error);
  if (error || !fs::exists(status) || fs::is_directory(status)) return false;
  if (!fs::remove(path, error) || error) return false;
  NoteDeleted(gbk_path);
  return true;
}

bool CopyFile(std::string_view gbk_source, std::string_view gbk_target, bool fail_if_exists) {
  const fs::path source = FsPath(gbk_source);
  const fs::path target = FsPath(gbk_target);
  std::error_code error;
  if (fail_if_exists && fs::exists(fs::symlink_status(target, error))) return false;
  if (LiesOnFullDisk(gbk_target)) return false;  // the copy's bytes would not fit

  ScopedFd from(open(source.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat status {};
  if (from.get() == -1 || fstat(from.get(), &status) == -1 || S_ISDIR(status.st_mode)) {
    return false;
  }
  const fs::path folder = target.parent_path();
  std::string temporary = (folder / ".inkstone-copy-XXXXXX").string();
  ScopedFd to(mkstemp(temporary.data()));
  if (to.get() == -1) return false;

  const timespec times[2] = {status.st_atim, status.st_mtim};
  bool ok = CopyContent(from.get(), to.get()) && fchmod(to.get(), status.st_mode & 07777) == 0 &&
            futimens(to.get(), times) == 0 && fsync(to.get()) == 0;
  if (ok) {
    if (fail_if_exists) {
      // link() refuses an existing target atomically, where a rename would replace it. On a file
      // system without hard links, fall back to checking first.
      if (link(temporary.c_str(), target.c_str()) == 0) {
        unlink(temporary.c_str());
      } else if (errno != EEXIST && !fs::exists(fs::symlink_status(target, error))) {
        ok = rename(temporary.c_str(), target.c_str()) == 0;
      } else {
        ok = false;
      }
    } else {
      ok = rename(temporary.c_str(), target.c_str()) == 0;
    }
  }
  if (!ok) {
    unlink(temporary.c_str());
    return false;
  }
  SyncFolder(folder);
  return true;
}

bool FileExists(std::string_view gbk_path) {
  std::error_code error;
  const fs::file_status status = fs::status(FsPath(gbk_path), error);
  return !error && fs::exists(status) && !fs::is_directory(status);
}

bool DirectoryExists(std::string_view gbk_path) {
  std::error_code error;
  return fs::is_directory(FsPath(gbk_path), error);
}

bool RenameFile(std::string_view gbk_from, std::string_view gbk_to) {
  std::error_code error;
  fs::rename(FsPath(gbk_from), FsPath(gbk_to), error);
  return !error;
}

}  // namespace platform
