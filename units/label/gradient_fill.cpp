#include "units/label/gradient_fill.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

namespace units {

namespace {

constexpr int kTileSize = 50;

bool IsDrawable(int32_t mode, std::span<const QColor> colors) {
  return mode >= 1 && mode <= 8 && (colors.size() == 2 || colors.size() == 3);
}

// Where (dx, dy) lies along the gradient of a w x h rectangle, and the span.
std::pair<int64_t, int64_t> PositionAndSpan(int32_t mode, int dx, int dy, int w, int h) {
  const int64_t diagonal = 2 * int64_t{std::min(w, h)};
  switch (mode) {
    case gradient_mode::kTopToBottom:
      return {dy, h};
    case gradient_mode::kLeftToRight:
      return {dx, w};
    case gradient_mode::kBottomToTop:
      return {h - 1 - dy, h};
    case gradient_mode::kRightToLeft:
      return {w - 1 - dx, w};
    case gradient_mode::kFromTopLeft:
      return {dx + dy, diagonal};
    case gradient_mode::kFromTopRight:
      return {(w - 1 - dx) + dy, diagonal};
    case gradient_mode::kFromBottomRight:
      return {(w - 1 - dx) + (h - 1 - dy), diagonal};
    default:
      return {dx + (h - 1 - dy), diagonal};  // from the bottom-left corner
  }
}

// Colour number 0 sits at position 0 and the last at span - 1.
QRgb Interpolate(std::span<const QColor> colors, int64_t position, int64_t span) {
  const int64_t segments = static_cast<int64_t>(colors.size()) - 1;
  const int64_t last = std::max<int64_t>(span - 1, 1);
  position = std::clamp<int64_t>(position, 0, last);
  // Fixed point: `scaled` runs from 0 to segments * last.
  const int64_t scaled = position * segments;
  const auto index = static_cast<size_t>(std::min(scaled / last, segments - 1));
  const int64_t within = scaled - static_cast<int64_t>(index) * last;
  const QColor& from = colors[index];
  const QColor& to = colors[index + 1];
  const auto channel = [&](int a, int b) {
    return static_cast<int>(a + (static_cast<int64_t>(b - a) * within) / last);
  };
  return qRgb(channel(from.red(), to.red()), channel(from.green(), to.green()),
              channel(from.blue(), to.blue()));
}

}  // namespace

QColor GradientColorAt(const QRect& rect, int32_t mode, std::span<const QColor> colors,
                       QPoint point) {
  if (!IsDrawable(mode, colors) || rect.isEmpty()) return {};
  const auto [position, span] = PositionAndSpan(
      mode, point.x() - rect.left(), point.y() - rect.top(), rect.width(), rect.height());
  return QColor::fromRgb(Interpolate(colors, position, span));
}

int32_t GradientFill(QPainter& painter, const QRect& rect, int32_t mode,
                     std::span<const QColor> colors, const QRect& exposed) {
  if (!IsDrawable(mode, colors) || rect.isEmpty()) return 0;
  int32_t tiles = 0;
  QImage buffer(kTileSize, kTileSize, QImage::Format_RGB32);
  for (int top = rect.top(); top <= rect.bottom(); top += kTileSize) {
    for (int left = rect.left(); left <= rect.right(); left += kTileSize) {
      const QRect tile = QRect(left, top, kTileSize, kTileSize).intersected(rect);
      if (!tile.intersects(exposed)) continue;
      for (int y = 0; y < tile.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(buffer.scanLine(y));
        for (int x = 0; x < tile.width(); ++x) {
          const auto [position, span] =
              PositionAndSpan(mode, tile.left() + x - rect.left(), tile.top() + y - rect.top(),
                              rect.width(), rect.height());
          line[x] = Interpolate(colors, position, span);
        }
      }
      painter.drawImage(tile.topLeft(), buffer, QRect(0, 0, tile.width(), tile.height()));
      ++tiles;
    }
  }
  return tiles;
}

}  // namespace units
