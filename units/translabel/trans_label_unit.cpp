#include "units/translabel/trans_label_unit.h"

#include <QPainter>
#include <QRegion>

#include "forms/logical_font.h"
#include "units/base/painted_widget.h"
#include "units/label/caption_painter.h"

namespace units {

TransLabelUnit::TransLabelUnit(const forms::CreateParams& params, TransLabelClassData data)
    : gui::Window(new PaintedWidget), UnitBase(params.form, params.unit), data_(std::move(data)) {
  Properties().ClampAll(data_);
  auto* widget = static_cast<PaintedWidget*>(Widget());
  widget->paint = [this](QPainter& painter, const QRect&) { PaintText(painter); };
  // Neither opaque nor filling its background: Qt paints the parent (and any unit below)
  // under it before the caption.
  widget->setAutoFillBackground(false);
  widget->setFocusPolicy(Qt::NoFocus);
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
}

void TransLabelUnit::PaintText(QPainter& painter) {
  const auto font = forms::LogicalFont::FromBytes(data_.font);
  painted_caption_ = PaintCaption(painter, Widget()->rect(),
                                  {data_.caption, data_.effect, data_.alignment, data_.word_wrap,
                                   data_.vertical_alignment, data_.text_color},
                                  font ? font->ToQFont() : forms::LogicalFont::Default().ToQFont(),
                                  Widget()->palette());
  OfferWholeCaption(*Widget(), painted_caption_);
}

void TransLabelUnit::Refresh() {
  QWidget* widget = Widget();
  if (widget == nullptr) return;
  const QRect now = widget->geometry();
  QRegion area(now);
  if (!refreshed_.isNull()) area += refreshed_;
  refreshed_ = now;
  QWidget* parent = widget->parentWidget();
  // A hidden label shows nothing that could be left behind (hiding it repaints what it
  // covered).
  if (parent != nullptr && widget->isVisible()) {
    // The top-level window repaints the area at once, and with it every unit that lies
    // there (Qt paints children over their parent in the same pass).
    QWidget* top = widget->window();
    top->repaint(area.translated(parent->mapTo(top, QPoint(0, 0))));
  }
  widget->update();
}

int64_t TransLabelUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  switch (message.id) {
    case gui::msg::kMove:
    case gui::msg::kSize:
      Refresh();
      break;
    default:
      break;
  }
  return DefaultProc(message);
}

}  // namespace units
