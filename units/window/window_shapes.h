#pragma once

#include <QRegion>
#include <QSize>
#include <cstdint>
#include <optional>

namespace units {

// The outline of a window of `size` for `Shape` 1..29 (0 and unknown values: none):
// 1 ellipse, 2 rounded rectangle, 3 ring, 4..29 polygons on a 0..32767 grid scaled to the
// window.
std::optional<QRegion> WindowShapeRegion(int32_t shape, QSize size);

}  // namespace units
