#ifndef INKSTONE_PLATFORM_CORE_CHANGE_RECORDING_H_
#define INKSTONE_PLATFORM_CORE_CHANGE_RECORDING_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A hook for power-cut tests of the layers above; nothing in the product turns it on.
//
// While recording, every change that a File or DeleteFile makes to a file and that succeeded is
// kept, in the order made: enough to rebuild what a disk would hold if the power failed after any
// of them. The system keeps written bytes in memory and puts them on the disk in any order until
// a flush of their file; what the files held before the recording started, and a file's creation
// and deletion, count as already on the disk. (Renames and copies are not recorded.)

namespace platform {

struct FileChange {
  enum class Kind {
    kCreate,    // the file was created, or an existing one opened to be written anew (length 0)
    kWrite,     // `bytes` at `offset`
    kTruncate,  // the length set to `offset`
    kFlush,     // every change of the file before this one is on the disk
    kDelete,
  };
  Kind kind = Kind::kWrite;
  std::filesystem::path file;  // absolute and normal (AbsoluteNormalPath)
  int64_t offset = 0;
  std::string bytes;
};

void StartRecordingFileChanges();
// Stops and hands over what was recorded.
std::vector<FileChange> StopRecordingFileChanges();
// How many changes were recorded so far: a test marks its own steps by it.
size_t RecordedFileChangeCount();
// A copy of what was recorded so far; the recording goes on.
std::vector<FileChange> RecordedFileChanges();

// Called by File and DeleteFile after a change succeeded.
bool RecordingFileChanges();
void RecordFileChange(FileChange change);
// Records the deletion of the file at `gbk_path`.
void NoteDeleted(std::string_view gbk_path);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_CHANGE_RECORDING_H_
