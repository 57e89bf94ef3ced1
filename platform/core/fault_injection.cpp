#include "platform/core/fault_injection.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/core/native_path.h"

namespace platform {
namespace {

std::atomic<int64_t> countdown{0};  // 0 = disarmed
std::atomic<FaultAction> armed_action{FaultAction::kFail};
std::atomic<int64_t> read_countdown{0};  // 0 = disarmed
std::atomic<int64_t> identity_countdown{0};  // 0 = disarmed
std::atomic<int64_t> flush_countdown{0};  // 0 = disarmed

// True when `path` is `folder` or lies inside it, compared by whole components.
bool IsInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
  auto inner = path.begin();
  for (auto outer = folder.begin(); outer != folder.end(); ++outer, ++inner) {
    if (outer->empty()) continue;  // the empty last component of a folder path ending in "/"
    if (inner == path.end() || *inner != *outer) return false;
  }
  return true;
}

// Folders declared to behave some way (full, lock-less). The flag spares every file call the
// lock while none is declared.
class DeclaredFolders {
 public:
  void Add(std::filesystem::path folder) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(folders_.begin(), folders_.end(), folder) == folders_.end()) {
      folders_.push_back(std::move(folder));
    }
    any_.store(true);
  }
  void Remove(const std::filesystem::path& folder) {
    const std::lock_guard<std::mutex> lock(mutex_);
    folders_.erase(std::remove(folders_.begin(), folders_.end(), folder), folders_.end());
    any_.store(!folders_.empty());
  }
  void Clear() {
    const std::lock_guard<std::mutex> lock(mutex_);
    folders_.clear();
    any_.store(false);
  }
  bool any() const { return any_.load(); }
  bool Holds(const std::filesystem::path& absolute_path) {
    if (!any_.load()) return false;
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::any_of(folders_.begin(), folders_.end(),
                       [&](const std::filesystem::path& folder) {
                         return IsInside(absolute_path, folder);
                       });
  }

 private:
  std::mutex mutex_;
  std::vector<std::filesystem::path> folders_;
  std::atomic<bool> any_{false};
};

DeclaredFolders full_folders;
DeclaredFolders lockless_folders;

// Counts one call against an armed countdown: true for the call it was armed for.
bool CountDown(std::atomic<int64_t>& left_calls) {
  int64_t left = left_calls.load();
  while (left > 0) {
    if (left_calls.compare_exchange_weak(left, left - 1)) return left == 1;
  }
  return false;
}

}  // namespace

void ArmFlushFault(int64_t nth) {
  assert(nth >= 1);
  flush_countdown = nth;
}

void DisarmFlushFault() { flush_countdown = 0; }

bool TakeFlushFault() { return CountDown(flush_countdown); }

std::filesystem::path AbsoluteNormalPath(std::string_view gbk_path) {
  std::error_code error;
  const std::filesystem::path native = FsPath(gbk_path);
  std::filesystem::path absolute = std::filesystem::absolute(native, error);
  if (error) absolute = native;
  return absolute.lexically_normal();
}

void DeclareFolderFull(std::string_view gbk_folder) {
  assert(!gbk_folder.empty());
  full_folders.Add(AbsoluteNormalPath(gbk_folder));
}

void DeclareFolderFree(std::string_view gbk_folder) {
  full_folders.Remove(AbsoluteNormalPath(gbk_folder));
}

void DeclareEveryFolderFree() { full_folders.Clear(); }

bool LiesOnFullDisk(const std::filesystem::path& absolute_path) {
  return full_folders.Holds(absolute_path);
}

bool LiesOnFullDisk(std::string_view gbk_path) {
  return full_folders.any() && LiesOnFullDisk(AbsoluteNormalPath(gbk_path));
}

void DeclareFolderLockless(std::string_view gbk_folder) {
  assert(!gbk_folder.empty());
  lockless_folders.Add(AbsoluteNormalPath(gbk_folder));
}

void DeclareFolderLocking(std::string_view gbk_folder) {
  lockless_folders.Remove(AbsoluteNormalPath(gbk_folder));
}

bool LiesOnLocklessFileSystem(const std::filesystem::path& absolute_path) {
  return lockless_folders.Holds(absolute_path);
}

void ArmFileFault(int64_t nth, FaultAction action) {
  assert(nth >= 1);
  armed_action.store(action);
  countdown.store(nth);
}

void DisarmFileFault() { countdown.store(0); }

std::optional<FaultAction> TakeFileFault() {
  if (CountDown(countdown)) return armed_action.load();
  return std::nullopt;
}

void ArmFileReadFault(int64_t nth) {
  assert(nth >= 1);
  read_countdown.store(nth);
}

void DisarmFileReadFault() { read_countdown.store(0); }

bool TakeReadFault() { return CountDown(read_countdown); }

void ArmIdentityFault(int64_t nth) {
  assert(nth >= 1);
  identity_countdown.store(nth);
}

void DisarmIdentityFault() { identity_countdown.store(0); }

bool TakeIdentityFault() { return CountDown(identity_countdown); }

void EndProcessForFault() { std::_Exit(kFaultExitCode); }

}  // namespace platform
