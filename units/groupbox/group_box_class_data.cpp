#include "units/groupbox/group_box_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<GroupBoxClassData> GroupBoxClassData::Read(std::span<const uint8_t> bytes) {
  GroupBoxClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.alignment = in.Int32();
  data.text_color = in.UInt32();
  data.back_color = in.UInt32();
  data.font = in.LengthPrefixedBytes();
  data.caption = in.Text();
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> GroupBoxClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.Int32(alignment);
  out.UInt32(text_color);
  out.UInt32(back_color);
  out.LengthPrefixedBytes(font);
  out.Text(caption);
  return std::move(out.Data());
}

}  // namespace units
