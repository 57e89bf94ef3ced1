#include "units/window/window_class.h"

#include "units/base/unit_operations.h"
#include "units/window/window_unit.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Row = PropertyRow<WindowUnit, WindowClassData>;
using Data = WindowClassData;
using Unit = WindowUnit;

// ShowInTaskbar and WindowClassName take effect when the window is made; the music is
// kept, not played.
constexpr Row kRows[] = {
    {"Caption", kText, &Data::caption, {}, &Unit::ApplyCaption},
    {"Border", kPickList, &Data::border, {0, 6}, &Unit::ApplyFrameStyles},
    {"BackColor", kBackColor, &Data::back_color, {}, &Unit::ApplyBackColor},
    {"BackPicture", kPicture, &Data::back_picture, {}, &Unit::ApplyBackPicture},
    {"BackPictureMode", kPickList, &Data::back_picture_mode, {0, 3}, &Unit::ApplyBackPictureMode},
    {"BackMusic", kSound, &Data::back_music},
    {"MusicPlayMode", kPickList, &Data::music_play_mode, {0, 2}},
    {"ControlBox", kLogical, &Data::control_box, {}, &Unit::ApplyFrameStyles},
    {"MaxButton", kLogical, &Data::max_button, {}, &Unit::ApplyFrameStyles},
    {"MinButton", kLogical, &Data::min_button, {}, &Unit::ApplyFrameStyles},
    {.name = "WindowState",
     .type = kPickList,
     .slot = &Data::window_state,
     .range = {0, 3},
     .apply = &Unit::ApplyWindowState,
     .read_live = &Unit::ReadWindowState},
    {"Movable", kLogical, &Data::movable},
    {"Icon", kIcon, &Data::icon, {}, &Unit::ApplyIcon},
    {"EnterMovesFocus", kLogical, &Data::enter_moves_focus},
    {"EscCloses", kLogical, &Data::esc_closes},
    {"F1OpensHelp", kLogical, &Data::f1_opens_help},
    {"HelpFile", kFileName, &Data::help_file},
    {"HelpContext", kInteger, &Data::help_context},
    {"ShowInTaskbar", kLogical, &Data::show_in_taskbar},
    {"DragAnywhere", kLogical, &Data::drag_anywhere},
    {"Shape", kPickList, &Data::shape, {0, 29}, &Unit::ApplyShape},
    {"AlwaysOnTop", kLogical, &Data::always_on_top, {}, &Unit::ApplyFrameStyles},
    {"KeepTitleActive", kLogical, &Data::keep_title_active},
    {"WindowClassName", kText, &Data::window_class_name},
};

}  // namespace

const PropertyTable<WindowUnit, WindowClassData>& WindowUnit::Properties() {
  static constexpr PropertyTable<WindowUnit, WindowClassData> table(kRows);
  return table;
}

std::optional<std::vector<uint8_t>> WindowUnit::ClassIcon(std::span<const uint8_t> class_data) {
  const auto data = WindowClassData::Read(class_data);
  if (!data || data->icon.empty()) return std::nullopt;
  return data->icon;
}

UnitClass WindowClass() {
  return MakeUnitClass<WindowUnit>(
      {0x00010001,
       "窗口",
       "Window",
       {"Created", "CloseQuery", "Destroying", "Moved", "Resized", "Activated", "Deactivated",
        "Idle", "FirstActivated", "TrayNotify", "Shown", "Hidden"}});
}

}  // namespace units
