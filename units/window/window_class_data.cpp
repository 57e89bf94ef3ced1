#include "units/window/window_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<WindowClassData> WindowClassData::Read(std::span<const uint8_t> bytes) {
  WindowClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.border = in.Int32();
  data.back_picture_mode = in.Int32();
  data.back_color = in.UInt32();
  data.max_button = in.Int32() != 0;
  data.min_button = in.Int32() != 0;
  data.control_box = in.Int32() != 0;
  data.window_state = in.Int32();
  data.movable = in.Int32() != 0;
  data.music_play_mode = in.Int32();
  data.enter_moves_focus = in.Int32() != 0;
  data.esc_closes = in.Int32() != 0;
  data.f1_opens_help = in.Int32() != 0;
  data.help_context = in.Int32();
  if (version >= 2) data.show_in_taskbar = in.Int32() != 0;
  if (version >= 3) {
    data.drag_anywhere = in.Int32() != 0;
    data.shape = in.Int32();
  }
  if (version >= 4) data.always_on_top = in.Int32() != 0;
  if (version >= 5) data.keep_title_active = in.Int32() != 0;
  if (version >= 6) data.window_class_name = in.Text();
  data.back_picture = in.LengthPrefixedBytes();
  data.icon = in.LengthPrefixedBytes();
  data.back_music = in.LengthPrefixedBytes();
  data.caption = in.Text();
  data.help_file = in.Text();
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> WindowClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  for (int32_t word : {border, back_picture_mode, static_cast<int32_t>(back_color),
                       int32_t{max_button}, int32_t{min_button}, int32_t{control_box},
                       window_state, int32_t{movable}, music_play_mode,
                       int32_t{enter_moves_focus}, int32_t{esc_closes}, int32_t{f1_opens_help},
                       help_context, int32_t{show_in_taskbar}, int32_t{drag_anywhere}, shape,
                       int32_t{always_on_top}, int32_t{keep_title_active}}) {
    out.Int32(word);
  }
  out.Text(window_class_name);
  out.LengthPrefixedBytes(back_picture);
  out.LengthPrefixedBytes(icon);
  out.LengthPrefixedBytes(back_music);
  out.Text(caption);
  out.Text(help_file);
  return std::move(out.Data());
}

}  // namespace units
