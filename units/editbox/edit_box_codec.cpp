#include "units/editbox/edit_box_codec.h"

#include "units/editbox/edit_box_class_data.h"

namespace units {

namespace {

std::optional<PropertyMap> Decode(std::span<const uint8_t> bytes) {
  const auto data = EditBoxClassData::Read(bytes);
  if (!data) return std::nullopt;
  return PropertyMap{
      {"Content", data->content},
      {"Border", int64_t{data->border}},
      {"TextColor", int64_t{data->text_color}},
      {"BackColor", int64_t{data->back_color}},
      {"Font", data->font},
      {"HideSelection", data->hide_selection},
      {"MaxLength", int64_t{data->max_length}},
      {"MultiLine", data->multi_line},
      {"ScrollBars", int64_t{data->scroll_bars}},
      {"Alignment", int64_t{data->alignment}},
      {"InputMode", int64_t{data->input_mode}},
      {"PasswordChar", PasswordCharText(data->password_char)},
      {"CaseConversion", int64_t{data->case_conversion}},
      {"SpinMode", int64_t{data->spin_mode}},
      {"SpinMin", int64_t{data->spin_min}},
      {"SpinMax", int64_t{data->spin_max}},
      {"SelStart", int64_t{data->sel_start}},
      {"SelLength", int64_t{data->sel_length}},
      {"DataSource", data->data_source},
      {"DataColumn", data->data_column},
  };
}

std::optional<std::vector<uint8_t>> Encode(const PropertyMap& fields) {
  EditBoxClassData data;
  std::string password = PasswordCharText(data.password_char);
  const bool known = OnlyKnownFields(
      fields, {"Content",       "Border",       "TextColor",      "BackColor",  "Font",
               "HideSelection", "MaxLength",    "MultiLine",      "ScrollBars", "Alignment",
               "InputMode",     "PasswordChar", "CaseConversion", "SpinMode",   "SpinMin",
               "SpinMax",       "SelStart",     "SelLength",      "DataSource", "DataColumn"});
  const bool kinds =
      TakeField(fields, "Content", data.content) && TakeField(fields, "Border", data.border) &&
      TakeField(fields, "TextColor", data.text_color) &&
      TakeField(fields, "BackColor", data.back_color) && TakeField(fields, "Font", data.font) &&
      TakeField(fields, "HideSelection", data.hide_selection) &&
      TakeField(fields, "MaxLength", data.max_length) &&
      TakeField(fields, "MultiLine", data.multi_line) &&
      TakeField(fields, "ScrollBars", data.scroll_bars) &&
      TakeField(fields, "Alignment", data.alignment) &&
      TakeField(fields, "InputMode", data.input_mode) &&
      TakeField(fields, "PasswordChar", password) &&
      TakeField(fields, "CaseConversion", data.case_conversion) &&
      TakeField(fields, "SpinMode", data.spin_mode) &&
      TakeField(fields, "SpinMin", data.spin_min) && TakeField(fields, "SpinMax", data.spin_max) &&
      TakeField(fields, "SelStart", data.sel_start) &&
      TakeField(fields, "SelLength", data.sel_length) &&
      TakeField(fields, "DataSource", data.data_source) &&
      TakeField(fields, "DataColumn", data.data_column);
  if (!known || !kinds) return std::nullopt;
  data.password_char = PasswordCharOfText(password);
  return data.Write();
}

}  // namespace

ClassDataCodec EditBoxCodec() {
  return {"编辑框", "EditBox", 0x00010005, &Decode, &Encode, {"ContentChanged", "SpinStep"}};
}

}  // namespace units
