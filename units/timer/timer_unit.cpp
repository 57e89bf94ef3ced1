#include "units/timer/timer_unit.h"

#include <QWidget>
#include <algorithm>

namespace units {

TimerUnit::TimerUnit(const forms::CreateParams& params, TimerClassData data)
    : gui::Window(new QWidget), UnitBase(params.form, params.unit), data_(data) {
  data_.interval = std::max(data_.interval, 0);
  QWidget* widget = Widget();
  widget->setAttribute(Qt::WA_TransparentForMouseEvents);
  widget->setFocusPolicy(Qt::NoFocus);
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  Show(gui::ShowMode::kHide);
  if (data_.interval > 0) SetTimer(kTimerId, data_.interval);
}

int32_t TimerUnit::WriteInterval(const forms::PropertyValue& value) {
  const int32_t interval = std::max(static_cast<int32_t>(value.number), 0);
  if (interval == data_.interval) return 0;
  data_.interval = interval;
  KillTimer(kTimerId);
  if (interval > 0) SetTimer(kTimerId, interval);
  return 0;
}

int64_t TimerUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  switch (message.id) {
    case gui::msg::kTimer: {
      if (message.wparam != kTimerId) break;
      // The tick comes after the default processing of the timer message.
      const int64_t result = DefaultProc(message);
      FireEvent(kTickEvent);
      return result;
    }
    case gui::msg::kDestroy:
      // A tick must never reach a unit whose window is going.
      KillTimer(kTimerId);
      break;
    default:
      break;
  }
  return DefaultProc(message);
}

}  // namespace units
