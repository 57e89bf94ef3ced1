#pragma once

#include <QFont>
#include <QImage>
#include <QPalette>
#include <QRect>

#include "units/label/caption_painter.h"
#include "units/label/label_class_data.h"

class QPainter;

namespace units {

// Paints a whole label into `bounds`, in this order: the frame of Border 1..5, or the
// gradient frame of Border 6; the background picture, else the gradient background; the
// BackColor in whatever is left; the caption with its effect. `picture` is the decoded
// BackPicture (null when there is none or it does not decode); `exposed` is the part that
// needs painting. Gives the caption's layout (in `bounds`' coordinates).
CaptionLayout PaintLabel(QPainter& painter, const QRect& bounds, const QRect& exposed,
                         const LabelClassData& data, const QImage* picture, const QFont& font,
                         const QPalette& palette);

// The part of `area` that a picture of `size` covers in `mode` (0 natural size at the
// top-left corner, 1 tiled, 2 centred and scaled down to fit).
QRect PictureArea(const QRect& area, const QSize& size, int32_t mode);

// The width of the frame that Border 1..5 draws (0 for none and for the gradient frame).
int32_t BorderFrameWidth(int32_t border);

}  // namespace units
