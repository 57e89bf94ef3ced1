#include "units/picbtn/picture_button_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<PictureButtonClassData> PictureButtonClassData::Read(std::span<const uint8_t> bytes) {
  PictureButtonClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.toggle_type = in.Int32();
  data.checked = in.Int32() != 0;
  data.transparent_color = in.UInt32();
  data.normal_picture = in.LengthPrefixedBytes();
  data.hot_picture = in.LengthPrefixedBytes();
  data.pressed_picture = in.LengthPrefixedBytes();
  data.disabled_picture = in.LengthPrefixedBytes();
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> PictureButtonClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.Int32(toggle_type);
  out.Int32(checked ? 1 : 0);
  out.UInt32(transparent_color);
  out.LengthPrefixedBytes(normal_picture);
  out.LengthPrefixedBytes(hot_picture);
  out.LengthPrefixedBytes(pressed_picture);
  out.LengthPrefixedBytes(disabled_picture);
  return std::move(out.Data());
}

}  // namespace units
