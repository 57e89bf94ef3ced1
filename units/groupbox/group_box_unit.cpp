#include "units/groupbox/group_box_unit.h"


#include "forms/logical_font.h"
#include "units/base/painting.h"
#include "units/groupbox/group_box_widget.h"
#include "platform/gui/gbk_qstring.h"

namespace units {

GroupBoxUnit::GroupBoxUnit(const forms::CreateParams& params, GroupBoxClassData data)
    : gui::Window(new GroupBoxWidget), UnitBase(params.form, params.unit), data_(std::move(data)) {
  Properties().ClampAll(data_);
  GroupBoxWidget* box = Box();
  box->setFocusPolicy(Qt::NoFocus);
  ApplyCaption();
  ApplyAlignment();
  ApplyColors();
  ApplyFont();
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
}

GroupBoxWidget* GroupBoxUnit::Box() const { return static_cast<GroupBoxWidget*>(Widget()); }

void GroupBoxUnit::ApplyCaption() {
  Box()->SetTitle(gui::QStringOfGbk(data_.caption));
  SetText(Box()->Title());
}

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

int64_t GroupBoxUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  return DefaultProc(message);
}

}  // namespace units
