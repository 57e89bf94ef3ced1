#include "units/colorpicker/color_picker_class.h"

#include "runtime/type_code.h"
#include "units/base/unit_operations.h"
#include "units/colorpicker/color_picker_unit.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Row = PropertyRow<ColorPickerUnit, ColorPickerClassData>;
using Data = ColorPickerClassData;

// Both writes store the value and show what the box should show now.
constexpr Row kRows[] = {
    {"CurrentColor", kColorOfSet, &Data::current_color, {}, &ColorPickerUnit::Refresh},
    {"AllowTransparent", kLogical, &Data::allow_transparent, {}, &ColorPickerUnit::Refresh},
};

}  // namespace

const PropertyTable<ColorPickerUnit, ColorPickerClassData>& ColorPickerUnit::Properties() {
  static constexpr PropertyTable<ColorPickerUnit, ColorPickerClassData> table(kRows);
  return table;
}

UnitClass ColorPickerClass() {
  // The core library's type 27.
  return MakeUnitClass<ColorPickerUnit>(
      {runtime::MakeTypeRef(0, 27), "颜色选择器", "ColorPicker", {"ColorChanged"}});
}

}  // namespace units
