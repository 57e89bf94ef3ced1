#include "units/base/common_events.h"

#include "forms/event_dispatch.h"
#include "platform/gui/virtual_keys.h"

namespace units {

namespace {

int32_t EventOfMessage(uint32_t id) {
  switch (id) {
    case gui::msg::kLeftButtonDown: return common_event::kMouseLeftDown;
    case gui::msg::kLeftButtonUp: return common_event::kMouseLeftUp;
    case gui::msg::kLeftButtonDoubleClick: return common_event::kDoubleClick;
    case gui::msg::kRightButtonDown: return common_event::kMouseRightDown;
    case gui::msg::kRightButtonUp: return common_event::kMouseRightUp;
    case gui::msg::kMouseMove: return common_event::kMouseMove;
    case gui::msg::kKeyDown:
    case gui::msg::kSysKeyDown: return common_event::kKeyDown;
    case gui::msg::kKeyUp:
    case gui::msg::kSysKeyUp: return common_event::kKeyUp;
    case gui::msg::kChar: return common_event::kCharInput;
    case gui::msg::kMouseWheel: return common_event::kMouseWheel;
    default: return 0;
  }
}

}  // namespace

bool FireCommonEvent(forms::FormId form, forms::UnitId unit, gui::Message& message) {
  const int32_t event = EventOfMessage(message.id);
  if (event == 0) return false;
  const Qt::KeyboardModifiers modifiers = gui::CurrentModifiers();
  forms::EventOutcome outcome;
  switch (event) {
    case common_event::kKeyDown:
    case common_event::kKeyUp: {
      const auto key = static_cast<int32_t>(message.wparam);
      outcome = forms::Fire(form, unit, event,
                            {gui::NormalizeKeyCode(key), gui::KeyStateForKey(key, modifiers)});
      break;
    }
    case common_event::kCharInput:
      outcome = forms::Fire(form, unit, event, {static_cast<int32_t>(message.wparam)});
      if (!outcome.has_value) return false;
      if (outcome.value == 0) return true;
      message.wparam = static_cast<uint32_t>(outcome.value);
      return false;
    case common_event::kMouseWheel: {
      const auto delta = static_cast<int16_t>((message.wparam >> 16) & 0xFFFF);
      outcome = forms::Fire(form, unit, event, {delta / 120, gui::KeyStateOf(modifiers)});
      break;
    }
    default:
      outcome = forms::Fire(form, unit, event,
                            {gui::PointX(message.lparam), gui::PointY(message.lparam),
                             gui::KeyStateOf(modifiers)});
      break;
  }
  // A handler that returns false discards the message.
  return outcome.has_value && outcome.value == 0;
}

}  // namespace units
