#ifndef INKSTONE_PLATFORM_CORE_FAULT_INJECTION_H_
#define INKSTONE_PLATFORM_CORE_FAULT_INJECTION_H_

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

// Hooks for crash-safety tests of the layers above; nothing in the product arms them.
//
// A fault armed here strikes the n-th following write-like call on any File of the process
// (WriteAt, Truncate, Flush; n = 1 is the very next one) and then disarms itself.
//
// A read fault armed here makes the n-th following File::ReadAt of the process fail (-1, as an
// I/O error of the device would), reading nothing, and then disarms itself. It is counted apart
// from the write-like calls: both may be armed at once.
//
// A folder declared full behaves as a folder on a disk with no room left, until it is declared
// free again: every call that would put bytes on the disk for a file under it fails with
// FileError::kDiskFull (see File::last_error) and writes nothing — File::WriteAt of one byte or
// more, a File::Truncate that lengthens the file, CopyFile into it (and so the atomic file
// replacement of the commands, which writes through File). Reads, opens, renames, deletes,
// flushes and truncates that shorten go on as before, so files already there keep their bytes.
// Several folders may be full at once; the folders inside a full folder are full too.

namespace platform {

enum class FaultAction {
  kFail,       // the call fails without touching the file
  kTornWrite,  // WriteAt writes the first half of its bytes, then the process ends; other calls
               // behave as kExit
  kExit,       // the process ends before the call touches the file, as in a crash
};

// The exit code of a process ended by kTornWrite or kExit.
inline constexpr int kFaultExitCode = 86;

// Requires: nth >= 1.
void ArmFileFault(int64_t nth, FaultAction action);
void DisarmFileFault();

// Called by File before each write-like call: counts the call and returns the action to take now.
std::optional<FaultAction> TakeFileFault();

// Requires: nth >= 1.
void ArmFileReadFault(int64_t nth);
void DisarmFileReadFault();

// Called by File::ReadAt before it reads: counts the call and returns true when it must fail.
bool TakeReadFault();

// An identity fault armed here makes the n-th following look-up of a file's identity
// (IdentityOfPath, File::Identity) fail as a system that cannot answer does (an I/O error, a
// stale network handle), and then disarms itself. Requires: nth >= 1.
void ArmIdentityFault(int64_t nth);
void DisarmIdentityFault();
// Called by the look-ups before they ask the system: true when this one must fail.
bool TakeIdentityFault();

// A flush fault armed here makes the n-th following File::Flush of the process fail, as a device
// that reports an I/O error when asked to put the bytes down, and then disarms itself. It is
// counted apart from the write-like calls above (which count flushes too). Requires: nth >= 1.
void ArmFlushFault(int64_t nth);
void DisarmFlushFault();
// Called by File::Flush before it flushes: true when this one must fail.
bool TakeFlushFault();

// Requires: the folder path (GBK) is not empty. Relative paths are taken from the current folder.
void DeclareFolderFull(std::string_view gbk_folder);
void DeclareFolderFree(std::string_view gbk_folder);
void DeclareEveryFolderFree();

// A folder declared lock-less behaves as a folder on a file system that takes no locks (a
// network folder without a lock service), until it is declared locking again: File's share
// modes and byte-range locks see the system refuse every lock on files under it.
void DeclareFolderLockless(std::string_view gbk_folder);
void DeclareFolderLocking(std::string_view gbk_folder);
bool LiesOnLocklessFileSystem(const std::filesystem::path& absolute_path);

// True when a file at `gbk_path` lies on a folder declared full. The second form takes a path
// already made absolute and normal (AbsoluteNormalPath).
bool LiesOnFullDisk(std::string_view gbk_path);
bool LiesOnFullDisk(const std::filesystem::path& absolute_path);
// The absolute, lexically normal form of a GBK path, as the full-disk hook compares paths.
std::filesystem::path AbsoluteNormalPath(std::string_view gbk_path);

// Ends the process at once, without running destructors or flushing anything.
[[noreturn]] void EndProcessForFault();

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_FAULT_INJECTION_H_
