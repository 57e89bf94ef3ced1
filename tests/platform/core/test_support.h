#ifndef INKSTONE_TESTS_PLATFORM_CORE_TEST_SUPPORT_H_
#define INKSTONE_TESTS_PLATFORM_CORE_TEST_SUPPORT_H_

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>

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
    std::string pattern =
        (std::filesystem::temp_directory_path() / "inkstone-core-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
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

// A forked child process. The child runs `body` and exits with its result, without returning into
// the test framework. The child can tell the parent it is ready (Signal/WaitReady) and wait for
// the parent's go-ahead (WaitGo/Go).
class Child {
 public:
  explicit Child(const std::function<int(Child&)>& body) {
    if (pipe(ready_) != 0 || pipe(go_) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      close(ready_[0]);
      close(go_[1]);
      _exit(body(*this));
    }
    close(ready_[1]);
    close(go_[0]);
  }
  ~Child() {
    if (pid_ > 0) Wait();
    close(ready_[0]);
    close(go_[1]);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // In the child.
  void Signal() {
    const char byte = 1;
    if (write(ready_[1], &byte, 1) != 1) _exit(100);
  }
  void WaitGo() {
    char byte;
    if (read(go_[0], &byte, 1) != 1) _exit(101);
  }

  // In the parent. False if the child ended without signalling.
  bool WaitReady() {
    char byte;
    return read(ready_[0], &byte, 1) == 1;
  }
  void Go() {
    const char byte = 1;
    if (write(go_[1], &byte, 1) != 1) std::abort();
  }
  // The child's exit code, or -1 if it did not exit normally.
  int Wait() {
    int status = 0;
    const pid_t pid = std::exchange(pid_, -1);
    if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }

 private:
  pid_t pid_ = -1;
  int ready_[2] = {-1, -1};
  int go_[2] = {-1, -1};
};

}  // namespace platform::core_test

#endif  // INKSTONE_TESTS_PLATFORM_CORE_TEST_SUPPORT_H_
