// Files on the Windows API: the share modes and byte-range locks are the system's own.
#include <windows.h>

#include <utility>

#include "platform/core/file.h"
#include "platform/core/wide_path.h"

namespace platform {
namespace {

HANDLE Native(NativeHandle handle) { return reinterpret_cast<HANDLE>(handle); }

DWORD DesiredAccess(FileAccess access) {
  switch (access) {
    case FileAccess::kRead:
      return GENERIC_READ;
    case FileAccess::kWrite:
      return GENERIC_WRITE;
    case FileAccess::kReadWrite:
      return GENERIC_READ | GENERIC_WRITE;
  }
  return GENERIC_READ;
}

// What other handles may do. Every mode lets others rename or delete the file, as on the POSIX
// build, where no mode can forbid it: a file is replaced atomically by moving a new file, which
// its writer still holds open, over it.
DWORD ShareFlags(ShareMode share) {
  switch (share) {
    case ShareMode::kDenyNone:
      return FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    case ShareMode::kDenyRead:
      return FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    case ShareMode::kDenyWrite:
      return FILE_SHARE_READ | FILE_SHARE_DELETE;
    case ShareMode::kExclusive:
      return FILE_SHARE_DELETE;
  }
  return FILE_SHARE_DELETE;
}

DWORD CreationDisposition(Disposition disposition) {
  switch (disposition) {
    case Disposition::kOpenExisting:
      return OPEN_EXISTING;
    case Disposition::kCreateAlways:
      return CREATE_ALWAYS;
    case Disposition::kOpenAlways:
      return OPEN_ALWAYS;
    case Disposition::kCreateNew:
    case Disposition::kCreatePrivate:
      return CREATE_NEW;
  }
  return OPEN_EXISTING;
}

OVERLAPPED At(int64_t offset) {
  OVERLAPPED overlapped{};
  overlapped.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset));
  overlapped.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return overlapped;
}

DWORD ChunkOf(int64_t left) {
  constexpr int64_t kMaxChunk = int64_t{1} << 30;
  return static_cast<DWORD>(left < kMaxChunk ? left : kMaxChunk);
}

}  // namespace

FileResult File::Open(std::string_view gbk_path, FileAccess access, ShareMode share,
                      Disposition disposition) {
  const std::wstring path = WidePath(gbk_path);
  // A sharing violation is found before CREATE_ALWAYS truncates anything.
  const HANDLE handle =
      CreateFileW(path.c_str(), DesiredAccess(access), ShareFlags(share), nullptr,
                  CreationDisposition(disposition), FILE_ATTRIBUTE_NORMAL, nullptr);
  // A folder opened as a file is ERROR_ACCESS_DENIED, as on the POSIX build.
  if (handle == INVALID_HANDLE_VALUE) return {std::nullopt, LastFileError()};
  File file(reinterpret_cast<NativeHandle>(handle), access, gbk_path);
  file.NoteOpened(disposition);
  return {std::move(file), FileError::kNone};
}

void File::CloseHandle() { ::CloseHandle(Native(handle_)); }  // drops every lock of the handle

int64_t File::ReadAll(int64_t offset, char* bytes, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    OVERLAPPED overlapped = At(offset + done);
    DWORD read = 0;
    if (!ReadFile(Native(handle_), bytes + done, ChunkOf(count - done), &read, &overlapped)) {
      if (GetLastError() == ERROR_HANDLE_EOF) break;
      return -1;
    }
    if (read == 0) break;  // end of file
    done += read;
  }
  return done;
}

bool File::WriteAll(int64_t offset, const char* bytes, int64_t count) {
  int64_t done = 0;
  while (done < count) {
    OVERLAPPED overlapped = At(offset + done);
    DWORD written = 0;
    if (!WriteFile(Native(handle_), bytes + done, ChunkOf(count - done), &written, &overlapped)) {
      return false;
    }
    done += written;
  }
  return true;
}

bool File::TruncateTo(int64_t size) {
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = size;
  return SetFileInformationByHandle(Native(handle_), FileEndOfFileInfo, &end, sizeof end) != 0;
}

int64_t File::Size() {
  LARGE_INTEGER size{};
  if (!IsOpen() || !GetFileSizeEx(Native(handle_), &size)) return -1;
  return size.QuadPart;
}

bool File::FlushToDevice() { return FlushFileBuffers(Native(handle_)) != 0; }

FileError File::LastSystemError() { return LastFileError(); }

LockResult File::LockRange(int64_t offset, int64_t length) {
  OVERLAPPED overlapped = At(offset);
  const auto bytes = static_cast<uint64_t>(length);
  if (LockFileEx(Native(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                 static_cast<DWORD>(bytes), static_cast<DWORD>(bytes >> 32), &overlapped)) {
    return LockResult::kLocked;
  }
  switch (GetLastError()) {
    case ERROR_LOCK_VIOLATION:
    case ERROR_IO_PENDING:
      return LockResult::kLockViolation;
    case ERROR_NOT_SUPPORTED:
    case ERROR_INVALID_FUNCTION:
      return LockResult::kNotSupported;
    default:
      return LockResult::kIoError;
  }
}

bool File::UnlockRange(int64_t offset, int64_t length) {
  OVERLAPPED overlapped = At(offset);
  const auto bytes = static_cast<uint64_t>(length);
  if (UnlockFileEx(Native(handle_), 0, static_cast<DWORD>(bytes), static_cast<DWORD>(bytes >> 32),
                   &overlapped)) {
    return true;
  }
  // A range that TryLock reported as kNotSupported was never the system's.
  const DWORD error = GetLastError();
  return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION;
}

}  // namespace platform
