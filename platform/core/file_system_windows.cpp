#include <windows.h>
// The system's names of these calls are macros for its "A" and "W" forms; this file defines the
// platform layer's functions of the same names and calls the "W" forms by their own names.
#undef CopyFile
#undef CreateDirectory
#undef DeleteFile
#undef RemoveDirectory

#include <string>

#include "platform/core/change_recording.h"
#include "platform/core/fault_injection.h"
#include "platform/core/file_system.h"
#include "platform/core/wide_path.h"

namespace platform {
namespace {

constexpr DWORD kNoAttributes = INVALID_FILE_ATTRIBUTES;

DWORD AttributesOf(std::string_view gbk_path) {
  return ::GetFileAttributesW(WidePath(gbk_path).c_str());
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  if (separator == std::wstring::npos) return L".";
  return path.substr(0, separator + 1);
}

// Forces a file's content to the storage device.
bool FlushFile(const std::wstring& path) {
  const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool flushed = ::FlushFileBuffers(handle) != 0;
  ::CloseHandle(handle);
  return flushed;
}

}  // namespace

bool CreateDirectory(std::string_view gbk_path) {
  return ::CreateDirectoryW(WidePath(gbk_path).c_str(), nullptr) != 0;
}

bool MakePrivateDirectory(std::string_view gbk_path) {
  const std::wstring path = WidePath(gbk_path);
  if (::CreateDirectoryW(path.c_str(), nullptr) != 0) return true;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool RemoveDirectory(std::string_view gbk_path) {
  return ::RemoveDirectoryW(WidePath(gbk_path).c_str()) != 0;
}

bool DeleteFile(std::string_view gbk_path) {
  if (::DeleteFileW(WidePath(gbk_path).c_str()) == 0) return false;
  NoteDeleted(gbk_path);
  return true;
}

bool CopyFile(std::string_view gbk_source, std::string_view gbk_target, bool fail_if_exists) {
  const std::wstring source = WidePath(gbk_source);
  const std::wstring target = WidePath(gbk_target);
  const DWORD attributes = ::GetFileAttributesW(source.c_str());
  if (attributes == kNoAttributes || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  if (fail_if_exists && ::GetFileAttributesW(target.c_str()) != kNoAttributes) return false;
  if (LiesOnFullDisk(gbk_target)) return false;  // the copy's bytes would not fit

  // The copy (content, attributes, times) goes to a temporary file in the target's folder and is
  // then moved into place: the target is never seen half written, even after a crash.
  wchar_t temporary[MAX_PATH + 1] = {};
  if (::GetTempFileNameW(FolderOf(target).c_str(), L"ink", 0, temporary) == 0) return false;
  // A read-only source makes a read-only copy, which the move may not replace an old file with
  // until it is written; the attribute is put back after the move.
  bool ok = ::CopyFileW(source.c_str(), temporary, FALSE) != 0;
  const bool read_only = ok && (attributes & FILE_ATTRIBUTE_READONLY);
  if (read_only) ::SetFileAttributesW(temporary, attributes & ~FILE_ATTRIBUTE_READONLY);
  ok = ok && FlushFile(temporary);
  // Without MOVEFILE_REPLACE_EXISTING the move refuses an existing target atomically.
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (fail_if_exists ? 0 : MOVEFILE_REPLACE_EXISTING);
  ok = ok && ::MoveFileExW(temporary, target.c_str(), flags) != 0;
  if (!ok) {
    ::DeleteFileW(temporary);
    return false;
  }
  if (read_only) ::SetFileAttributesW(target.c_str(), attributes);
  return true;
}

bool FileExists(std::string_view gbk_path) {
  const DWORD attributes = AttributesOf(gbk_path);
  return attributes != kNoAttributes && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(std::string_view gbk_path) {
  const DWORD attributes = AttributesOf(gbk_path);
  return attributes != kNoAttributes && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool RenameFile(std::string_view gbk_from, std::string_view gbk_to) {
  return ::MoveFileExW(WidePath(gbk_from).c_str(), WidePath(gbk_to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace platform
