#pragma once

#include <QColor>
#include <QRect>
#include <cstdint>
#include <span>

class QPainter;

namespace units {

// Gradient directions of GradientFill.
namespace gradient_mode {
inline constexpr int32_t kTopToBottom = 1;
inline constexpr int32_t kLeftToRight = 2;
inline constexpr int32_t kFromTopLeft = 3;
inline constexpr int32_t kFromTopRight = 4;
inline constexpr int32_t kBottomToTop = 5;
inline constexpr int32_t kRightToLeft = 6;
inline constexpr int32_t kFromBottomRight = 7;
inline constexpr int32_t kFromBottomLeft = 8;
}  // namespace gradient_mode

// The colour of the gradient at `point` (inside `rect`): 2 or 3 colours spread evenly
// along the span and interpolated per channel. Modes 1, 2, 5 and 6 run along the height or
// width; 3, 4, 7 and 8 start at a corner, where the position is the sum of the distances
// from that corner and the span is twice the shorter side (beyond it the last colour).
QColor GradientColorAt(const QRect& rect, int32_t mode, std::span<const QColor> colors,
                       QPoint point);

// Fills `rect` with the gradient, in tiles of at most 50 x 50 pixels computed into a
// pixel buffer each; only tiles that meet `exposed` are computed. A mode outside 1..8 or
// a colour count other than 2 or 3 paints nothing. Returns the number of tiles painted.
int32_t GradientFill(QPainter& painter, const QRect& rect, int32_t mode,
                     std::span<const QColor> colors, const QRect& exposed);

}  // namespace units
