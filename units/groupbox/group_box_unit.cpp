#include "units/groupbox/group_box_unit.h"

#include <algorithm>

#include "forms/logical_font.h"
#include "units/base/painting.h"
#include "units/base/property_bytes.h"
#include "units/groupbox/group_box_widget.h"
#include "platform/gui/gbk_qstring.h"

namespace units {

namespace {

enum GroupBoxProperty { kCaption, kAlignment, kTextColor, kBackColor, kFont };



}  // namespace

GroupBoxUnit::GroupBoxUnit(const forms::CreateParams& params, GroupBoxClassData data)
    : gui::Window(new GroupBoxWidget), UnitBase(params.form, params.unit), data_(std::move(data)) {
  data_.alignment = std::clamp(data_.alignment, 0, 2);
  GroupBoxWidget* box = Box();
  box->setFocusPolicy(Qt::NoFocus);
  box->SetTitle(gui::QStringOfGbk(data_.caption));
  SetText(box->Title());
  ApplyAlignment();
  ApplyColors();
  ApplyFont();
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
}

GroupBoxWidget* GroupBoxUnit::Box() const { return static_cast<GroupBoxWidget*>(Widget()); }

void GroupBoxUnit::ApplyAlignment() {
  Box()->setAlignment(data_.alignment == 0   ? Qt::AlignLeft
                      : data_.alignment == 2 ? Qt::AlignRight
                                             : Qt::AlignHCenter);
}

void GroupBoxUnit::ApplyColors() {
  const QColor face = Box()->palette().button().color();
  Box()->SetColors(ColorOf(data_.text_color, Qt::black), ColorOf(data_.back_color, face));
}

void GroupBoxUnit::ApplyFont() {
  const auto font = forms::LogicalFont::FromBytes(data_.font);
  Box()->setFont(font ? font->ToQFont() : forms::LogicalFont::Default().ToQFont());
}

int32_t GroupBoxUnit::WriteProperty(int32_t index, const forms::PropertyValue& value) {
  switch (index) {
    case kCaption:
      data_.caption = value.data;
      Box()->SetTitle(gui::QStringOfGbk(data_.caption));
      SetText(Box()->Title());
      break;
    case kAlignment:
      data_.alignment = std::clamp(static_cast<int32_t>(value.number), 0, 2);
      ApplyAlignment();
      break;
    case kTextColor:
      data_.text_color = static_cast<uint32_t>(value.number);
      ApplyColors();
      break;
    case kBackColor:
      data_.back_color = static_cast<uint32_t>(value.number);
      ApplyColors();
      break;
    case kFont:
      data_.font = BytesOf(value.data);
      ApplyFont();
      break;
    default:
      break;
  }
  return 0;
}

bool GroupBoxUnit::ReadProperty(int32_t index, forms::PropertyValue* value) const {
  switch (index) {
    case kCaption:
      value->data = data_.caption;
      return true;
    case kAlignment:
      value->number = data_.alignment;
      return true;
    case kTextColor:
      value->number = data_.text_color;
      return true;
    case kBackColor:
      value->number = data_.back_color;
      return true;
    case kFont:
      value->data = StringOf(data_.font);
      return true;
    default:
      return false;
  }
}

int64_t GroupBoxUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  return DefaultProc(message);
}

}  // namespace units
