#include "units/colorpicker/color_picker_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<ColorPickerClassData> ColorPickerClassData::Read(std::span<const uint8_t> bytes) {
  ColorPickerClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.current_color = in.UInt32();
  data.allow_transparent = in.Int32() != 0;
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> ColorPickerClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.UInt32(current_color);
  out.Int32(allow_transparent ? 1 : 0);
  return std::move(out.Data());
}

}  // namespace units
