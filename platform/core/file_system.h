#ifndef INKSTONE_PLATFORM_CORE_FILE_SYSTEM_H_
#define INKSTONE_PLATFORM_CORE_FILE_SYSTEM_H_

#include <string_view>

// Folder and file operations on GBK paths. Each returns false on any failure.

namespace platform {

// Creates one folder. False if it exists or its parent is missing.
bool CreateDirectory(std::string_view gbk_path);
// Makes sure `gbk_path` is a folder of this user's alone: created (readable, writable and
// listable by its owner only) when missing; an existing one is taken only when it is a real
// folder (not a link) owned by this user, and is then closed to others. False otherwise. (On
// Windows a folder is created or taken as it is: such folders lie in the user's own profile.)
bool MakePrivateDirectory(std::string_view gbk_path);
// Removes an empty folder.
bool RemoveDirectory(std::string_view gbk_path);
// Deletes a file (never a folder).
bool DeleteFile(std::string_view gbk_path);
// Copies a file's content, permissions and modification time. The copy is written to a temporary
// file in the target's folder and then renamed into place, so the target is never seen half
// written, even after a crash. With fail_if_exists, an existing target is left alone and the call
// fails.
bool CopyFile(std::string_view gbk_source, std::string_view gbk_target, bool fail_if_exists);
// True for anything that exists and is not a folder.
bool FileExists(std::string_view gbk_path);
bool DirectoryExists(std::string_view gbk_path);
// Renames or moves a file or folder within one volume, replacing an existing target file.
bool RenameFile(std::string_view gbk_from, std::string_view gbk_to);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_FILE_SYSTEM_H_
