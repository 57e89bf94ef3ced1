#include "units/groupbox/group_box_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace units {

void GroupBoxWidget::SetTitle(const QString& title) {
  if (title == title_) return;
  title_ = title;
  // Qt measures the frame from its own title, which must exist but hold no mnemonic: with
  // every "&" doubled it has none.
  QString measured = title;
  setTitle(measured.replace(QLatin1Char('&'), QLatin1String("&&")));
  update();
}

void GroupBoxWidget::SetColors(const QColor& text, const QColor& back) {
  text_ = text;
  back_ = back;
  update();
}

void GroupBoxWidget::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  if (back_.isValid()) painter.fillRect(rect(), back_);
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  option.text = title_;
  if (!title_.isEmpty()) option.subControls |= QStyle::SC_GroupBoxLabel;
  // Some styles take the title colour from the option, others from the palette.
  if (text_.isValid()) {
    option.textColor = text_;
    option.palette.setColor(QPalette::WindowText, text_);
  }
  painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

void GroupBoxWidget::mousePressEvent(QMouseEvent* event) { event->accept(); }
void GroupBoxWidget::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void GroupBoxWidget::mouseMoveEvent(QMouseEvent* event) { event->accept(); }

}  // namespace units
