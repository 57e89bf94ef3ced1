#include "units/treebox/tree_box_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<TreeBoxClassData> TreeBoxClassData::Read(std::span<const uint8_t> bytes) {
  TreeBoxClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (version < kVersion || version > kOldestVersion) return std::nullopt;
  data.border = in.Int32();
  data.text_color = in.UInt32();
  data.back_color = in.UInt32();
  data.has_buttons = in.Int32() != 0;
  data.has_lines = in.Int32() != 0;
  data.lines_at_root = in.Int32() != 0;
  data.edit_labels = in.Int32() != 0;
  data.show_sel_always = in.Int32() != 0;
  data.current_item = in.Int32();
  data.item_height = in.Int32();
  data.font = in.LengthPrefixedBytes();
  data.pictures = in.LengthPrefixedBytes();
  data.initial_items = in.LengthPrefixedBytes();
  if (version == 0 && in.Int32() != 0) {
    data.check_boxes = in.Int32() != 0;
    data.check_state_count = in.Int32();
    data.check_pictures = in.LengthPrefixedBytes();
  }
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> TreeBoxClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  for (int32_t word : {border, static_cast<int32_t>(text_color), static_cast<int32_t>(back_color),
                       int32_t{has_buttons}, int32_t{has_lines}, int32_t{lines_at_root},
                       int32_t{edit_labels}, int32_t{show_sel_always}, current_item, item_height}) {
    out.Int32(word);
  }
  out.LengthPrefixedBytes(font);
  out.LengthPrefixedBytes(pictures);
  out.LengthPrefixedBytes(initial_items);
  out.Int32(1);  // the check-box fields follow
  out.Int32(check_boxes);
  out.Int32(check_state_count);
  out.LengthPrefixedBytes(check_pictures);
  return std::move(out.Data());
}

}  // namespace units
