#include "units/editbox/edit_box_class.h"

#include "units/base/unit_operations.h"
#include "units/editbox/edit_box_unit.h"
#include "units/editbox/input_mode.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Row = PropertyRow<EditBoxUnit, EditBoxClassData>;
using Data = EditBoxClassData;
using Unit = EditBoxUnit;

// The password character is stored as its GBK code and seen as a one-character text.
constexpr TextView<Data> kPasswordCharText{
    [](const Data& data) { return PasswordCharText(data.password_char); },
    [](Data& data, const std::string& text) { data.password_char = PasswordCharOfText(text); }};

// The text and the selection live in the widget; styles that only a new widget can take
// re-create the box when their value changes.
constexpr Row kRows[] = {
    {.name = "Content",
     .type = kText,
     .slot = &Data::content,
     .read_live = &Unit::ReadContent,
     .write_live = &Unit::WriteContent},
    {"Border", kPickList, &Data::border, {0, 5}, &Unit::ApplyBorder},
    {"TextColor", kColor, &Data::text_color, {}, &Unit::ApplyColors},
    {"BackColor", kBackColor, &Data::back_color, {}, &Unit::ApplyColors},
    {"Font", kFont, &Data::font, {}, &Unit::ApplyFont},
    {"HideSelection", kLogical, &Data::hide_selection, {}, nullptr, true},
    {"MaxLength", kInteger, &Data::max_length, {0, INT32_MAX}, &Unit::ApplyMaxLength},
    {"MultiLine", kLogical, &Data::multi_line, {}, nullptr, true},
    {"ScrollBars", kPickList, &Data::scroll_bars, {0, 3}, nullptr, true},
    {"Alignment", kPickList, &Data::alignment, {0, 2}, nullptr, true},
    {"InputMode", kPickList, &Data::input_mode, {0, input_mode::kLast}, &Unit::ApplyInputMode},
    {"PasswordChar", kText, kPasswordCharText, {}, &Unit::ApplyPasswordChar},
    {"CaseConversion", kPickList, &Data::case_conversion, {0, 2}, nullptr, true},
    {"SpinMode", kPickList, &Data::spin_mode, {0, 2}, nullptr, true},
    {"SpinMin", kInteger, &Data::spin_min, {}, &Unit::ApplySpinRange},
    {"SpinMax", kInteger, &Data::spin_max, {}, &Unit::ApplySpinRange},
    {.name = "SelStart",
     .type = kInteger,
     .slot = &Data::sel_start,
     .read_live = &Unit::ReadSelStart,
     .write_live = &Unit::WriteSelStart},
    {.name = "SelLength",
     .type = kInteger,
     .slot = &Data::sel_length,
     .read_live = &Unit::ReadSelLength,
     .write_live = &Unit::WriteSelLength},
    {.name = "SelText",
     .type = kText,
     .read_live = &Unit::ReadSelText,
     .write_live = &Unit::WriteSelText},
    {"DataSource", kDataSource, &Data::data_source},
    {"DataColumn", kDataColumn, &Data::data_column},
};

}  // namespace

const PropertyTable<EditBoxUnit, EditBoxClassData>& EditBoxUnit::Properties() {
  static constexpr PropertyTable<EditBoxUnit, EditBoxClassData> table(kRows);
  return table;
}

UnitClass EditBoxClass() {
  return MakeUnitClass<EditBoxUnit>(
      {kEditBoxType, "编辑框", "EditBox", {"ContentChanged", "SpinStep"}});
}

}  // namespace units
