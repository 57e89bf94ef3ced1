#include "units/button/push_button_widget.h"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace units {

void PushButtonWidget::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  update();
}

void PushButtonWidget::SetAlignment(int32_t horizontal, int32_t vertical) {
  horizontal_ = horizontal;
  vertical_ = vertical;
  update();
}

void PushButtonWidget::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

Qt::Alignment PushButtonWidget::ContentAlignment() const {
  const Qt::Alignment horizontal = horizontal_ == 0   ? Qt::AlignLeft
                                   : horizontal_ == 2 ? Qt::AlignRight
                                                      : Qt::AlignHCenter;
  const Qt::Alignment vertical = vertical_ == 0   ? Qt::AlignTop
                                 : vertical_ == 2 ? Qt::AlignBottom
                                                  : Qt::AlignVCenter;
  return horizontal | vertical;
}

void PushButtonWidget::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  option.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButtonBevel, option);

  QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  if (option.state & (QStyle::State_Sunken | QStyle::State_On)) {
    contents.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  if (!picture_.isNull()) {
    const QPixmap shown =
        isEnabled() ? picture_ : style()->generatedIconPixmap(QIcon::Disabled, picture_, &option);
    painter.drawItemPixmap(contents, static_cast<int>(ContentAlignment()), shown);
  } else if (!caption_.isEmpty()) {
    painter.drawItemText(
        contents, static_cast<int>(ContentAlignment()) | Qt::TextShowMnemonic | Qt::TextWordWrap,
        palette(), isEnabled(), caption_, QPalette::ButtonText);
  }
  if (option.state & QStyle::State_HasFocus) {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
  }
}

}  // namespace units
