#include "units/button/button_codec.h"

#include "units/button/button_class_data.h"

namespace units {

namespace {

std::optional<PropertyMap> Decode(std::span<const uint8_t> bytes) {
  const auto data = ButtonClassData::Read(bytes);
  if (!data) return std::nullopt;
  return PropertyMap{
      {"Picture", data->picture},
      {"ButtonType", int64_t{data->button_type}},
      {"Caption", data->caption},
      {"Alignment", int64_t{data->alignment}},
      {"VerticalAlignment", int64_t{data->vertical_alignment}},
      {"Font", data->font},
  };
}

std::optional<std::vector<uint8_t>> Encode(const PropertyMap& fields) {
  ButtonClassData data;
  const bool known = OnlyKnownFields(
      fields, {"Picture", "ButtonType", "Caption", "Alignment", "VerticalAlignment", "Font"});
  const bool kinds = TakeField(fields, "Picture", data.picture) &&
                     TakeField(fields, "ButtonType", data.button_type) &&
                     TakeField(fields, "Caption", data.caption) &&
                     TakeField(fields, "Alignment", data.alignment) &&
                     TakeField(fields, "VerticalAlignment", data.vertical_alignment) &&
                     TakeField(fields, "Font", data.font);
  if (!known || !kinds) return std::nullopt;
  return data.Write();
}

}  // namespace

ClassDataCodec ButtonCodec() {
  return {"按钮", "Button", 0x0001000B, &Decode, &Encode, {"Clicked"}};
}

}  // namespace units
