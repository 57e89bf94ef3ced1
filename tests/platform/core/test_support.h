#ifndef INKSTONE_TESTS_PLATFORM_CORE_TEST_SUPPORT_H_
#define INKSTONE_TESTS_PLATFORM_CORE_TEST_SUPPORT_H_

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "platform/core/code_page.h"
#include "platform/core/native_path.h"

namespace platform::core_test {

// GBK bytes of a UTF-8 literal.
inline std::string Gbk(std::string_view utf8) { return Utf8ToGbk(utf8); }

inline void WriteNative(const std::filesystem::path& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

inline std::string ReadNative(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = std::filesystem::temp_directory_path() /
              ("inkstone-core-" + std::to_string(random()) + std::to_string(random()));
      std::error_code error;
      if (std::filesystem::create_directory(path_, error)) return;
    }
    std::abort();
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, error);
    std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The native path of `utf8_name` inside the folder.
  std::filesystem::path Native(std::string_view utf8_name) const {
    return path_ / std::filesystem::path(std::u8string(utf8_name.begin(), utf8_name.end()));
  }
  // The GBK path (backslashes) of `utf8_name` inside the folder; "" names the folder itself.
  std::string GbkPath(std::string_view utf8_name = "") const {
    const std::string folder = GbkPathOf(path_);
    return utf8_name.empty() ? folder : folder + "\\" + Gbk(utf8_name);
  }

 private:
  std::filesystem::path path_;
};

}  // namespace platform::core_test

#endif  // INKSTONE_TESTS_PLATFORM_CORE_TEST_SUPPORT_H_
