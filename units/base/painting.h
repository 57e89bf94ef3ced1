#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdint>

class QPainter;

namespace units {

// A colour property (0x00BBGGRR) as a colour; the default colour 0xFF000000 gives
// `default_color` (the system's button face, as a rule).
QColor ColorOf(uint32_t bgr, const QColor& default_color);
uint32_t BgrOf(const QColor& color);

// Draws one ring of a three-dimensional edge just inside `rect`, `top_left` on the top
// and left sides and `bottom_right` on the others; `rect` shrinks by the ring.
void DrawEdge(QPainter& painter, QRect& rect, const QColor& top_left, const QColor& bottom_right);

// Draws a background picture into `area`: 0 at the top-left corner at natural size,
// 1 tiled from the top-left corner, 2 centred (scaled down by the smaller of the two
// ratios when larger than the area), 3 stretched over the whole area.
void PaintPicture(QPainter& painter, const QRect& area, const QImage& image, int32_t mode);

}  // namespace units
