#include "units/timer/timer_class.h"

#include "units/base/unit_operations.h"
#include "units/timer/timer_unit.h"

namespace units {

namespace {

using Row = PropertyRow<TimerUnit, TimerClassData>;

// An equal interval leaves a running period alone, so the write is the unit's own.
constexpr Row kRows[] = {
    {.name = "Interval",
     .type = runtime::property_type::kInteger,
     .slot = &TimerClassData::interval,
     .range = {0, INT32_MAX},
     .write_live = &TimerUnit::WriteInterval},
};

}  // namespace

const PropertyTable<TimerUnit, TimerClassData>& TimerUnit::Properties() {
  static constexpr PropertyTable<TimerUnit, TimerClassData> table(kRows);
  return table;
}

UnitClass TimerClass() { return MakeUnitClass<TimerUnit>({0x00010020, "时钟", "Timer", {"Tick"}}); }

}  // namespace units
