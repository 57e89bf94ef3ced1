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

// The folders declared full. The flag spares every write the lock while none is.
std::mutex full_folders_mutex;
std::vector<std::filesystem::path> full_folders;
std::atomic<bool> any_folder_full{false};

// True when `path` is `folder` or lies inside it, compared by whole components.
bool IsInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
  auto inner = path.begin();
  for (auto outer = folder.begin(); outer != folder.end(); ++outer, ++inner) {
    if (outer->empty()) continue;  // the empty last component of a folder path ending in "/"
    if (inner == path.end() || *inner != *outer) return false;
  }
  return true;
}

}  // namespace

std::filesystem::path AbsoluteNormalPath(std::string_view gbk_path) {
  std::error_code error;
  const std::filesystem::path native = FsPath(gbk_path);
  std::filesystem::path absolute = std::filesystem::absolute(native, error);
  if (error) absolute = native;
  return absolute.lexically_normal();
}

void DeclareFolderFull(std::string_view gbk_folder) {
  assert(!gbk_folder.empty());
  std::filesystem::path folder = AbsoluteNormalPath(gbk_folder);
  const std::lock_guard<std::mutex> lock(full_folders_mutex);
  if (std::find(full_folders.begin(), full_folders.end(), folder) == full_folders.end()) {
    full_folders.push_back(std::move(folder));
  }
  any_folder_full.store(true);
}

void DeclareFolderFree(std::string_view gbk_folder) {
  const std::filesystem::path folder = AbsoluteNormalPath(gbk_folder);
  const std::lock_guard<std::mutex> lock(full_folders_mutex);
  full_folders.erase(std::remove(full_folders.begin(), full_folders.end(), folder),
                     full_folders.end());
  any_folder_full.store(!full_folders.empty());
}

void DeclareEveryFolderFree() {
  const std::lock_guard<std::mutex> lock(full_folders_mutex);
  full_folders.clear();
  any_folder_full.store(false);
}

bool LiesOnFullDisk(const std::filesystem::path& absolute_path) {
  if (!any_folder_full.load()) return false;
  const std::lock_guard<std::mutex> lock(full_folders_mutex);
  return std::any_of(full_folders.begin(), full_folders.end(),
                     [&](const std::filesystem::path& folder) {
                       return IsInside(absolute_path, folder);
                     });
}

bool LiesOnFullDisk(std::string_view gbk_path) {
  return any_folder_full.load() && LiesOnFullDisk(AbsoluteNormalPath(gbk_path));
}

void ArmFileFault(int64_t nth, FaultAction action) {
  assert(nth >= 1);
  armed_action.store(action);
  countdown.store(nth);
}

void DisarmFileFault() { countdown.store(0); }

std::optional<FaultAction> TakeFileFault() {
  int64_t left = countdown.load();
  while (left > 0) {
    if (countdown.compare_exchange_weak(left, left - 1)) {
      if (left == 1) return armed_action.load();
      return std::nullopt;
    }
  }
  return std::nullopt;
}

void ArmFileReadFault(int64_t nth) {
  assert(nth >= 1);
  read_countdown.store(nth);
}

void DisarmFileReadFault() { read_countdown.store(0); }

bool TakeReadFault() {
  int64_t left = read_countdown.load();
  while (left > 0) {
    if (read_countdown.compare_exchange_weak(left, left - 1)) return left == 1;
  }
  return false;
}

void ArmIdentityFault(int64_t nth) {
  assert(nth >= 1);
  identity_countdown.store(nth);
}

void DisarmIdentityFault() { identity_countdown.store(0); }

bool TakeIdentityFault() {
  int64_t left = identity_countdown.load();
  while (left > 0) {
    if (identity_countdown.compare_exchange_weak(left, left - 1)) return left == 1;
  }
  return false;
}

void EndProcessForFault() { std::_Exit(kFaultExitCode); }

}  // namespace platform
