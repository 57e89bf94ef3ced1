#pragma once

#include <QImage>
#include <cstdint>
#include <span>

namespace units {

// A picture property's bytes (a whole GIF, BMP, JPEG, PNG, icon or cursor file) as an
// image; a null image when the bytes are empty or do not decode, which every class treats
// as no picture.
QImage DecodePicture(std::span<const uint8_t> bytes);

}  // namespace units
