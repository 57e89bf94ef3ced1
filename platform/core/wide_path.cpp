#include "platform/core/wide_path.h"

#include <windows.h>

#include <algorithm>

#include "platform/core/code_page.h"
#include "platform/core/file_types.h"

namespace platform {

std::wstring WidePath(std::string_view gbk_path) {
  // Swapped on the decoded text: a GBK trail byte can be 0x5C.
  const std::u16string utf16 = GbkToUtf16(gbk_path);
  std::wstring path(utf16.begin(), utf16.end());
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

FileError LastFileError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
      return FileError::kNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_INVALID_DRIVE:
      return FileError::kPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return FileError::kAccessDenied;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return FileError::kAlreadyExists;
    case ERROR_SHARING_VIOLATION:
      return FileError::kSharingViolation;
    case ERROR_LOCK_VIOLATION:
      return FileError::kLockViolation;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
      return FileError::kNotSupported;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileError::kDiskFull;
    default:
      return FileError::kIoError;
  }
}

}  // namespace platform
