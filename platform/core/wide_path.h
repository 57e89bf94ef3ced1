#ifndef INKSTONE_PLATFORM_CORE_WIDE_PATH_H_
#define INKSTONE_PLATFORM_CORE_WIDE_PATH_H_

#include <string>
#include <string_view>

// Windows only: the system's paths are UTF-16 texts, and every call that takes one is a "W"
// call, so that a folder named 小说文件 is really named so whatever the user's ANSI code page.

namespace platform {

// GBK path → UTF-16 path with "\\" separators.
std::wstring WidePath(std::string_view gbk_path);

// The system's last error as a FileError.
enum class FileError;
FileError LastFileError();

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_WIDE_PATH_H_
