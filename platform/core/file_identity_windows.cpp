// File identity from GetFileInformationByHandle: volume serial number, file index, link count.
#include <windows.h>

#include <string>

#include "platform/core/fault_injection.h"
#include "platform/core/file.h"
#include "platform/core/file_identity.h"
#include "platform/core/wide_path.h"

namespace platform {
namespace {

std::optional<FileIdentity> IdentityOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information{};
  if (!GetFileInformationByHandle(handle, &information)) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber,
                      (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow,
                      information.nNumberOfLinks};
}

}  // namespace

std::optional<FileIdentity> IdentityOfPath(std::string_view gbk_path, bool* could_not_ask) {
  if (could_not_ask != nullptr) *could_not_ask = false;
  if (TakeIdentityFault()) {
    if (could_not_ask != nullptr) *could_not_ask = true;
    return std::nullopt;
  }
  const std::wstring path = WidePath(gbk_path);
  // No access asked and every sharing allowed: the look conflicts with no open of the file,
  // not even an exclusive one.
  const HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (could_not_ask != nullptr) {
      *could_not_ask = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    }
    return std::nullopt;
  }
  std::optional<FileIdentity> identity = IdentityOfHandle(handle);
  if (!identity && could_not_ask != nullptr) *could_not_ask = true;
  ::CloseHandle(handle);
  return identity;
}

std::optional<FileIdentity> File::Identity() const {
  if (!IsOpen() || TakeIdentityFault()) return std::nullopt;
  std::optional<FileIdentity> identity = IdentityOfHandle(reinterpret_cast<HANDLE>(handle_));
  // A file deleted while open keeps its name on Windows until the last handle closes, but is
  // marked for deletion: it is as good as unlinked.
  FILE_STANDARD_INFO standard{};
  if (identity &&
      GetFileInformationByHandleEx(reinterpret_cast<HANDLE>(handle_), FileStandardInfo, &standard,
                                   sizeof standard) &&
      standard.DeletePending) {
    identity->links = 0;
  }
  return identity;
}

std::optional<FileStamp> File::Stamp() const { return std::nullopt; }

}  // namespace platform
