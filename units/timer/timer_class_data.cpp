#include "units/timer/timer_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<TimerClassData> TimerClassData::Read(std::span<const uint8_t> bytes) {
  TimerClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.interval = in.Int32();
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> TimerClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.Int32(interval);
  return std::move(out.Data());
}

}  // namespace units
