#include "units/superbtn/super_button_class_data.h"

#include "forms/byte_stream.h"
#include "runtime/gbk_literal.h"

namespace units {

std::string SuperButtonClassData::DefaultCaption() {
  static const std::string caption = runtime::Gbk("超级按钮");
  return caption;
}

std::optional<SuperButtonClassData> SuperButtonClassData::Read(std::span<const uint8_t> bytes) {
  SuperButtonClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.button_style = in.Int32();
  data.check_style = in.Int32() != 0;
  data.checked = in.Int32() != 0;
  data.picture_position = in.Int32();
  data.press_offset = in.Int32();
  data.hot_frame = in.Int32() != 0;
  data.flat_focus_rect = in.Int32() != 0;
  data.hot_picture_color = in.UInt32();
  data.picture_color = in.UInt32();
  data.use_system_colors = in.Int32() != 0;
  data.built_in_sound = in.Int32() != 0;
  data.default_button = in.Int32();
  for (uint32_t* color : {&data.text_color1, &data.back_color1, &data.text_color2,
                          &data.back_color2, &data.text_color3, &data.back_color3}) {
    *color = in.UInt32();
  }
  data.hot_picture = in.LengthPrefixedBytes();
  data.picture = in.LengthPrefixedBytes();
  data.font = in.LengthPrefixedBytes();
  data.hover_sound = in.LengthPrefixedBytes();
  data.click_sound = in.LengthPrefixedBytes();
  data.caption = in.Text();
  data.tool_tip = in.Text();
  if (version >= 2) {
    data.disabled_picture_color = in.UInt32();
    data.disabled_picture = in.LengthPrefixedBytes();
  }
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> SuperButtonClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.Int32(button_style);
  out.Int32(check_style ? 1 : 0);
  out.Int32(checked ? 1 : 0);
  out.Int32(picture_position);
  out.Int32(press_offset);
  out.Int32(hot_frame ? 1 : 0);
  out.Int32(flat_focus_rect ? 1 : 0);
  out.UInt32(hot_picture_color);
  out.UInt32(picture_color);
  out.Int32(use_system_colors ? 1 : 0);
  out.Int32(built_in_sound ? 1 : 0);
  out.Int32(default_button);
  for (uint32_t color :
       {text_color1, back_color1, text_color2, back_color2, text_color3, back_color3}) {
    out.UInt32(color);
  }
  out.LengthPrefixedBytes(hot_picture);
  out.LengthPrefixedBytes(picture);
  out.LengthPrefixedBytes(font);
  out.LengthPrefixedBytes(hover_sound);
  out.LengthPrefixedBytes(click_sound);
  out.Text(caption);
  out.Text(tool_tip);
  out.UInt32(disabled_picture_color);
  out.LengthPrefixedBytes(disabled_picture);
  return std::move(out.Data());
}

}  // namespace units
