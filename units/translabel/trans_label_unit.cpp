#include "units/translabel/trans_label_unit.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QWidget>
#include <functional>

#include "forms/logical_font.h"
#include "units/label/caption_painter.h"

namespace units {

namespace {

// The transparent label's widget: neither opaque nor filling its background, so that Qt
// paints the parent (and any unit below) under it before the caption. Mouse input ends
// here, as on any unit: the window under it hears nothing of it.
class TransLabelWidget : public QWidget {
 public:
  std::function<void(QPainter&)> paint;

 protected:
  void paintEvent(QPaintEvent*) override {
    if (!paint) return;
    QPainter painter(this);
    paint(painter);
  }
  void mousePressEvent(QMouseEvent* event) override { event->accept(); }
  void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
  void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
  void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
};

}  // namespace

TransLabelUnit::TransLabelUnit(const forms::CreateParams& params, TransLabelClassData data)
    : gui::Window(new TransLabelWidget),
      UnitBase(params.form, params.unit),
      data_(std::move(data)) {
  Properties().ClampAll(data_);
  auto* widget = static_cast<TransLabelWidget*>(Widget());
  // Called by Qt while the widget lives, and the widget never outlives this object.
  widget->paint = [this](QPainter& painter) { PaintText(painter); };
  widget->setAutoFillBackground(false);
  widget->setFocusPolicy(Qt::NoFocus);
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
}

void TransLabelUnit::PaintText(QPainter& painter) const {
  const auto font = forms::LogicalFont::FromBytes(data_.font);
  PaintCaption(painter, Widget()->rect(),
               {data_.caption, data_.effect, data_.alignment, data_.word_wrap,
                data_.vertical_alignment, data_.text_color},
               font ? font->ToQFont() : forms::LogicalFont::Default().ToQFont(),
               Widget()->palette());
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
