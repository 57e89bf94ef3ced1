#ifndef INKSTONE_PLATFORM_CORE_FAULT_INJECTION_H_
#define INKSTONE_PLATFORM_CORE_FAULT_INJECTION_H_

#include <cstdint>
#include <optional>

// A hook for crash-safety tests of the layers above: a fault armed here strikes the n-th following
// write-like call on any File of the process (WriteAt, Truncate, Flush; n = 1 is the very next one)
// and then disarms itself. Nothing in the product arms it.

namespace platform {

enum class FaultAction {
  kFail,       // the call fails without touching the file
  kTornWrite,  // WriteAt writes the first half of its bytes, then the process ends; other calls
               // behave as kExit
  kExit,       // the process ends before the call touches the file, as in a crash
};

// The exit code of a process ended by kTornWrite or kExit.
inline constexpr int kFaultExitCode = 86;

// Requires: nth >= 1.
void ArmFileFault(int64_t nth, FaultAction action);
void DisarmFileFault();

// Called by File before each write-like call: counts the call and returns the action to take now.
std::optional<FaultAction> TakeFileFault();

// Ends the process at once, without running destructors or flushing anything.
[[noreturn]] void EndProcessForFault();

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_FAULT_INJECTION_H_
