#pragma once

#include <QFont>
#include <QPalette>
#include <QRect>
#include <QString>
#include <cstdint>
#include <string_view>

class QPainter;
class QWidget;

namespace units {

// What a caption is drawn from: the label and the transparent label keep these fields
// under the same names and draw them alike.
struct CaptionStyle {
  std::string_view caption;        // GBK
  int32_t effect = 0;              // 0 none, 1 raised, 2 sunken, 3 shadow
  int32_t alignment = 0;           // 0 left, 1 centred, 2 right
  bool word_wrap = false;          // wrapped text starts at the top
  int32_t vertical_alignment = 0;  // 0 top, 1 centred, 2 bottom (single line only)
  uint32_t text_color = 0;         // 0x00BBGGRR; 0xFF000000 = the palette's window text
};

// How a caption goes into its area: the text shown and where its ink lies. A single line
// whose ink is wider than the area is shown cut short with "…" (a figure that keeps growing
// would otherwise run past its label's edge unseen); the unit then offers the whole caption
// as its tool tip.
struct CaptionLayout {
  QString whole;
  QString shown;
  bool elided = false;
  // How far the line is moved down (or up) from where its alignment puts it, so that its ink
  // stays inside the area: a font may draw above its own ascent.
  int nudge = 0;
  QRect ink;  // in the area's coordinates; empty for an empty caption
};
CaptionLayout LayOutCaption(const QRect& area, const CaptionStyle& style, const QFont& font);

// Gives `widget` the whole caption as its tool tip while it is shown cut short, and none
// otherwise.
void OfferWholeCaption(QWidget& widget, const CaptionLayout& layout);

// Draws the caption into `area` as LayOutCaption places it, without clipping it and without
// touching the background: raised text has a white copy one pixel right and down behind it,
// sunken text a white copy in place with the text one pixel right and down, shadowed text a
// black copy two pixels right and down. "&" marks the mnemonic. An empty caption draws
// nothing. Gives the layout drawn.
CaptionLayout PaintCaption(QPainter& painter, const QRect& area, const CaptionStyle& style,
                           const QFont& font, const QPalette& palette);

}  // namespace units
