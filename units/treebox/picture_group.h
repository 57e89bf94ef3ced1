#pragma once

#include <QImage>
#include <cstdint>
#include <span>
#include <vector>

namespace units {

// A picture group (the value of picture-group properties): the pictures of an image list as
// the platform's common controls stream it, behind a tag.
//
//   offset  0  "MITL"
//           4  int32 a word of the writer's (this reader ignores it; the writer puts the
//              length of what follows)
//           8  image-list header, 28 bytes:
//                +0 uint16 magic "IL" (0x4C49)   +2 uint16 version (0x0101 or 0x0600)
//                +4 uint16 picture count        +6 uint16 capacity    +8 uint16 grow
//               +10 uint16 picture width       +12 uint16 height
//               +14 uint32 background colour (0xFFFFFFFF none)
//               +18 uint16 flags (bit 0: a mask bitmap follows)   +20 int16[4] overlays
//          36  the pictures as one bitmap file, laid out in rows of equal cells
//              (four cells to a row as a rule), left to right, top to bottom
//              then, with flag bit 0, the mask as a bitmap file of the same layout:
//              white marks the transparent pixels
//
// Anything else counts as no pictures.
std::vector<QImage> ReadPictureGroup(std::span<const uint8_t> bytes);

// The same format from pictures of one size (24-bit colour with a mask; four to a row).
std::vector<uint8_t> WritePictureGroup(const std::vector<QImage>& pictures);

}  // namespace units
