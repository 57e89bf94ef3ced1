#include "units/splitterbar/splitter_drag.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <utility>

namespace units {

namespace {

// The ghost: a frameless window above everything that takes neither input nor the
// activation, painted in a half-tone of dark dots through which the screen shows.
class GhostWindow : public QWidget {
 public:
  GhostWindow()
      : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                             Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), QBrush(QColor(0, 0, 0, 160), Qt::Dense4Pattern));
  }
};

}  // namespace

SplitterDrag::~SplitterDrag() { Stop(); }

void SplitterDrag::Start(QWidget* bar, bool along_x, QPoint start_cursor, const QCursor& cursor,
                         Finished finished) {
  QWidget* parent = bar->parentWidget();
  bar_ = bar;
  along_x_ = along_x;
  start_cursor_ = start_cursor;
  finished_ = std::move(finished);
  // 1. The allowed range of the leading edge keeps the whole bar inside the parent's
  // client area (a parent narrower than the bar leaves only its first edge).
  const QRect rect = bar->geometry();
  start_edge_ = along_x ? rect.left() : rect.top();
  lowest_edge_ = 0;
  highest_edge_ = std::max(
      lowest_edge_, along_x ? parent->width() - rect.width() : parent->height() - rect.height());
  // 2. The capture, and the ghost at the bar's own place.
  active_ = true;
  bar->grabMouse(cursor);
  ghost_ = std::make_unique<GhostWindow>();
  ghost_edge_ = start_edge_;
  ghost_->setGeometry(GhostRect(ghost_edge_));
  ghost_->show();
  // 3. From now on the input comes here first.
  QCoreApplication::instance()->installEventFilter(this);
}

void SplitterDrag::Cancel() {
  if (!active_) return;
  Stop();
  finished_ = nullptr;
}

int32_t SplitterDrag::EdgeAt(QPoint cursor) const {
  const QPoint moved = cursor - start_cursor_;
  const int64_t edge = int64_t{start_edge_} + (along_x_ ? moved.x() : moved.y());
  return static_cast<int32_t>(std::clamp<int64_t>(edge, lowest_edge_, highest_edge_));
}

QRect SplitterDrag::GhostRect(int32_t edge) const {
  // Only the coordinate along the drag direction changes; the other and the size stay
  // the bar's own.
  QRect rect = bar_->geometry();
  if (along_x_) {
    rect.moveLeft(edge);
  } else {
    rect.moveTop(edge);
  }
  return QRect(bar_->parentWidget()->mapToGlobal(rect.topLeft()), rect.size());
}

void SplitterDrag::MoveGhost(int32_t edge) {
  if (edge == ghost_edge_ || !ghost_) return;
  ghost_edge_ = edge;
  ghost_->setGeometry(GhostRect(edge));
}

void SplitterDrag::Stop() {
  if (!active_) return;
  active_ = false;
  QCoreApplication::instance()->removeEventFilter(this);
  if (!bar_.isNull() && QWidget::mouseGrabber() == bar_) bar_->releaseMouse();
  ghost_.reset();
}

void SplitterDrag::End(std::optional<int32_t> final_edge) {
  const int32_t start_edge = start_edge_;
  Finished finished = std::exchange(finished_, nullptr);
  Stop();
  // Last: the report may destroy the bar, and this object with it.
  if (finished) finished(start_edge, final_edge);
}

bool SplitterDrag::eventFilter(QObject* watched, QEvent* event) {
  if (!active_) return false;
  // Every return below that follows End() touches nothing of this object any more.
  switch (event->type()) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
      if (bar_.isNull() || QWidget::mouseGrabber() != bar_) {
        // The capture went elsewhere: the input is that window's.
        End(std::nullopt);
        return false;
      }
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const int32_t edge = EdgeAt(mouse->globalPosition().toPoint());
      if (event->type() == QEvent::MouseMove) {
        MoveGhost(edge);
        return true;
      }
      if (event->type() == QEvent::MouseButtonRelease) {
        if (mouse->button() != Qt::LeftButton) return false;
        End(edge);
        return true;
      }
      if (mouse->button() != Qt::RightButton) return false;
      End(std::nullopt);
      return true;
    }
    case QEvent::ShortcutOverride:
      // No shortcut runs during the drag: the key comes as a key press.
      event->accept();
      return true;
    case QEvent::KeyPress:
      if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) End(std::nullopt);
      return true;  // other keys are ignored
    case QEvent::WindowDeactivate:
      if (!bar_.isNull() && watched == bar_->window()) End(std::nullopt);
      return false;
    case QEvent::Hide:
      if (watched == bar_) End(std::nullopt);
      return false;
    default:
      return false;
  }
}

}  // namespace units
