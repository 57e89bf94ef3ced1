#include "units/treebox/state_pictures.h"

#include <QPainter>

namespace units {

namespace {

constexpr int kSide = 13;

QImage BoxPicture(int state) {
  QImage image(kSide, kSide, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setPen(QColor(0x33, 0x33, 0x33));
  painter.drawRect(0, 0, kSide - 1, kSide - 1);
  if (state == 1) {
    QPen tick(Qt::black);
    tick.setWidth(2);
    painter.setPen(tick);
    painter.drawPolyline(QPolygon({QPoint(3, 6), QPoint(5, 9), QPoint(10, 3)}));
  } else if (state == 2) {
    painter.fillRect(3, 3, kSide - 6, kSide - 6, QColor(0x55, 0x55, 0x55));
  }
  return image;
}

}  // namespace

const std::vector<QImage>& BuiltInCheckPictures() {
  static const std::vector<QImage> pictures = {BoxPicture(0), BoxPicture(1), BoxPicture(2)};
  return pictures;
}

std::vector<QImage> BuildStatePictures(const std::vector<QImage>& pictures, int32_t state_count) {
  const std::vector<QImage>& source = pictures.empty() ? BuiltInCheckPictures() : pictures;
  const size_t available = source.size();
  const size_t used = state_count <= 0 || static_cast<size_t>(state_count) > available
                          ? available
                          : static_cast<size_t>(state_count);
  std::vector<QImage> states;
  states.push_back(source.front());
  states.insert(states.end(), source.begin(), source.begin() + static_cast<ptrdiff_t>(used));
  return states;
}

}  // namespace units
