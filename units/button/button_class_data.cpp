#include "units/button/button_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<ButtonClassData> ButtonClassData::Read(std::span<const uint8_t> bytes) {
  ButtonClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.button_type = in.Int32();
  data.alignment = in.Int32();
  data.vertical_alignment = in.Int32();
  data.picture = in.LengthPrefixedBytes();
  data.font = in.LengthPrefixedBytes();
  data.caption = in.Text();
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> ButtonClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.Int32(button_type);
  out.Int32(alignment);
  out.Int32(vertical_alignment);
  out.LengthPrefixedBytes(picture);
  out.LengthPrefixedBytes(font);
  out.Text(caption);
  return std::move(out.Data());
}

}  // namespace units
