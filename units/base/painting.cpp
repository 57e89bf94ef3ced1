#include "units/base/painting.h"

#include <QPainter>
#include <algorithm>

namespace units {

QColor ColorOf(uint32_t bgr, const QColor& default_color) {
  if (bgr == 0xFF000000) return default_color;
  return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                static_cast<int>((bgr >> 16) & 0xFF));
}

uint32_t BgrOf(const QColor& color) {
  return static_cast<uint32_t>(color.red()) | (static_cast<uint32_t>(color.green()) << 8) |
         (static_cast<uint32_t>(color.blue()) << 16);
}

void PaintPicture(QPainter& painter, const QRect& area, const QImage& image, int32_t mode) {
  switch (mode) {
    case 1: painter.drawTiledPixmap(area, QPixmap::fromImage(image)); break;
    case 2: {
      QSize size = image.size();
      if (size.width() > area.width() || size.height() > area.height()) {
        const double ratio = std::min(static_cast<double>(area.width()) / size.width(),
                                      static_cast<double>(area.height()) / size.height());
        size = QSize(static_cast<int>(size.width() * ratio), static_cast<int>(size.height() * ratio));
      }
      const QRect target(area.left() + (area.width() - size.width()) / 2,
                         area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
      painter.drawImage(target, image);
      break;
    }
    case 3: painter.drawImage(area, image); break;
    default: painter.drawImage(area.topLeft(), image); break;
  }
}

void DrawEdge(QPainter& painter, QRect& rect, const QColor& top_left, const QColor& bottom_right) {
  painter.setPen(top_left);
  painter.drawLine(rect.topLeft(), rect.topRight() - QPoint(1, 0));
  painter.drawLine(rect.topLeft(), rect.bottomLeft() - QPoint(0, 1));
  painter.setPen(bottom_right);
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  painter.drawLine(rect.topRight(), rect.bottomRight());
  rect.adjust(1, 1, -1, -1);
}

}  // namespace units
