#include "units/label/label_class.h"

#include "units/base/unit_operations.h"
#include "units/label/label_unit.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Row = PropertyRow<LabelUnit, LabelClassData>;
using Data = LabelClassData;

constexpr Range kEffects{0, 3};
constexpr Range kAlignments{0, 2};

// Every write repaints; the caption is also the window's text, a new back picture is
// decoded again.
constexpr Row kRows[] = {
    {"Caption", kText, &Data::caption, {}, &LabelUnit::ApplyCaption},
    {"Effect", kPickList, &Data::effect, kEffects, &LabelUnit::Refresh},
    {"Border", kPickList, &Data::border, {0, 6}, &LabelUnit::Refresh},
    {"FrameWidth",
     kInteger,
     &Data::frame_width,
     {LabelUnit::kSmallestFrameWidth, INT32_MAX},
     &LabelUnit::Refresh},
    {"FrameColor1",
     kColorOfSet,
     ColorElement<Data, 3>{&Data::frame_colors, 0},
     {},
     &LabelUnit::Refresh},
    {"FrameColor2",
     kColorOfSet,
     ColorElement<Data, 3>{&Data::frame_colors, 1},
     {},
     &LabelUnit::Refresh},
    {"FrameColor3",
     kColorOfSet,
     ColorElement<Data, 3>{&Data::frame_colors, 2},
     {},
     &LabelUnit::Refresh},
    {"Font", kFont, &Data::font, {}, &LabelUnit::Refresh},
    {"TextColor", kColor, &Data::text_color, {}, &LabelUnit::Refresh},
    {"BackColor", kBackColor, &Data::back_color, {}, &LabelUnit::Refresh},
    {"BackPicture", kPicture, &Data::back_picture, {}, &LabelUnit::ApplyBackPicture},
    {"BackPictureMode", kPickList, &Data::back_picture_mode, {0, 2}, &LabelUnit::Refresh},
    {"GradientMode", kPickList, &Data::gradient_mode, {0, 8}, &LabelUnit::Refresh},
    {"GradientColor1",
     kColorOfSet,
     ColorElement<Data, 3>{&Data::gradient_colors, 0},
     {},
     &LabelUnit::Refresh},
    {"GradientColor2",
     kColorOfSet,
     ColorElement<Data, 3>{&Data::gradient_colors, 1},
     {},
     &LabelUnit::Refresh},
    {"GradientColor3",
     kColorOfSet,
     ColorElement<Data, 3>{&Data::gradient_colors, 2},
     {},
     &LabelUnit::Refresh},
    {"Alignment", kPickList, &Data::alignment, kAlignments, &LabelUnit::Refresh},
    {"WordWrap", kLogical, &Data::word_wrap, {}, &LabelUnit::Refresh},
    {"VerticalAlignment", kPickList, &Data::vertical_alignment, kAlignments, &LabelUnit::Refresh},
    // The application binds no label to a data source: the names are only kept.
    {"DataSource", kDataSource, &Data::data_source},
    {"DataColumn", kDataColumn, &Data::data_column},
};

}  // namespace

const PropertyTable<LabelUnit, LabelClassData>& LabelUnit::Properties() {
  static constexpr PropertyTable<LabelUnit, LabelClassData> table(kRows);
  return table;
}

UnitClass LabelClass() {
  return MakeUnitClass<LabelUnit>({0x0001000A, "标签", "Label", {"Feedback"}});
}

}  // namespace units
