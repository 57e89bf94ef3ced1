#include "units/groupbox/group_box_class.h"

#include "units/base/unit_operations.h"
#include "units/groupbox/group_box_unit.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Row = PropertyRow<GroupBoxUnit, GroupBoxClassData>;
using Data = GroupBoxClassData;

constexpr Row kRows[] = {
    {"Caption", kText, &Data::caption, {}, &GroupBoxUnit::ApplyCaption},
    {"Alignment", kPickList, &Data::alignment, {0, 2}, &GroupBoxUnit::ApplyAlignment},
    {"TextColor", kColor, &Data::text_color, {}, &GroupBoxUnit::ApplyColors},
    {"BackColor", kBackColor, &Data::back_color, {}, &GroupBoxUnit::ApplyColors},
    {"Font", kFont, &Data::font, {}, &GroupBoxUnit::ApplyFont},
};

}  // namespace

const PropertyTable<GroupBoxUnit, GroupBoxClassData>& GroupBoxUnit::Properties() {
  static constexpr PropertyTable<GroupBoxUnit, GroupBoxClassData> table(kRows);
  return table;
}

UnitClass GroupBoxClass() {
  return MakeUnitClass<GroupBoxUnit>({0x00010009, "分组框", "GroupBox", {}});
}

}  // namespace units
