#include "units/label/caption_painter.h"

#include <QPainter>

#include "platform/gui/gbk_qstring.h"
#include "units/base/painting.h"

namespace units {

namespace {

int TextFlags(const CaptionStyle& style) {
  int flags = Qt::TextShowMnemonic | Qt::TextDontClip;
  flags |= style.alignment == 1   ? Qt::AlignHCenter
           : style.alignment == 2 ? Qt::AlignRight
                                  : Qt::AlignLeft;
  if (style.word_wrap) {
    // Wrapped text starts at the top: vertical centring applies to a single line only.
    flags |= Qt::TextWordWrap | Qt::AlignTop;
  } else {
    flags |= Qt::TextSingleLine;
    flags |= style.vertical_alignment == 1   ? Qt::AlignVCenter
             : style.vertical_alignment == 2 ? Qt::AlignBottom
                                             : Qt::AlignTop;
  }
  return flags;
}

}  // namespace

void PaintCaption(QPainter& painter, const QRect& area, const CaptionStyle& style,
                  const QFont& font, const QPalette& palette) {
  const QString caption = gui::QStringOfGbk(style.caption);
  if (caption.isEmpty()) return;
  painter.setFont(font);
  const int flags = TextFlags(style);
  const auto draw = [&](const QColor& color, int shift) {
    painter.setPen(color);
    painter.drawText(area.translated(shift, shift), flags, caption);
  };
  const QColor text = ColorOf(style.text_color, palette.windowText().color());
  switch (style.effect) {
    case 1:  // raised: a white copy below and right, the text in place
      draw(Qt::white, 1);
      draw(text, 0);
      break;
    case 2:  // sunken: a white copy in place, the text below and right
      draw(Qt::white, 0);
      draw(text, 1);
      break;
    case 3:  // shadow: a black copy two pixels off
      draw(Qt::black, 2);
      draw(text, 0);
      break;
    default:
      draw(text, 0);
      break;
  }
}

}  // namespace units
