#include "units/translabel/trans_label_class.h"

#include "runtime/type_code.h"
#include "units/base/unit_operations.h"
#include "units/translabel/trans_label_unit.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Row = PropertyRow<TransLabelUnit, TransLabelClassData>;
using Data = TransLabelClassData;

constexpr Range kEffects{0, 3};
constexpr Range kAlignments{0, 2};

// Every write refreshes the label together with what lies under it.
constexpr Row kRows[] = {
    {"Caption", kText, &Data::caption, {}, &TransLabelUnit::Refresh},
    {"Effect", kPickList, &Data::effect, kEffects, &TransLabelUnit::Refresh},
    {"Font", kFont, &Data::font, {}, &TransLabelUnit::Refresh},
    {"TextColor", kColor, &Data::text_color, {}, &TransLabelUnit::Refresh},
    {"Alignment", kPickList, &Data::alignment, kAlignments, &TransLabelUnit::Refresh},
    {"WordWrap", kLogical, &Data::word_wrap, {}, &TransLabelUnit::Refresh},
    {"VerticalAlignment", kPickList, &Data::vertical_alignment, kAlignments,
     &TransLabelUnit::Refresh},
};

}  // namespace

const PropertyTable<TransLabelUnit, TransLabelClassData>& TransLabelUnit::Properties() {
  static constexpr PropertyTable<TransLabelUnit, TransLabelClassData> table(kRows);
  return table;
}

UnitClass TransLabelClass() {
  // Extended-UI library one, type 4.
  return MakeUnitClass<TransLabelUnit>({runtime::MakeTypeRef(1, 4), "透明标签", "TransLabel", {}});
}

}  // namespace units
