#include "units/treebox/tree_box_codec.h"

#include "units/treebox/tree_box_class_data.h"

namespace units {

namespace {

std::optional<PropertyMap> Decode(std::span<const uint8_t> bytes) {
  const auto data = TreeBoxClassData::Read(bytes);
  if (!data) return std::nullopt;
  return PropertyMap{
      {"Border", int64_t{data->border}},
      {"TextColor", int64_t{data->text_color}},
      {"BackColor", int64_t{data->back_color}},
      {"HasButtons", data->has_buttons},
      {"HasLines", data->has_lines},
      {"LinesAtRoot", data->lines_at_root},
      {"EditLabels", data->edit_labels},
      {"ShowSelAlways", data->show_sel_always},
      {"CurrentItem", int64_t{data->current_item}},
      {"ItemHeight", int64_t{data->item_height}},
      {"Font", data->font},
      {"Pictures", data->pictures},
      {"InitialItems", data->initial_items},
      {"CheckBoxes", data->check_boxes},
      {"CheckStateCount", int64_t{data->check_state_count}},
      {"CheckPictures", data->check_pictures},
  };
}

std::optional<std::vector<uint8_t>> Encode(const PropertyMap& fields) {
  TreeBoxClassData data;
  const bool known = OnlyKnownFields(
      fields, {"Border", "TextColor", "BackColor", "HasButtons", "HasLines", "LinesAtRoot",
               "EditLabels", "ShowSelAlways", "CurrentItem", "ItemHeight", "Font", "Pictures",
               "InitialItems", "CheckBoxes", "CheckStateCount", "CheckPictures"});
  const bool kinds =
      TakeField(fields, "Border", data.border) && TakeField(fields, "TextColor", data.text_color) &&
      TakeField(fields, "BackColor", data.back_color) &&
      TakeField(fields, "HasButtons", data.has_buttons) &&
      TakeField(fields, "HasLines", data.has_lines) &&
      TakeField(fields, "LinesAtRoot", data.lines_at_root) &&
      TakeField(fields, "EditLabels", data.edit_labels) &&
      TakeField(fields, "ShowSelAlways", data.show_sel_always) &&
      TakeField(fields, "CurrentItem", data.current_item) &&
      TakeField(fields, "ItemHeight", data.item_height) && TakeField(fields, "Font", data.font) &&
      TakeField(fields, "Pictures", data.pictures) &&
      TakeField(fields, "InitialItems", data.initial_items) &&
      TakeField(fields, "CheckBoxes", data.check_boxes) &&
      TakeField(fields, "CheckStateCount", data.check_state_count) &&
      TakeField(fields, "CheckPictures", data.check_pictures);
  if (!known || !kinds) return std::nullopt;
  return data.Write();
}

}  // namespace

ClassDataCodec TreeBoxCodec() {
  return {"树型框",
          "TreeBox",
          0x00020001,
          &Decode,
          &Encode,
          {"SelectionChanged", "ItemDoubleClicked", "LabelEditStarting", "LabelEditEnding",
           "Expanding", "Collapsing", "ItemRightClicked", "CheckChanged"}};
}

}  // namespace units
