#include "units/translabel/trans_label_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<TransLabelClassData> TransLabelClassData::Read(std::span<const uint8_t> bytes) {
  TransLabelClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.effect = in.Int32();
  data.text_color = in.UInt32();
  data.alignment = in.Int32();
  data.vertical_alignment = in.Int32();
  data.word_wrap = in.Int32() != 0;
  data.font = in.LengthPrefixedBytes();
  data.caption = in.Text();
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> TransLabelClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.Int32(effect);
  out.UInt32(text_color);
  out.Int32(alignment);
  out.Int32(vertical_alignment);
  out.Int32(word_wrap ? 1 : 0);
  out.LengthPrefixedBytes(font);
  out.Text(caption);
  return std::move(out.Data());
}

}  // namespace units
