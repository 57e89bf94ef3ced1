// A fake desktop handler for tests of what the program hands the browser: while it lives,
// the first folder on PATH holds an "xdg-open" that writes its arguments, one a line, to a
// file there (written whole, then renamed, so a reader never sees half of it).
#pragma once

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace test_support {

class FakeBrowser {
 public:
  FakeBrowser()
      : folder_(std::filesystem::temp_directory_path() / ("inkstone-browser-" + std::to_string(getpid()) + "-" +
                                                          std::to_string(serial_++))),
        old_path_(std::getenv("PATH") != nullptr ? std::getenv("PATH") : "") {
    std::filesystem::create_directories(folder_);
    const std::string bin = folder_.string();
    const std::filesystem::path script = folder_ / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" << bin << "/handed.tmp\" && mv \"" << bin
                          << "/handed.tmp\" \"" << bin << "/handed.txt\"\n";
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    setenv("PATH", (bin + ":" + old_path_).c_str(), 1);
  }
  ~FakeBrowser() {
    setenv("PATH", old_path_.c_str(), 1);
    std::filesystem::remove_all(folder_);
  }
  FakeBrowser(const FakeBrowser&) = delete;
  FakeBrowser& operator=(const FakeBrowser&) = delete;

  // Forgets what it was handed, so that the next hand-over can be waited for.
  void Forget() const { std::filesystem::remove(folder_ / "handed.txt"); }

  // What the browser was handed, once it has been (empty after `timeout`).
  std::string Handed(std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      std::ifstream in(folder_ / "handed.txt");
      std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (!content.empty()) return content;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return {};
  }

 private:
  static inline int serial_ = 0;
  std::filesystem::path folder_;
  std::string old_path_;
};

}  // namespace test_support
