// File identity from stat: device, inode and link count.
#include <sys/stat.h>

#include <cerrno>

#include <string>

#include "platform/core/fault_injection.h"
#include "platform/core/file.h"
#include "platform/core/file_identity.h"
#include "platform/core/native_path.h"

namespace platform {
namespace {

FileIdentity IdentityOf(const struct stat& status) {
  return {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino),
          static_cast<uint64_t>(status.st_nlink)};
}

}  // namespace

std::optional<FileIdentity> IdentityOfPath(std::string_view gbk_path, bool* could_not_ask) {
  if (could_not_ask != nullptr) *could_not_ask = false;
  const std::string native = NativePath(gbk_path);
  struct stat status {};
  const bool fault = TakeIdentityFault();
  if (fault || stat(native.c_str(), &status) == -1) {
    if (could_not_ask != nullptr) *could_not_ask = fault || (errno != ENOENT && errno != ENOTDIR);
    return std::nullopt;
  }
  return IdentityOf(status);
}

std::optional<FileIdentity> File::Identity() const {
  struct stat status {};
  if (!IsOpen() || TakeIdentityFault() || fstat(handle_, &status) == -1) return std::nullopt;
  return IdentityOf(status);
}

std::optional<FileStamp> File::Stamp() const {
  struct stat status {};
  if (!IsOpen() || fstat(handle_, &status) == -1) return std::nullopt;
  return FileStamp{static_cast<int64_t>(status.st_size),
                   static_cast<int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                       status.st_mtim.tv_nsec};
}

}  // namespace platform
