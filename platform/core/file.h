#ifndef INKSTONE_PLATFORM_CORE_FILE_H_
#define INKSTONE_PLATFORM_CORE_FILE_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/core/file_identity.h"
#include "platform/core/file_types.h"

namespace platform {

struct FileResult;

// The system's own handle of an open file.
#ifdef _WIN32
using NativeHandle = intptr_t;  // a HANDLE; -1 is INVALID_HANDLE_VALUE
#else
using NativeHandle = int;  // a file descriptor
#endif
inline constexpr NativeHandle kNoHandle = -1;

// An open file with the platform's share modes and exclusive byte-range locks. Two Files behave as
// two handles: they conflict with each other whether they are in one process or in two, and closing
// one never releases the share mode or the locks of another.
//
// Byte-range locks follow the platform's rules rather than POSIX ones: a File cannot lock a range
// overlapping one it already holds (kLockViolation), and Unlock must name exactly a range that was
// locked. Ranges must end at or before kReservedLockBase (file_types.h).
class File {
 public:
  File() = default;  // a closed file
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Opens or creates the file at a GBK path. On a sharing violation nothing is changed, not even
  // by kCreateAlways.
  static FileResult Open(std::string_view gbk_path, FileAccess access, ShareMode share,
                         Disposition disposition);

  bool IsOpen() const { return handle_ != kNoHandle; }
  FileAccess access() const { return access_; }
  // Closes the file, dropping its share mode and locks. Safe on a closed file.
  void Close();

  // Reads up to `count` bytes at `offset`. Returns the bytes read (fewer only at the end of the
  // file), or -1 on error or without read access.
  int64_t ReadAt(int64_t offset, void* buffer, int64_t count);
  // Writes all `count` bytes at `offset`, extending the file as needed. Returns `count`, or -1 on
  // error or without write access.
  int64_t WriteAt(int64_t offset, const void* buffer, int64_t count);
  // Sets the file's length. Requires write access.
  bool Truncate(int64_t size);
  // The file's length in bytes, -1 on error.
  int64_t Size();
  // Forces written data to the storage device.
  bool Flush();
  // Which file this is and how many names it has now (file_identity.h); nullopt on a closed
  // file or when the system cannot tell.
  std::optional<FileIdentity> Identity() const;
  // The file's length and modification time now (file_identity.h); nullopt on a closed file,
  // when the system cannot tell, and on Windows, which keeps every other writer out of a file
  // opened to deny writing and may set a write time after the write that made it.
  std::optional<FileStamp> Stamp() const;
  // How many WriteAt and Truncate calls this File has tried (failed ones too): a reader that
  // keeps bytes it read knows by it whether this File may have changed them since.
  uint64_t change_count() const { return changes_; }
  // True when a WriteAt or Truncate was tried since the last Flush that worked: what it wrote
  // may not be on the disk yet.
  bool HasUnflushedChanges() const { return changes_ != flushed_changes_; }
  // False when the share mode asked at the open could not be enforced: the file system takes
  // no locks (a network folder without a lock service) or the descriptor is write-only, so the
  // file was opened unguarded. Byte-range locks then answer kNotSupported too. A caller that
  // must keep other writers out refuses such an open. (Windows enforces share modes itself.)
  bool share_mode_enforced() const { return share_mode_enforced_; }
  // Why the last WriteAt, Truncate or Flush that failed failed (kDiskFull: no room left on the
  // disk); kNone while none has failed.
  FileError last_error() const { return last_error_; }

  // Takes an exclusive lock on [offset, offset + length) without waiting. A zero length locks
  // nothing and succeeds.
  LockResult TryLock(int64_t offset, int64_t length);
  // Releases a range taken by TryLock (also one that returned kNotSupported). False if no such
  // range is held.
  bool Unlock(int64_t offset, int64_t length);

 private:
  friend class FileView;
  struct Range {
    int64_t offset;
    int64_t length;
  };

  // Takes over an open handle of the file at `gbk_path`.
  File(NativeHandle handle, FileAccess access, std::string_view gbk_path);

  bool CanRead() const { return IsOpen() && access_ != FileAccess::kWrite; }
  bool CanWrite() const { return IsOpen() && access_ != FileAccess::kRead; }

  // The system's side of Close, ReadAt, WriteAt, Truncate, Flush, TryLock and Unlock, on an open
  // file with valid arguments.
  void CloseHandle();
  int64_t ReadAll(int64_t offset, char* bytes, int64_t count);
  bool WriteAll(int64_t offset, const char* bytes, int64_t count);
  bool TruncateTo(int64_t size);
  bool FlushToDevice();
  LockResult LockRange(int64_t offset, int64_t length);
  bool UnlockRange(int64_t offset, int64_t length);
  // The system's reason for the failure of the call just made, as a FileError.
  static FileError LastSystemError();
  // Fails a call (-1 or false to its caller) with `error`.
  void Failed(FileError error) { last_error_ = error; }
  // Records an open that created the file or emptied it (change_recording.h).
  void NoteOpened(Disposition disposition) const;

  NativeHandle handle_ = kNoHandle;
  FileAccess access_ = FileAccess::kRead;
  std::vector<Range> locked_;   // what TryLock granted, to apply the platform's overlap rules
  std::filesystem::path path_;  // absolute and normal: where the test hooks look (full, lock-less)
  FileError last_error_ = FileError::kNone;
  uint64_t changes_ = 0;
  uint64_t flushed_changes_ = 0;  // changes_ when the last Flush that worked began
  bool share_mode_enforced_ = true;
};

struct FileResult {
  std::optional<File> file;  // set exactly when error == kNone
  FileError error = FileError::kNone;

  bool ok() const { return file.has_value(); }
};

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_FILE_H_
