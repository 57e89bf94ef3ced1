#include "units/label/label_unit.h"

#include <QPainter>
#include <algorithm>

#include "forms/forms_runtime.h"
#include "forms/logical_font.h"
#include "platform/gui/gbk_qstring.h"
#include "units/base/painted_widget.h"
#include "units/base/picture.h"
#include "units/label/label_painter.h"

namespace units {

LabelUnit::LabelUnit(const forms::CreateParams& params, LabelClassData data)
    : gui::Window(new PaintedWidget), UnitBase(params.form, params.unit), data_(std::move(data)) {
  Properties().ClampAll(data_);
  auto* widget = static_cast<PaintedWidget*>(Widget());
  // Called by Qt while the widget lives, and the widget never outlives this object.
  widget->paint = [this](QPainter& painter, const QRect& exposed) {
    PaintExposed(painter, exposed);
  };
  widget->setAttribute(Qt::WA_OpaquePaintEvent);
  widget->setFocusPolicy(Qt::NoFocus);
  SetText(gui::QStringOfGbk(data_.caption));
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
}

const QImage* LabelUnit::Picture() {
  if (data_.back_picture.empty()) return nullptr;
  if (!picture_) {
    picture_ = DecodePicture(data_.back_picture);
  }
  return picture_->isNull() ? nullptr : &*picture_;
}

void LabelUnit::PaintExposed(QPainter& painter, const QRect& exposed) {
  const auto font = forms::LogicalFont::FromBytes(data_.font);
  painted_caption_ = PaintLabel(painter, Widget()->rect(), exposed, data_, Picture(),
                                font ? font->ToQFont() : forms::LogicalFont::Default().ToQFont(),
                                Widget()->palette());
  OfferWholeCaption(*Widget(), painted_caption_);
}

std::optional<QString> LabelUnit::MnemonicCaption() const {
  return gui::QStringOfGbk(data_.caption);
}

void LabelUnit::ActivateByMnemonic() {
  // Tab order is record order: the focus goes to the next unit after this one that takes
  // it, coming round from the start when none follows.
  forms::FormsRuntime& forms = forms::FormsRuntime::Instance();
  const forms::WindowTemplate* window = forms.Templates().Find(Form());
  if (window == nullptr) return;
  const int32_t self = window->IndexOf(Unit());
  if (self < 0) return;
  const auto count = static_cast<int32_t>(window->units.size());
  for (int32_t step = 1; step < count; ++step) {
    const forms::UnitRecord& record = window->units[static_cast<size_t>((self + step) % count)];
    if (record.IsMenuItem() || record.id == window->units[0].id) continue;
    gui::Window* live = forms.RecordWindow(record.Unit());
    if (live == nullptr || !live->IsVisible() || !live->IsEnabled()) continue;
    if ((live->Widget()->focusPolicy() & Qt::TabFocus) == 0) continue;
    live->SetFocus();
    return;
  }
}

void LabelUnit::ApplyCaption() {
  SetText(gui::QStringOfGbk(data_.caption));
  Repaint();
}

void LabelUnit::ApplyBackPicture() {
  picture_.reset();
  Repaint();
}

int64_t LabelUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  switch (message.id) {
    case kLabelFeedbackMessage: {
      const forms::EventOutcome outcome =
          FireEvent(kFeedbackEvent,
                    {static_cast<int32_t>(message.wparam), static_cast<int32_t>(message.lparam)});
      return outcome.has_value ? outcome.value : 0;
    }
    default:
      break;
  }
  return DefaultProc(message);
}

}  // namespace units
