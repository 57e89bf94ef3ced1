#include "units/groupbox/group_box_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <algorithm>

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

QStyleOptionGroupBox GroupBoxWidget::FrameOption() const {
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  option.text = title_;
  if (!title_.isEmpty()) option.subControls |= QStyle::SC_GroupBoxLabel;
  // Some styles take the title colour from the option, others from the palette.
  if (text_.isValid()) {
    option.textColor = text_;
    option.palette.setColor(QPalette::WindowText, text_);
  }
  return option;
}

// The Windows styles put the title's line at the top of the frame's rectangle, and a font may
// draw above its own ascent (the Chinese characters of some fonts do, by two pixels): the top
// of the characters would be cut off. Frame and title come down by that much.
int GroupBoxWidget::TitleDrop(const QStyleOptionGroupBox& option) const {
  if (title_.isEmpty()) return 0;
  const QRect label = style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
  const QFontMetrics& metrics = option.fontMetrics;
  const int line_top = label.top() + (label.height() - metrics.height()) / 2;
  const int ink_top = line_top + metrics.ascent() + metrics.tightBoundingRect(title_).top();
  return std::max(0, -std::min(line_top, ink_top));
}

QRect GroupBoxWidget::TitleRect() const {
  const QStyleOptionGroupBox option = FrameOption();
  return style()
      ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this)
      .translated(0, TitleDrop(option));
}

void GroupBoxWidget::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  if (back_.isValid()) painter.fillRect(rect(), back_);
  QStyleOptionGroupBox option = FrameOption();
  const int drop = TitleDrop(option);
  painter.translate(0, drop);
  option.rect.setHeight(option.rect.height() - drop);
  painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

void GroupBoxWidget::mousePressEvent(QMouseEvent* event) { event->accept(); }
void GroupBoxWidget::mouseReleaseEvent(QMouseEvent* event) { event->accept(); }
void GroupBoxWidget::mouseMoveEvent(QMouseEvent* event) { event->accept(); }

}  // namespace units
