#include "runtime/runtime_state.h"

#include <memory>

namespace runtime {

namespace {
std::unique_ptr<RuntimeState>& StatePointer() {
  static std::unique_ptr<RuntimeState> state = std::make_unique<RuntimeState>();
  return state;
}
}  // namespace

RuntimeState& Runtime() { return *StatePointer(); }

void ResetRuntimeState() { StatePointer() = std::make_unique<RuntimeState>(); }

}  // namespace runtime
