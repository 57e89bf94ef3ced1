#include "units/splitterbar/splitter_bar_class.h"

#include "runtime/type_code.h"
#include "units/base/unit_operations.h"
#include "units/splitterbar/splitter_bar_unit.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Row = PropertyRow<SplitterBarUnit, SplitterBarClassData>;
using Data = SplitterBarClassData;

// Every write repaints; a new orientation also brings the other cursor.
constexpr Row kRows[] = {
    {"BackColor", kBackColor, &Data::back_color, {}, &SplitterBarUnit::Refresh},
    {"Orientation",
     kPickList,
     &Data::orientation,
     {Data::kHorizontal, Data::kVertical},
     &SplitterBarUnit::ApplyOrientation},
};

}  // namespace

const PropertyTable<SplitterBarUnit, SplitterBarClassData>& SplitterBarUnit::Properties() {
  static constexpr PropertyTable<SplitterBarUnit, SplitterBarClassData> table(kRows);
  return table;
}

UnitClass SplitterBarClass() {
  // Extended-UI library two, type 2.
  return MakeUnitClass<SplitterBarUnit>(
      {runtime::MakeTypeRef(2, 2), "分隔条", "SplitterBar", {"PositionChanged"}});
}

}  // namespace units
