#ifndef INKSTONE_PLATFORM_CORE_FILE_IDENTITY_H_
#define INKSTONE_PLATFORM_CORE_FILE_IDENTITY_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// Which file on which volume, and how many names it has: what tells whether the file an open
// handle reads is still the one its path names. (A file copied over keeps its identity; one
// renamed over the path, or deleted, does not.)
//   POSIX: the device and inode numbers and the link count of stat.
//   Windows: the volume serial number, the file index and the link count of
//   GetFileInformationByHandle.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t file = 0;
  uint64_t links = 0;  // 0: no name leads to the file any more

  bool SameFileAs(const FileIdentity& other) const {
    return volume == other.volume && file == other.file;
  }
};

// What a write leaves on a file: its length and the time of its last modification. Reading a
// file, or setting only its access time, changes neither; any write does (to the resolution of
// the system's clock: a write in the same tick as the one before may leave the same time).
struct FileStamp {
  int64_t size = 0;
  int64_t modified_ns = 0;  // since the epoch

  bool operator==(const FileStamp&) const = default;
};

// The identity of the file a GBK path names now; nullopt when there is none or it cannot be
// asked (the path is not followed past a missing file). `could_not_ask`, when given, tells the
// two apart: true when the system failed to answer (an I/O error, a stale network handle, no
// permission), false when the path names no file.
std::optional<FileIdentity> IdentityOfPath(std::string_view gbk_path,
                                           bool* could_not_ask = nullptr);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_FILE_IDENTITY_H_
