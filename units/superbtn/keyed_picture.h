#pragma once

#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <span>

class QStyle;
class QPalette;

namespace units {

// A picture property as the super button draws it: decoded once per write, with its
// transparent colour keyed out, and a greyed look made the first time it is asked for.
class KeyedPicture {
 public:
  // Decodes `bytes` (no picture when they are empty or do not decode) and keys out `color`.
  void SetBytes(std::span<const uint8_t> bytes, uint32_t color);
  // Keys out another colour of the same picture. 0xFF000000 is the top-left pixel's.
  void SetColor(uint32_t color);

  bool IsNull() const { return keyed_.isNull(); }
  QSize Size() const { return keyed_.size(); }
  // The picture with its transparent pixels cleared.
  const QPixmap& Keyed() const { return keyed_; }
  // The keyed picture greyed as the style greys a disabled button's picture.
  const QPixmap& Greyed(const QStyle& style, const QPalette& palette) const;

 private:
  QImage decoded_;
  QPixmap keyed_;
  mutable QPixmap greyed_;
};

}  // namespace units
