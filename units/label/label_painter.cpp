#include "units/label/label_painter.h"

#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <vector>

#include "units/base/painting.h"
#include "units/label/caption_painter.h"
#include "units/label/gradient_fill.h"

namespace units {

namespace {

// The frame styles that Border 1..5 stand for: 1 a sunken client edge, 2 a raised
// dialog frame, 3 a thin static edge, 4 both 2 and 1, 5 a plain line.
QRect PaintBorder(QPainter& painter, QRect rect, int32_t border, const QPalette& palette) {
  const auto edge = [&](const QColor& top_left, const QColor& bottom_right) {
    DrawEdge(painter, rect, top_left, bottom_right);
  };
  const auto raised_frame = [&] {
    edge(palette.light().color(), palette.shadow().color());
    edge(palette.midlight().color(), palette.dark().color());
    painter.setPen(palette.button().color());
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    rect.adjust(1, 1, -1, -1);
  };
  const auto sunken_edge = [&] {
    edge(palette.dark().color(), palette.light().color());
    edge(palette.shadow().color(), palette.midlight().color());
  };
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  switch (border) {
    case 1:
      sunken_edge();
      break;
    case 2:
      raised_frame();
      break;
    case 3:
      edge(palette.dark().color(), palette.light().color());
      break;
    case 4:
      raised_frame();
      sunken_edge();
      break;
    case 5:
      edge(Qt::black, Qt::black);
      break;
    default:
      break;
  }
  painter.restore();
  return rect;
}

std::vector<QColor> UsedColors(const uint32_t (&colors)[3]) {
  std::vector<QColor> used;
  for (uint32_t color : colors) {
    if (color != LabelClassData::kUnusedColor) used.push_back(ColorOf(color, QColor()));
  }
  return used;
}

// The gradient frame runs through its colours from the outer edge inwards, one ring of
// pixels per step.
QRect PaintGradientFrame(QPainter& painter, QRect rect, int32_t width,
                         const std::vector<QColor>& colors) {
  const int rings = std::min(width, (std::min(rect.width(), rect.height()) + 1) / 2);
  for (int ring = 0; ring < rings; ++ring) {
    const QRect across(0, 0, 1, std::max(width, 1));
    const QColor color =
        GradientColorAt(across, gradient_mode::kTopToBottom, colors, QPoint(0, ring));
    painter.setPen(color);
    painter.drawRect(rect.adjusted(ring, ring, -ring - 1, -ring - 1));
  }
  // A frame as wide as the label leaves nothing inside (and a width near the integer
  // limit must not be added to the rectangle's edges).
  if (rings < width) return QRect();
  return rect.adjusted(width, width, -width, -width);
}

}  // namespace

int32_t BorderFrameWidth(int32_t border) {
  static constexpr int32_t kWidths[] = {0, 2, 3, 1, 5, 1};
  return border >= 0 && border <= 5 ? kWidths[border] : 0;
}

QRect PictureArea(const QRect& area, const QSize& size, int32_t mode) {
  switch (mode) {
    case 1:
      return area;
    case 2: {
      QSize shown = size;
      if (size.width() > area.width() || size.height() > area.height()) {
        const double ratio = std::min(static_cast<double>(area.width()) / size.width(),
                                      static_cast<double>(area.height()) / size.height());
        shown =
            QSize(static_cast<int>(size.width() * ratio), static_cast<int>(size.height() * ratio));
      }
      return QRect(area.left() + (area.width() - shown.width()) / 2,
                   area.top() + (area.height() - shown.height()) / 2, shown.width(),
                   shown.height());
    }
    default:
      return QRect(area.topLeft(), size).intersected(area);
  }
}

CaptionLayout PaintLabel(QPainter& painter, const QRect& bounds, const QRect& exposed,
                         const LabelClassData& data, const QImage* picture, const QFont& font,
                         const QPalette& palette) {
  // 1. The frame.
  QRect area = PaintBorder(painter, bounds, data.border, palette);
  if (data.border == 6 && data.frame_width > 0) {
    const std::vector<QColor> colors = UsedColors(data.frame_colors);
    if (colors.size() >= 2) area = PaintGradientFrame(painter, area, data.frame_width, colors);
  }
  if (area.isEmpty()) return {};
  // 2. Everything else stays inside.
  painter.save();
  painter.setClipRect(area, Qt::IntersectClip);
  // 3-5. Picture, else gradient, then the back colour over what is left.
  QRegion left_over(area);
  if (picture != nullptr && !picture->isNull()) {
    PaintPicture(painter, area, *picture, data.back_picture_mode);
    left_over -= PictureArea(area, picture->size(), data.back_picture_mode);
  } else if (data.gradient_mode >= 1 && data.gradient_mode <= 8) {
    const std::vector<QColor> colors = UsedColors(data.gradient_colors);
    if (colors.size() >= 2) {
      GradientFill(painter, area, data.gradient_mode, colors, exposed);
      left_over = QRegion();
    }
  }
  const QColor back = ColorOf(data.back_color, palette.button().color());
  for (const QRect& rect : left_over) painter.fillRect(rect, back);
  // 6. The caption.
  const CaptionLayout caption =
      PaintCaption(painter, area,
                   {data.caption, data.effect, data.alignment, data.word_wrap,
                    data.vertical_alignment, data.text_color},
                   font, palette);
  painter.restore();
  return caption;
}

}  // namespace units
