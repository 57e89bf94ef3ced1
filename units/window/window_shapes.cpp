#include "units/window/window_shapes.h"

#include <QPolygon>
#include <algorithm>
#include <vector>

namespace units {

namespace {

constexpr int32_t kGrid = 32767;
constexpr int32_t kHalf = 16383;
constexpr int32_t kQuarter = 8191;
constexpr int32_t kThreeQuarters = 24576;

using Outline = std::vector<std::pair<int32_t, int32_t>>;

// Outlines 4..29, in order. 4, 5, 10 and 12 are the triangle, the downward triangle, the
// hexagon and the diamond; the rest are triangles pointing sideways and to the corners,
// trapezoids, stars, arrows in four directions and a notched rectangle.
const std::vector<Outline>& Outlines() {
  static const std::vector<Outline> outlines = {
      {{kHalf, 0}, {kGrid, kGrid}, {0, kGrid}},                                   // 4 up
      {{0, 0}, {kGrid, 0}, {kHalf, kGrid}},                                       // 5 down
      {{0, 0}, {kGrid, kHalf}, {0, kGrid}},                                       // 6 right
      {{kGrid, 0}, {kGrid, kGrid}, {0, kHalf}},                                   // 7 left
      {{0, 0}, {kGrid, kGrid}, {0, kGrid}},                                       // 8 lower left
      {{kGrid, 0}, {kGrid, kGrid}, {0, kGrid}},                                   // 9 lower right
      {{kQuarter, 0}, {kThreeQuarters, 0}, {kGrid, kHalf}, {kThreeQuarters, kGrid},
       {kQuarter, kGrid}, {0, kHalf}},                                            // 10 hexagon
      {{kQuarter, 0}, {kThreeQuarters, 0}, {kGrid, kGrid}, {0, kGrid}},           // 11 trapezoid
      {{kHalf, 0}, {kGrid, kHalf}, {kHalf, kGrid}, {0, kHalf}},                   // 12 diamond
      {{0, 0}, {kGrid, 0}, {kThreeQuarters, kGrid}, {kQuarter, kGrid}},           // 13 trapezoid
      {{kHalf, 0}, {kGrid, 12510}, {26634, kGrid}, {6133, kGrid}, {0, 12510}},     // 14 pentagon
      {{9597, 0}, {23170, 0}, {kGrid, 9597}, {kGrid, 23170}, {23170, kGrid},
       {9597, kGrid}, {0, 23170}, {0, 9597}},                                     // 15 octagon
      {{kHalf, 0}, {20239, 12510}, {kGrid, 12510}, {22620, 20240}, {26634, kGrid},
       {kHalf, 25018}, {6133, kGrid}, {10146, 20240}, {0, 12510}, {12527, 12510}},  // 16 star
      {{kHalf, 0}, {19660, 13107}, {kGrid, kHalf}, {19660, 19660}, {kHalf, kGrid},
       {13107, 19660}, {0, kHalf}, {13107, 13107}},                               // 17 4-star
      {{kHalf, 0}, {kGrid, kHalf}, {kThreeQuarters, kHalf}, {kThreeQuarters, kGrid},
       {kQuarter, kGrid}, {kQuarter, kHalf}, {0, kHalf}},                         // 18 arrow up
      {{kQuarter, 0}, {kThreeQuarters, 0}, {kThreeQuarters, kHalf}, {kGrid, kHalf},
       {kHalf, kGrid}, {0, kHalf}, {kQuarter, kHalf}},                            // 19 down
      {{0, kQuarter}, {kHalf, kQuarter}, {kHalf, 0}, {kGrid, kHalf}, {kHalf, kGrid},
       {kHalf, kThreeQuarters}, {0, kThreeQuarters}},                             // 20 right
      {{0, kHalf}, {kHalf, 0}, {kHalf, kQuarter}, {kGrid, kQuarter},
       {kGrid, kThreeQuarters}, {kHalf, kThreeQuarters}, {kHalf, kGrid}},         // 21 left
      {{0, 0}, {kGrid, 0}, {kGrid, kGrid}, {kHalf, kThreeQuarters}, {0, kGrid}},  // 22 ribbon
      {{kQuarter, 0}, {kThreeQuarters, 0}, {kThreeQuarters, kQuarter}, {kGrid, kQuarter},
       {kGrid, kThreeQuarters}, {kThreeQuarters, kThreeQuarters}, {kThreeQuarters, kGrid},
       {kQuarter, kGrid}, {kQuarter, kThreeQuarters}, {0, kThreeQuarters}, {0, kQuarter},
       {kQuarter, kQuarter}},                                                     // 23 cross
      {{0, 0}, {kThreeQuarters, 0}, {kGrid, kQuarter}, {kGrid, kGrid}, {0, kGrid}},  // 24 notched
      {{0, 0}, {kGrid, 0}, {kGrid, kThreeQuarters}, {kThreeQuarters, kGrid}, {0, kGrid}},  // 25
      {{kQuarter, 0}, {kGrid, 0}, {kThreeQuarters, kGrid}, {0, kGrid}},           // 26 slanted
      {{0, 0}, {kThreeQuarters, 0}, {kGrid, kGrid}, {kQuarter, kGrid}},           // 27 slanted
      {{0, 0}, {kGrid, 0}, {kGrid, kGrid}, {kHalf, kHalf}, {0, kGrid}},           // 28 notch
      {{0, 0}, {kHalf, kHalf}, {kGrid, 0}, {kGrid, kGrid}, {0, kGrid}},           // 29 notch top
  };
  return outlines;
}

}  // namespace

std::optional<QRegion> WindowShapeRegion(int32_t shape, QSize size) {
  const int w = size.width();
  const int h = size.height();
  switch (shape) {
    case 1: return QRegion(0, 0, w, h, QRegion::Ellipse);
    case 2: {
      const int corner = std::min(w / 5, h / 5);
      QRegion region(corner / 2, 0, w - corner, h);
      region += QRegion(0, corner / 2, w, h - corner);
      for (const QPoint& at : {QPoint(0, 0), QPoint(w - corner, 0), QPoint(0, h - corner),
                               QPoint(w - corner, h - corner)}) {
        region += QRegion(at.x(), at.y(), corner, corner, QRegion::Ellipse);
      }
      return region;
    }
    case 3:
      return QRegion(0, 0, w, h, QRegion::Ellipse) -
             QRegion(w / 4, h / 4, w - 2 * (w / 4), h - 2 * (h / 4), QRegion::Ellipse);
    default: break;
  }
  if (shape < 4 || shape > 29) return std::nullopt;
  QPolygon polygon;
  for (const auto& [x, y] : Outlines()[static_cast<size_t>(shape - 4)]) {
    polygon << QPoint(static_cast<int>(int64_t{x} * w / kGrid), static_cast<int>(int64_t{y} * h / kGrid));
  }
  return QRegion(polygon);
}

}  // namespace units
