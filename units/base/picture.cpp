#include "units/base/picture.h"

namespace units {

QImage DecodePicture(std::span<const uint8_t> bytes) {
  QImage image;
  if (!bytes.empty()) image.loadFromData(bytes.data(), static_cast<int>(bytes.size()));
  return image;
}

}  // namespace units
