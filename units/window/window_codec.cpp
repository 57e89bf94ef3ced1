#include "units/window/window_codec.h"

#include "units/window/window_class_data.h"

namespace units {

namespace {

std::optional<PropertyMap> Decode(std::span<const uint8_t> bytes) {
  const auto data = WindowClassData::Read(bytes);
  if (!data) return std::nullopt;
  return PropertyMap{
      {"Caption", data->caption},
      {"Border", int64_t{data->border}},
      {"BackColor", int64_t{data->back_color}},
      {"BackPicture", data->back_picture},
      {"BackPictureMode", int64_t{data->back_picture_mode}},
      {"BackMusic", data->back_music},
      {"MusicPlayMode", int64_t{data->music_play_mode}},
      {"ControlBox", data->control_box},
      {"MaxButton", data->max_button},
      {"MinButton", data->min_button},
      {"WindowState", int64_t{data->window_state}},
      {"Movable", data->movable},
      {"Icon", data->icon},
      {"EnterMovesFocus", data->enter_moves_focus},
      {"EscCloses", data->esc_closes},
      {"F1OpensHelp", data->f1_opens_help},
      {"HelpFile", data->help_file},
      {"HelpContext", int64_t{data->help_context}},
      {"ShowInTaskbar", data->show_in_taskbar},
      {"DragAnywhere", data->drag_anywhere},
      {"Shape", int64_t{data->shape}},
      {"AlwaysOnTop", data->always_on_top},
      {"KeepTitleActive", data->keep_title_active},
      {"WindowClassName", data->window_class_name},
  };
}

std::optional<std::vector<uint8_t>> Encode(const PropertyMap& fields) {
  WindowClassData data;
  const bool known = OnlyKnownFields(
      fields, {"Caption", "Border", "BackColor", "BackPicture", "BackPictureMode", "BackMusic",
               "MusicPlayMode", "ControlBox", "MaxButton", "MinButton", "WindowState", "Movable",
               "Icon", "EnterMovesFocus", "EscCloses", "F1OpensHelp", "HelpFile", "HelpContext",
               "ShowInTaskbar", "DragAnywhere", "Shape", "AlwaysOnTop", "KeepTitleActive",
               "WindowClassName"});
  const bool kinds =
      TakeField(fields, "Caption", data.caption) && TakeField(fields, "Border", data.border) &&
      TakeField(fields, "BackColor", data.back_color) &&
      TakeField(fields, "BackPicture", data.back_picture) &&
      TakeField(fields, "BackPictureMode", data.back_picture_mode) &&
      TakeField(fields, "BackMusic", data.back_music) &&
      TakeField(fields, "MusicPlayMode", data.music_play_mode) &&
      TakeField(fields, "ControlBox", data.control_box) &&
      TakeField(fields, "MaxButton", data.max_button) &&
      TakeField(fields, "MinButton", data.min_button) &&
      TakeField(fields, "WindowState", data.window_state) &&
      TakeField(fields, "Movable", data.movable) && TakeField(fields, "Icon", data.icon) &&
      TakeField(fields, "EnterMovesFocus", data.enter_moves_focus) &&
      TakeField(fields, "EscCloses", data.esc_closes) &&
      TakeField(fields, "F1OpensHelp", data.f1_opens_help) &&
      TakeField(fields, "HelpFile", data.help_file) &&
      TakeField(fields, "HelpContext", data.help_context) &&
      TakeField(fields, "ShowInTaskbar", data.show_in_taskbar) &&
      TakeField(fields, "DragAnywhere", data.drag_anywhere) &&
      TakeField(fields, "Shape", data.shape) &&
      TakeField(fields, "AlwaysOnTop", data.always_on_top) &&
      TakeField(fields, "KeepTitleActive", data.keep_title_active) &&
      TakeField(fields, "WindowClassName", data.window_class_name);
  if (!known || !kinds) return std::nullopt;
  return data.Write();
}

}  // namespace

ClassDataCodec WindowCodec() {
  return {"窗口", "Window", 0x00010001, &Decode, &Encode,
          {"Created", "CloseQuery", "Destroying", "Moved", "Resized", "Activated", "Deactivated",
           "Idle", "FirstActivated", "TrayNotify", "Shown", "Hidden"}};
}

}  // namespace units
