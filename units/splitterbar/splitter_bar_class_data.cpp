#include "units/splitterbar/splitter_bar_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<SplitterBarClassData> SplitterBarClassData::Read(std::span<const uint8_t> bytes) {
  SplitterBarClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.back_color = in.UInt32();
  data.orientation = in.Int32();
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> SplitterBarClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.UInt32(back_color);
  out.Int32(orientation);
  return std::move(out.Data());
}

}  // namespace units
