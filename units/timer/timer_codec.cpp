#include "units/timer/timer_codec.h"

#include "units/timer/timer_class_data.h"

namespace units {

namespace {

std::optional<PropertyMap> Decode(std::span<const uint8_t> bytes) {
  const auto data = TimerClassData::Read(bytes);
  if (!data) return std::nullopt;
  return PropertyMap{{"Interval", int64_t{data->interval}}};
}

std::optional<std::vector<uint8_t>> Encode(const PropertyMap& fields) {
  TimerClassData data;
  if (!OnlyKnownFields(fields, {"Interval"}) || !TakeField(fields, "Interval", data.interval)) {
    return std::nullopt;
  }
  return data.Write();
}

}  // namespace

ClassDataCodec TimerCodec() { return {"时钟", "Timer", 0x00010020, &Decode, &Encode, {"Tick"}}; }

}  // namespace units
