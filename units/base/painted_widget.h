#pragma once

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <functional>

namespace units {

// The widget of a unit that paints itself: it hands every paint event, with the exposed
// part, to the unit. Mouse input ends here, as it does at any window: the window under it
// hears nothing of it.
class PaintedWidget : public QWidget {
 public:
  // Called by Qt while the widget lives; the unit that sets it outlives its widget.
  std::function<void(QPainter& painter, const QRect& exposed)> paint;

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (!paint) return;
    QPainter painter(this);
    paint(painter, event->rect());
  }
  void mousePressEvent(QMouseEvent* event) override { event->accept(); }
  void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
  void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
  void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
};

}  // namespace units
