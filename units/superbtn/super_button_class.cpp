#include "units/superbtn/super_button_class.h"

#include "units/base/unit_operations.h"
#include "units/superbtn/super_button_unit.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Unit = SuperButtonUnit;
using Row = PropertyRow<Unit, SuperButtonClassData>;
using Data = SuperButtonClassData;

// The six colours of ColorPairs, told apart in a form by the pair and the part they are.
constexpr Row PairColor(uint16_t type, uint32_t Data::*color, const char* form_name) {
  return {.name = "ColorPairs",
          .type = type,
          .slot = color,
          .apply = &Unit::RefreshColors,
          .form_name = form_name};
}

// Every write repaints, except that the sounds are only kept, a colour of a pair does not
// show while the system's colours do, and CheckStyle and DefaultButton need a new button.
constexpr Row kRows[] = {
    {"ButtonStyle", kPickList, &Data::button_style, {0, 2}, &Unit::Refresh},
    {.name = "CheckStyle", .type = kLogical, .slot = &Data::check_style, .recreates = true},
    {"Checked", kLogical, &Data::checked, {}, &Unit::Refresh},
    {"PicturePosition", kPickList, &Data::picture_position, {0, 3}, &Unit::Refresh},
    {"PressOffset", kPickList, &Data::press_offset, {0, 1}, &Unit::Refresh},
    {"HotFrame", kLogical, &Data::hot_frame, {}, &Unit::Refresh},
    {"FlatFocusRect", kLogical, &Data::flat_focus_rect, {}, &Unit::Refresh},
    {"Picture", kPicture, &Data::picture, {}, &Unit::ApplyPicture},
    {"PictureTransparentColor", kBackColor, &Data::picture_color, {}, &Unit::ApplyPictureColor},
    {"HotPicture", kPicture, &Data::hot_picture, {}, &Unit::ApplyHotPicture},
    {"HotPictureTransparentColor",
     kBackColor,
     &Data::hot_picture_color,
     {},
     &Unit::ApplyHotPictureColor},
    {"DisabledPicture", kPicture, &Data::disabled_picture, {}, &Unit::ApplyDisabledPicture},
    {"DisabledPictureTransparentColor",
     kBackColor,
     &Data::disabled_picture_color,
     {},
     &Unit::ApplyDisabledPictureColor},
    {"Font", kFont, &Data::font, {}, &Unit::ApplyFont},
    {"Caption", kText, &Data::caption, {}, &Unit::ApplyCaption},
    {"UseSystemColors", kLogical, &Data::use_system_colors, {}, &Unit::Refresh},
    PairColor(kColor, &Data::text_color1, "ColorPair1Text"),
    PairColor(kBackColor, &Data::back_color1, "ColorPair1Back"),
    PairColor(kColor, &Data::text_color2, "ColorPair2Text"),
    PairColor(kBackColor, &Data::back_color2, "ColorPair2Back"),
    PairColor(kColor, &Data::text_color3, "ColorPair3Text"),
    PairColor(kBackColor, &Data::back_color3, "ColorPair3Back"),
    {"BuiltInSound", kLogical, &Data::built_in_sound},
    {"HoverSound", kSound, &Data::hover_sound},
    {"ClickSound", kSound, &Data::click_sound},
    {"ToolTip", kText, &Data::tool_tip, {}, &Unit::ApplyToolTip},
    {.name = "DefaultButton",
     .type = kPickList,
     .slot = &Data::default_button,
     .range = {0, 1},
     .recreates = true},
};
static_assert(std::size(kRows) == 27);

}  // namespace

const PropertyTable<SuperButtonUnit, SuperButtonClassData>& SuperButtonUnit::Properties() {
  static constexpr PropertyTable<SuperButtonUnit, SuperButtonClassData> table(kRows);
  return table;
}

UnitClass SuperButtonClass() {
  // The second extended-UI library's type 0.
  return MakeUnitClass<SuperButtonUnit>(
      {runtime::MakeTypeRef(2, 0), "超级按钮", "SuperBtn", {"Clicked"}});
}

}  // namespace units
