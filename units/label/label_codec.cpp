#include "units/label/label_codec.h"

#include "units/label/label_class_data.h"

namespace units {

namespace {

std::optional<PropertyMap> Decode(std::span<const uint8_t> bytes) {
  const auto data = LabelClassData::Read(bytes);
  if (!data) return std::nullopt;
  return PropertyMap{
      {"Caption", data->caption},
      {"Effect", int64_t{data->effect}},
      {"Border", int64_t{data->border}},
      {"FrameWidth", int64_t{data->frame_width}},
      {"FrameColor1", int64_t{data->frame_colors[0]}},
      {"FrameColor2", int64_t{data->frame_colors[1]}},
      {"FrameColor3", int64_t{data->frame_colors[2]}},
      {"Font", data->font},
      {"TextColor", int64_t{data->text_color}},
      {"BackColor", int64_t{data->back_color}},
      {"BackPicture", data->back_picture},
      {"BackPictureMode", int64_t{data->back_picture_mode}},
      {"GradientMode", int64_t{data->gradient_mode}},
      {"GradientColor1", int64_t{data->gradient_colors[0]}},
      {"GradientColor2", int64_t{data->gradient_colors[1]}},
      {"GradientColor3", int64_t{data->gradient_colors[2]}},
      {"Alignment", int64_t{data->alignment}},
      {"WordWrap", data->word_wrap},
      {"VerticalAlignment", int64_t{data->vertical_alignment}},
      {"DataSource", data->data_source},
      {"DataColumn", data->data_column},
  };
}

std::optional<std::vector<uint8_t>> Encode(const PropertyMap& fields) {
  LabelClassData data;
  const bool known = OnlyKnownFields(
      fields,
      {"Caption",        "Effect",          "Border",       "FrameWidth",        "FrameColor1",
       "FrameColor2",    "FrameColor3",     "Font",         "TextColor",         "BackColor",
       "BackPicture",    "BackPictureMode", "GradientMode", "GradientColor1",    "GradientColor2",
       "GradientColor3", "Alignment",       "WordWrap",     "VerticalAlignment", "DataSource",
       "DataColumn"});
  const bool kinds =
      TakeField(fields, "Caption", data.caption) && TakeField(fields, "Effect", data.effect) &&
      TakeField(fields, "Border", data.border) &&
      TakeField(fields, "FrameWidth", data.frame_width) &&
      TakeField(fields, "FrameColor1", data.frame_colors[0]) &&
      TakeField(fields, "FrameColor2", data.frame_colors[1]) &&
      TakeField(fields, "FrameColor3", data.frame_colors[2]) &&
      TakeField(fields, "Font", data.font) && TakeField(fields, "TextColor", data.text_color) &&
      TakeField(fields, "BackColor", data.back_color) &&
      TakeField(fields, "BackPicture", data.back_picture) &&
      TakeField(fields, "BackPictureMode", data.back_picture_mode) &&
      TakeField(fields, "GradientMode", data.gradient_mode) &&
      TakeField(fields, "GradientColor1", data.gradient_colors[0]) &&
      TakeField(fields, "GradientColor2", data.gradient_colors[1]) &&
      TakeField(fields, "GradientColor3", data.gradient_colors[2]) &&
      TakeField(fields, "Alignment", data.alignment) &&
      TakeField(fields, "WordWrap", data.word_wrap) &&
      TakeField(fields, "VerticalAlignment", data.vertical_alignment) &&
      TakeField(fields, "DataSource", data.data_source) &&
      TakeField(fields, "DataColumn", data.data_column);
  if (!known || !kinds) return std::nullopt;
  return data.Write();
}

}  // namespace

ClassDataCodec LabelCodec() {
  return {"标签", "Label", 0x0001000A, &Decode, &Encode, {"Feedback"}};
}

}  // namespace units
