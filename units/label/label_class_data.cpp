#include "units/label/label_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<LabelClassData> LabelClassData::Read(std::span<const uint8_t> bytes) {
  LabelClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.effect = in.Int32();
  data.frame_width = in.Int32();
  data.border = in.Int32();
  for (uint32_t& color : data.frame_colors) color = in.UInt32();
  data.text_color = in.UInt32();
  data.back_color = in.UInt32();
  data.back_picture_mode = in.Int32();
  data.gradient_mode = in.Int32();
  for (uint32_t& color : data.gradient_colors) color = in.UInt32();
  data.alignment = in.Int32();
  data.vertical_alignment = in.Int32();
  data.word_wrap = in.Int32() != 0;
  data.font = in.LengthPrefixedBytes();
  data.back_picture = in.LengthPrefixedBytes();
  data.caption = in.Text();
  if (version >= 2) {
    data.data_source = in.Text();
    data.data_column = in.Text();
  }
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> LabelClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.Int32(effect);
  out.Int32(frame_width);
  out.Int32(border);
  for (uint32_t color : frame_colors) out.UInt32(color);
  out.UInt32(text_color);
  out.UInt32(back_color);
  out.Int32(back_picture_mode);
  out.Int32(gradient_mode);
  for (uint32_t color : gradient_colors) out.UInt32(color);
  out.Int32(alignment);
  out.Int32(vertical_alignment);
  out.Int32(word_wrap ? 1 : 0);
  out.LengthPrefixedBytes(font);
  out.LengthPrefixedBytes(back_picture);
  out.Text(caption);
  out.Text(data_source);
  out.Text(data_column);
  return std::move(out.Data());
}

}  // namespace units
