#include "units/base/unit_base.h"

#include "runtime/runtime_callback.h"

namespace units {

forms::EventOutcome UnitBase::FireEvent(int32_t event, std::initializer_list<int32_t> args) const {
  return forms::Fire(form_, IsWindowUnit() ? 0 : unit_, event, args);
}

void UnitBase::ReportDestroyed() const {
  runtime::RuntimeCallback(runtime::callback_code::kUnitDestroyed, static_cast<intptr_t>(form_),
                           static_cast<intptr_t>(IsWindowUnit() ? 0 : unit_));
}

}  // namespace units
