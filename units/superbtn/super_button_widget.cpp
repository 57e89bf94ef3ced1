#include "units/superbtn/super_button_widget.h"

#include <QEnterEvent>
#include <QPainter>

namespace units {

void SuperButtonWidget::paintEvent(QPaintEvent*) {
  if (!paint) return;
  QPainter painter(this);
  paint(painter);
}

void SuperButtonWidget::enterEvent(QEnterEvent* event) {
  QAbstractButton::enterEvent(event);
  if (!isEnabled() || hot_) return;
  hot_ = true;
  update();
}

void SuperButtonWidget::leaveEvent(QEvent* event) {
  QAbstractButton::leaveEvent(event);
  if (!hot_) return;
  hot_ = false;
  update();
}

void SuperButtonWidget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange && !isEnabled()) hot_ = false;
  QAbstractButton::changeEvent(event);
}

}  // namespace units
