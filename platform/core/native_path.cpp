#include "platform/core/native_path.h"

#include <algorithm>

#include "platform/core/code_page.h"

namespace platform {

std::string NativePath(std::string_view gbk_path) {
  std::string path = GbkToUtf8(gbk_path);
#ifndef _WIN32
  std::replace(path.begin(), path.end(), '\\', '/');
#endif
  return path;
}

std::string GbkPath(std::string_view native_path) {
  std::string path(native_path);
  std::replace(path.begin(), path.end(), '/', '\\');
  return Utf8ToGbk(path);
}

std::filesystem::path FsPath(std::string_view gbk_path) {
  const std::string utf8 = NativePath(gbk_path);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string GbkPathOf(const std::filesystem::path& path) {
  const std::u8string utf8 = path.u8string();
  return GbkPath(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

size_t NativeNameLength(std::string_view gbk_name) {
#ifdef _WIN32
  return GbkToUtf16(gbk_name).size();
#else
  return GbkToUtf8(gbk_name).size();
#endif
}

}  // namespace platform
