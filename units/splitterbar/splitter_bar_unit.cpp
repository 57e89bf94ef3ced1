#include "units/splitterbar/splitter_bar_unit.h"

#include <QEvent>
#include <QPainter>

#include "units/base/painted_widget.h"
#include "units/base/painting.h"
#include "units/splitterbar/line_move_cursors.h"

namespace units {

namespace {

// The bar's widget hands its paint events to the unit and keeps the cursor it was given
// by the bar itself: any other cursor set on it (the MouseCursor property, for one) is
// replaced at once.
class SplitterBarWidget : public PaintedWidget {
 public:
  std::optional<QCursor> own_cursor;

  void SetOwnCursor(const QCursor& cursor) {
    own_cursor = cursor;
    ApplyOwnCursor();
  }

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::CursorChange && !applying_cursor_) ApplyOwnCursor();
    return PaintedWidget::event(event);
  }

 private:
  void ApplyOwnCursor() {
    if (!own_cursor) return;
    applying_cursor_ = true;
    setCursor(*own_cursor);
    applying_cursor_ = false;
  }

  bool applying_cursor_ = false;
};

}  // namespace

SplitterBarUnit::SplitterBarUnit(const forms::CreateParams& params, SplitterBarClassData data)
    : gui::Window(new SplitterBarWidget), UnitBase(params.form, params.unit), data_(data) {
  Properties().ClampAll(data_);
  auto* widget = static_cast<SplitterBarWidget*>(Widget());
  // Called by Qt while the widget lives, and the widget never outlives this object.
  widget->paint = [this](QPainter& painter, const QRect& exposed) { PaintBar(painter, exposed); };
  widget->setAttribute(Qt::WA_OpaquePaintEvent);
  widget->setFocusPolicy(Qt::NoFocus);
  ApplyOrientation();
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
}

SplitterBarUnit::~SplitterBarUnit() { drag_.Cancel(); }

void SplitterBarUnit::ApplyOrientation() {
  cursor_ = LineMoveCursor(IsVertical() ? Qt::Horizontal : Qt::Vertical);
  if (auto* widget = static_cast<SplitterBarWidget*>(Widget())) widget->SetOwnCursor(cursor_);
  Repaint();
}

void SplitterBarUnit::PaintBar(QPainter& painter, const QRect& exposed) const {
  const QPalette& palette = Widget()->palette();
  painter.fillRect(exposed, ColorOf(data_.back_color, palette.button().color()));
  // A raised three-dimensional frame: the highlight along the top and left edges, the
  // shadow along the bottom and right edges, which take the corners they share.
  const QRect rect = Widget()->rect();
  const QColor highlight = palette.light().color();
  const QColor shadow = palette.dark().color();
  painter.fillRect(QRect(rect.left(), rect.top(), rect.width() - 1, 1), highlight);
  painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height() - 1), highlight);
  painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), shadow);
  painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), shadow);
}

void SplitterBarUnit::StartDrag(QPoint press) {
  // A drag needs the capture: none starts while another window holds it.
  if (drag_.Active() || QWidget::mouseGrabber() != nullptr) return;
  if (Widget() == nullptr || Widget()->parentWidget() == nullptr) return;
  Repaint();
  drag_.Start(Widget(), IsVertical(), MapToGlobal(press), cursor_,
              [this](int32_t start_edge, std::optional<int32_t> final_edge) {
                DragFinished(start_edge, final_edge);
              });
}

void SplitterBarUnit::DragFinished(int32_t start_edge, std::optional<int32_t> final_edge) const {
  if (!final_edge || *final_edge == start_edge) return;
  // The bar stays where it is: moving it is the handler's business. The handler may
  // destroy the bar, so nothing of it is touched afterwards.
  FireEvent(kPositionChangedEvent, {start_edge, *final_edge});
}

int64_t SplitterBarUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  switch (message.id) {
    case gui::msg::kLeftButtonDown:
    case gui::msg::kLeftButtonDoubleClick:  // a quick second press drags as well
      StartDrag(QPoint(gui::PointX(message.lparam), gui::PointY(message.lparam)));
      break;
    case gui::msg::kDestroy:
      drag_.Cancel();
      break;
    default:
      break;
  }
  return DefaultProc(message);
}

}  // namespace units
