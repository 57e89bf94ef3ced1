#pragma once

#include <QAbstractButton>
#include <functional>

class QPainter;

namespace units {

// The super button's widget: Qt's button behaviour (pressed while a press that began on it
// is held there or the space bar is down, `clicked` on release) with the drawing left to
// its unit, and hot tracking: the button is hot while the pointer is over it.
class SuperButtonWidget : public QAbstractButton {
 public:
  SuperButtonWidget() = default;

  bool IsHot() const { return hot_; }

  std::function<void(QPainter&)> paint;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  bool hot_ = false;
};

}  // namespace units
