#include "units/label/caption_painter.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

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

// The text as drawn: a mnemonic "&" is not shown, "&&" is one "&".
QString WithoutMnemonic(const QString& text) {
  QString shown;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  return shown;
}

}  // namespace

CaptionLayout LayOutCaption(const QRect& area, const CaptionStyle& style, const QFont& font) {
  CaptionLayout layout;
  layout.whole = gui::QStringOfGbk(style.caption);
  layout.shown = layout.whole;
  if (layout.whole.isEmpty()) return layout;
  const QFontMetrics metrics(font);
  const int flags = TextFlags(style);
  if (style.word_wrap) {
    layout.ink = metrics.boundingRect(area, flags & ~Qt::TextDontClip, layout.shown);
    return layout;
  }
  if (metrics.tightBoundingRect(WithoutMnemonic(layout.whole)).width() > area.width()) {
    layout.shown =
        metrics.elidedText(layout.whole, Qt::ElideRight, area.width(), Qt::TextShowMnemonic);
    layout.elided = layout.shown != layout.whole;
  }
  // The line's box as drawn, and the ink inside it from the baseline.
  const QRect line = metrics.boundingRect(area, flags & ~Qt::TextDontClip, layout.shown);
  const QRect ink = metrics.tightBoundingRect(WithoutMnemonic(layout.shown));
  layout.ink = ink.translated(line.left(), line.top() + metrics.ascent());
  if (layout.ink.height() <= area.height()) {
    if (layout.ink.top() < area.top()) layout.nudge = area.top() - layout.ink.top();
    if (layout.ink.bottom() > area.bottom()) layout.nudge = area.bottom() - layout.ink.bottom();
    layout.ink.translate(0, layout.nudge);
  }
  return layout;
}

void OfferWholeCaption(QWidget& widget, const CaptionLayout& layout) {
  const QString tip = layout.elided ? layout.whole : QString();
  if (widget.toolTip() != tip) widget.setToolTip(tip);
}

CaptionLayout PaintCaption(QPainter& painter, const QRect& area, const CaptionStyle& style,
                           const QFont& font, const QPalette& palette) {
  const CaptionLayout layout = LayOutCaption(area, style, font);
  if (layout.shown.isEmpty()) return layout;
  painter.setFont(font);
  const int flags = TextFlags(style);
  const auto draw = [&](const QColor& color, int shift) {
    painter.setPen(color);
    painter.drawText(area.translated(shift, shift + layout.nudge), flags, layout.shown);
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
  return layout;
}

}  // namespace units
