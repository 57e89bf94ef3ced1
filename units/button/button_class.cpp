#include "units/button/button_class.h"

#include "units/base/unit_operations.h"
#include "units/button/button_unit.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Row = PropertyRow<ButtonUnit, ButtonClassData>;
using Data = ButtonClassData;

constexpr Range kAlignments{0, 2};

constexpr Row kRows[] = {
    // The kind of button (text, icon or bitmap) is fixed when it is made.
    {"Picture", kPicture, &Data::picture, {}, nullptr, /*recreates=*/true},
    {"ButtonType", kPickList, &Data::button_type, {0, 1}, &ButtonUnit::ApplyStyle},
    {"Caption", kText, &Data::caption, {}, &ButtonUnit::ApplyCaption},
    {"Alignment", kPickList, &Data::alignment, kAlignments, &ButtonUnit::ApplyStyle},
    {"VerticalAlignment", kPickList, &Data::vertical_alignment, kAlignments,
     &ButtonUnit::ApplyStyle},
    {"Font", kFont, &Data::font, {}, &ButtonUnit::ApplyFont},
};

}  // namespace

const PropertyTable<ButtonUnit, ButtonClassData>& ButtonUnit::Properties() {
  static constexpr PropertyTable<ButtonUnit, ButtonClassData> table(kRows);
  return table;
}

UnitClass ButtonClass() {
  return MakeUnitClass<ButtonUnit>({0x0001000B, "按钮", "Button", {"Clicked"}});
}

}  // namespace units
