#include "units/timer/timer_class.h"

#include "forms/unit_interface.h"
#include "units/base/base_properties.h"
#include "units/timer/timer_codec.h"
#include "units/timer/timer_unit.h"

namespace units {

namespace {

gui::Window* Create(const forms::CreateParams& params) {
  const auto data = TimerClassData::Read(params.class_data);
  if (!data) return nullptr;
  return new TimerUnit(params, *data);
}

int32_t WriteProperty(gui::Window* unit, int32_t index, const forms::PropertyValue& value) {
  auto* timer = dynamic_cast<TimerUnit*>(unit);
  return timer == nullptr ? 0 : timer->WriteProperty(index, value);
}

bool ReadProperty(gui::Window* unit, int32_t index, forms::PropertyValue* value) {
  const auto* timer = dynamic_cast<const TimerUnit*>(unit);
  return timer != nullptr && timer->ReadProperty(index, value);
}

std::optional<std::vector<uint8_t>> SaveState(gui::Window* unit) {
  const auto* timer = dynamic_cast<const TimerUnit*>(unit);
  if (timer == nullptr) return std::nullopt;
  return timer->Data().Write();
}

// The timer has no texts; the record is still checked and handed back.
std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                               forms::TextVisitor, void*) {
  const auto data = TimerClassData::Read(class_data);
  if (!data) return std::nullopt;
  return data->Write();
}

void* GetUnitInterface(int32_t operation) {
  switch (operation) {
    case forms::unit_op::kCreate:
      return reinterpret_cast<void*>(&Create);
    case forms::unit_op::kWriteProperty:
      return reinterpret_cast<void*>(&WriteProperty);
    case forms::unit_op::kSaveState:
      return reinterpret_cast<void*>(&SaveState);
    case forms::unit_op::kReadProperty:
      return reinterpret_cast<void*>(&ReadProperty);
    case forms::unit_op::kVisitTexts:
      return reinterpret_cast<void*>(&VisitTexts);
    default:
      return nullptr;
  }
}

}  // namespace

UnitClass TimerClass() {
  static const runtime::PropertyInfo* properties = MakeProperties({1001});  // Interval
  return {0x00010020, 9, properties, &GetUnitInterface, TimerCodec()};
}

}  // namespace units
