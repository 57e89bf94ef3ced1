#pragma once

#include <QFont>
#include <QPalette>
#include <QRect>
#include <cstdint>
#include <string_view>

class QPainter;

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

// Draws the caption into `area` without clipping it and without touching the background:
// raised text has a white copy one pixel right and down behind it, sunken text a white
// copy in place with the text one pixel right and down, shadowed text a black copy two
// pixels right and down. "&" marks the mnemonic. An empty caption draws nothing.
void PaintCaption(QPainter& painter, const QRect& area, const CaptionStyle& style,
                  const QFont& font, const QPalette& palette);

}  // namespace units
