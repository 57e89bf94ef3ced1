#include "units/picbtn/picture_button_class.h"

#include "units/base/unit_operations.h"
#include "units/picbtn/picture_button_unit.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Unit = PictureButtonUnit;
using Row = PropertyRow<Unit, PictureButtonClassData>;
using Data = PictureButtonClassData;
using Widget = PictureButtonWidget;

// A picture write shows the new picture when it is the one shown; ToggleType takes
// effect at the next input; Checked is the button's live state.
constexpr Row kRows[] = {
    {"ToggleType", kPickList, &Data::toggle_type, {0, 1}, &Unit::ApplyToggleType},
    {.name = "Checked",
     .type = kLogical,
     .slot = &Data::checked,
     .read_live = &Unit::ReadChecked,
     .write_live = &Unit::WriteChecked},
    {"NormalPicture",
     kPicture,
     &Data::normal_picture,
     {},
     &Unit::ApplyPicture<Widget::kNormalPicture>},
    {"HotPicture", kPicture, &Data::hot_picture, {}, &Unit::ApplyPicture<Widget::kHotPicture>},
    {"PressedPicture",
     kPicture,
     &Data::pressed_picture,
     {},
     &Unit::ApplyPicture<Widget::kPressedPicture>},
    {"DisabledPicture",
     kPicture,
     &Data::disabled_picture,
     {},
     &Unit::ApplyPicture<Widget::kDisabledPicture>},
    {"TransparentColor", kBackColor, &Data::transparent_color, {}, &Unit::ApplyTransparentColor},
};

}  // namespace

const PropertyTable<PictureButtonUnit, PictureButtonClassData>& PictureButtonUnit::Properties() {
  static constexpr PropertyTable<PictureButtonUnit, PictureButtonClassData> table(kRows);
  return table;
}

UnitClass PictureButtonClass() {
  // The core library's type 44.
  return MakeUnitClass<PictureButtonUnit>(
      {runtime::MakeTypeRef(0, 44), "图形按钮", "PicBtn", {"Clicked"}});
}

}  // namespace units
