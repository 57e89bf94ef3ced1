#pragma once

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/timer/timer_class_data.h"

namespace units {

// The timer: a window without visible output that owns one system timer and fires
// `Tick` (event 0) on every expiry. Expiries that come while the loop is busy merge into
// one tick.
class TimerUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = TimerClassData;
  // Every timer unit uses the same system timer id: each has its own window.
  static constexpr uint64_t kTimerId = 1000;
  static constexpr int32_t kTickEvent = 0;

  TimerUnit(const forms::CreateParams& params, TimerClassData data);

  // Class properties, by class index.
  static const PropertyTable<TimerUnit, TimerClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const TimerClassData& Data() const { return data_; }

  // Whether the system timer is set.
  bool IsRunning() const { return HasTimer(kTimerId); }

  int64_t WindowProc(gui::Message& message) override;

  // An equal value leaves a running period alone; any other value restarts or stops it.
  int32_t WriteInterval(const forms::PropertyValue& value);

 private:

  TimerClassData data_;
};

}  // namespace units
