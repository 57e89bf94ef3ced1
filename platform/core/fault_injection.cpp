#include "platform/core/fault_injection.h"

#include <atomic>
#include <cassert>
#include <cstdlib>

namespace platform {
namespace {

std::atomic<int64_t> countdown{0};  // 0 = disarmed
std::atomic<FaultAction> armed_action{FaultAction::kFail};

}  // namespace

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

void EndProcessForFault() { std::_Exit(kFaultExitCode); }

}  // namespace platform
