#include "units/splitterbar/line_move_cursors.h"

#include <QPixmap>
#include <cstdlib>

namespace units {

namespace {

constexpr int kSize = 32;
constexpr int kHotSpot = 15;  // the gap between the two lines, on the arrows' axis

// The black strokes of the vertical-line-move cursor: lines at columns 13 and 17, rows 7
// to 23; from each an arrow along rows 14 to 16 whose head is four pixels deep.
bool IsInk(int x, int y) {
  const bool on_line = (x == 13 || x == 17) && y >= 7 && y <= 23;
  const auto arrow = [&](int tip, int direction) {
    const int depth = (x - tip) * direction;  // 0 at the tip, growing towards the line
    if (depth < 0 || depth > 4) return false;
    const bool shaft = depth > 0 && std::abs(y - kHotSpot) <= 1;
    const bool head = depth < 4 && std::abs(y - kHotSpot) <= depth;
    return shaft || head;
  };
  return on_line || arrow(8, 1) || arrow(22, -1);
}

QImage VerticalLineMoveImage() {
  QImage image(kSize, kSize, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (IsInk(x, y)) image.setPixel(x, y, qRgb(0, 0, 0));
    }
  }
  // A white outline keeps the cursor visible on dark backgrounds.
  const QImage ink = image;
  for (int y = 0; y < kSize; ++y) {
    for (int x = 0; x < kSize; ++x) {
      if (qAlpha(ink.pixel(x, y)) != 0) continue;
      bool touches = false;
      for (int dy = -1; dy <= 1 && !touches; ++dy) {
        for (int dx = -1; dx <= 1 && !touches; ++dx) {
          const int nx = x + dx, ny = y + dy;
          touches =
              nx >= 0 && ny >= 0 && nx < kSize && ny < kSize && qAlpha(ink.pixel(nx, ny)) != 0;
        }
      }
      if (touches) image.setPixel(x, y, qRgb(255, 255, 255));
    }
  }
  return image;
}

// The same drawing with rows and columns swapped.
QImage Transposed(const QImage& image) {
  QImage swapped(image.height(), image.width(), image.format());
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) swapped.setPixel(y, x, image.pixel(x, y));
  }
  return swapped;
}

}  // namespace

QImage LineMoveCursorImage(Qt::Orientation drag_axis) {
  static const QImage vertical_lines = VerticalLineMoveImage();
  static const QImage horizontal_lines = Transposed(vertical_lines);
  return drag_axis == Qt::Horizontal ? vertical_lines : horizontal_lines;
}

QCursor LineMoveCursor(Qt::Orientation drag_axis) {
  return QCursor(QPixmap::fromImage(LineMoveCursorImage(drag_axis)), kHotSpot, kHotSpot);
}

}  // namespace units
