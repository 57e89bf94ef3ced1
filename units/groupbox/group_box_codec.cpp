#include "units/groupbox/group_box_codec.h"

#include "units/groupbox/group_box_class_data.h"

namespace units {

namespace {

std::optional<PropertyMap> Decode(std::span<const uint8_t> bytes) {
  const auto data = GroupBoxClassData::Read(bytes);
  if (!data) return std::nullopt;
  return PropertyMap{
      {"Caption", data->caption},
      {"Alignment", int64_t{data->alignment}},
      {"TextColor", int64_t{data->text_color}},
      {"BackColor", int64_t{data->back_color}},
      {"Font", data->font},
  };
}

std::optional<std::vector<uint8_t>> Encode(const PropertyMap& fields) {
  GroupBoxClassData data;
  const bool known =
      OnlyKnownFields(fields, {"Caption", "Alignment", "TextColor", "BackColor", "Font"});
  const bool kinds = TakeField(fields, "Caption", data.caption) &&
                     TakeField(fields, "Alignment", data.alignment) &&
                     TakeField(fields, "TextColor", data.text_color) &&
                     TakeField(fields, "BackColor", data.back_color) &&
                     TakeField(fields, "Font", data.font);
  if (!known || !kinds) return std::nullopt;
  return data.Write();
}

}  // namespace

ClassDataCodec GroupBoxCodec() { return {"分组框", "GroupBox", 0x00010009, &Decode, &Encode, {}}; }

}  // namespace units
