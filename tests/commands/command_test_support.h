#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/core/native_path.h"
#include "runtime/arg_cell.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"

namespace commands_test {

using runtime::ArgCell;
using runtime::Gbk;

// A text result taken over (and freed) as a std::string.
inline std::string TakeText(const ArgCell& result) {
  return std::string(runtime::Text::FromResult(result).View());
}

// A byte-set result taken over (and freed) as a std::string of its bytes.
inline std::string TakeBytes(const ArgCell& result) {
  const runtime::ByteSet bytes = runtime::ByteSet::FromResult(result);
  return std::string(bytes.Bytes().begin(), bytes.Bytes().end());
}

inline std::string ReadNative(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteNative(const std::filesystem::path& path, std::string_view content) {
  std::ofstream(path, std::ios::binary) << content;
}

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "inkstone-commands-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The GBK path with "\" separators of `utf8_name` inside the folder ("" for the folder).
  std::string GbkPath(std::string_view utf8_name = "") const {
    const std::string folder = platform::GbkPathOf(path_);
    return utf8_name.empty() ? folder : folder + "\\" + Gbk(utf8_name);
  }
  // The native path of `utf8_name` inside the folder.
  std::filesystem::path Native(std::string_view utf8_name) const {
    return path_ / std::filesystem::path(std::u8string(utf8_name.begin(), utf8_name.end()));
  }

 private:
  std::filesystem::path path_;
};

}  // namespace commands_test
