#include "units/base/unit_base.h"

#include "platform/gui/window_handles.h"
#include "runtime/runtime_callback.h"
#include "units/base/common_events.h"

namespace units {

forms::EventOutcome UnitBase::FireEvent(int32_t event, std::initializer_list<int32_t> args) const {
  return forms::Fire(form_, IsWindowUnit() ? 0 : unit_, event, args);
}

void UnitBase::ReportDestroyed() const {
  runtime::RuntimeCallback(runtime::callback_code::kUnitDestroyed, static_cast<intptr_t>(form_),
                           static_cast<intptr_t>(IsWindowUnit() ? 0 : unit_));
}

bool UnitBase::HandleCommonMessage(const gui::Window& window, const gui::Message& message) const {
  const gui::WindowHandle handle = window.Handle();
  switch (message.id) {
    case gui::msg::kSetFocus:
      FireEvent(common_event::kFocusGained);
      break;
    case gui::msg::kKillFocus:
      FireEvent(common_event::kFocusLost);
      break;
    case gui::msg::kFinalDestroy:
      ReportDestroyed();
      return true;
    default:
      return true;
  }
  return gui::IsWindowAlive(handle);
}

}  // namespace units
