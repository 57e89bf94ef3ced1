#include "units/editbox/spin_control.h"

#include <qdrawutil.h>

#include <QPainter>
#include <QToolButton>

namespace units {

SpinControl::SpinControl(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
  for (QToolButton* button : {up_, down_}) {
    button->setArrowType(button == up_ ? Qt::UpArrow : Qt::DownArrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QToolButton::clicked, [this, button] {
      if (on_step) on_step(button == up_ ? 1 : -1);
    });
  }
  setFocusPolicy(Qt::NoFocus);
}

void SpinControl::SetEdge(bool edge) {
  edge_ = edge;
  resizeEvent(nullptr);
  update();
}

void SpinControl::paintEvent(QPaintEvent*) {
  if (!edge_) return;
  QPainter painter(this);
  qDrawShadePanel(&painter, rect(), palette(), true, 1);
}

void SpinControl::resizeEvent(QResizeEvent*) {
  const int edge = edge_ ? 1 : 0;
  const int inner_height = std::max(0, height() - 2 * edge);
  const int upper = inner_height / 2;
  up_->setGeometry(edge, edge, std::max(0, width() - 2 * edge), upper);
  down_->setGeometry(edge, edge + upper, std::max(0, width() - 2 * edge), inner_height - upper);
}

}  // namespace units
