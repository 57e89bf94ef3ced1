#ifndef INKSTONE_PLATFORM_CORE_NATIVE_PATH_H_
#define INKSTONE_PLATFORM_CORE_NATIVE_PATH_H_

#include <filesystem>
#include <string>
#include <string_view>

// Paths inside the system are GBK texts with backslash separators ("\\work\\小说文件\\第一章.txt"
// in GBK bytes). At the edge they become native paths: UTF-8 with "/" on Linux, with "\\" on
// Windows. The separator is swapped on the decoded text, never on the GBK bytes, because a GBK
// trail byte can be 0x5C.

namespace platform {

// GBK path → native UTF-8 path with the system's separators.
std::string NativePath(std::string_view gbk_path);

// Native UTF-8 path → GBK path with "\\" separators.
std::string GbkPath(std::string_view native_path);

// GBK path → std::filesystem::path, built from UTF-8 so that it names the same file on every
// platform (a path built from a narrow string would use the ANSI code page on Windows).
std::filesystem::path FsPath(std::string_view gbk_path);

// std::filesystem::path → GBK path with "\\" separators.
std::string GbkPathOf(const std::filesystem::path& path);

// The longest file name (one path component) the file systems take, in the units they count.
inline constexpr size_t kLongestNativeName = 255;

// The length of a GBK file name in those units: bytes of UTF-8 on Linux, UTF-16 units on Windows.
size_t NativeNameLength(std::string_view gbk_name);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_NATIVE_PATH_H_
