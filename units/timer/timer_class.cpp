#include "units/timer/timer_class.h"

#include "forms/unit_interface.h"
#include "units/base/unit_operations.h"
#include "units/base/base_properties.h"
#include "units/timer/timer_codec.h"
#include "units/timer/timer_unit.h"

namespace units {

namespace {

using Operations = LegacyUnitOperations<TimerUnit, TimerClassData>;

// The timer has no texts; the record is still checked and handed back.
std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                               forms::TextVisitor, void*) {
  const auto data = TimerClassData::Read(class_data);
  if (!data) return std::nullopt;
  return data->Write();
}

void* GetUnitInterface(int32_t operation) { return Operations::Get(operation, &VisitTexts); }

}  // namespace

UnitClass TimerClass() {
  static const runtime::PropertyInfo* properties = MakeProperties({1001});  // Interval
  return {0x00010020, 9, properties, &GetUnitInterface, TimerCodec()};
}

}  // namespace units
