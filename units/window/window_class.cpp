#include "units/window/window_class.h"

#include "forms/unit_interface.h"
#include "units/base/unit_operations.h"
#include "units/base/base_properties.h"
#include "units/window/window_unit.h"

namespace units {

namespace {

using Operations = LegacyUnitOperations<WindowUnit, WindowClassData>;

std::optional<std::vector<uint8_t>> ClassIcon(std::span<const uint8_t> class_data) {
  const auto data = WindowClassData::Read(class_data);
  if (!data || data->icon.empty()) return std::nullopt;
  return data->icon;
}

std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                               forms::TextVisitor visitor, void* context) {
  auto data = WindowClassData::Read(class_data);
  if (!data) return std::nullopt;
  visitor(data->caption, false, context);
  visitor(data->help_file, false, context);
  visitor(data->window_class_name, false, context);
  return data->Write();
}

}  // namespace

void* WindowGetUnitInterface(int32_t operation) {
  if (operation == forms::unit_op::kClassIcon) return reinterpret_cast<void*>(&ClassIcon);
  return Operations::Get(operation, &VisitTexts);
}

const runtime::PropertyInfo* WindowProperties() {
  static const runtime::PropertyInfo* properties = MakeProperties({
      1005,                    // Caption
      1006, 1017, 1009, 1006,  // Border, BackColor, BackPicture, BackPictureMode
      1012, 1006,              // BackMusic, MusicPlayMode
      1003, 1003, 1003,        // ControlBox, MaxButton, MinButton
      1006, 1003, 1010,        // WindowState, Movable, Icon
      1003, 1003, 1003,        // EnterMovesFocus, EscCloses, F1OpensHelp
      1016, 1001,              // HelpFile, HelpContext
      1003, 1003, 1006,        // ShowInTaskbar, DragAnywhere, Shape
      1003, 1003, 1005,        // AlwaysOnTop, KeepTitleActive, WindowClassName
  });
  return properties;
}

}  // namespace units
