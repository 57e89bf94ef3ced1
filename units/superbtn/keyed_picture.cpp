#include "units/superbtn/keyed_picture.h"

#include <QStyle>
#include <QStyleOption>

#include "units/base/painting.h"
#include "units/base/picture.h"

namespace units {

void KeyedPicture::SetBytes(std::span<const uint8_t> bytes, uint32_t color) {
  decoded_ = DecodePicture(bytes);
  if (!decoded_.isNull()) decoded_ = decoded_.convertToFormat(QImage::Format_ARGB32);
  SetColor(color);
}

void KeyedPicture::SetColor(uint32_t color) {
  greyed_ = QPixmap();
  if (decoded_.isNull()) {
    keyed_ = QPixmap();
    return;
  }
  // The default colour keys out the colour of the top-left pixel.
  const QRgb key = ColorOf(color, QColor::fromRgb(decoded_.pixel(0, 0))).rgb() & RGB_MASK;
  QImage keyed = decoded_;
  for (int y = 0; y < keyed.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
    for (int x = 0; x < keyed.width(); ++x) {
      if ((line[x] & RGB_MASK) == key) line[x] = 0;
    }
  }
  keyed_ = QPixmap::fromImage(keyed);
}

const QPixmap& KeyedPicture::Greyed(const QStyle& style, const QPalette& palette) const {
  if (greyed_.isNull() && !keyed_.isNull()) {
    QStyleOption option;
    option.palette = palette;
    greyed_ = style.generatedIconPixmap(QIcon::Disabled, keyed_, &option);
  }
  return greyed_;
}

}  // namespace units
