#include "units/picbtn/picture_button_widget.h"

#include <QList>
#include <QMouseEvent>
#include <QPainter>
#include <utility>

namespace units {

namespace {

// The pixels of `picture` whose colour is not `key`, as runs of one row each (which is
// the banded order a region is made of).
QRegion ShapeOf(const QImage& picture, QRgb key) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  key &= RGB_MASK;
  QList<QRect> runs;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width();) {
      if ((line[x] & RGB_MASK) == key) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < image.width() && (line[x] & RGB_MASK) != key) ++x;
      runs.append(QRect(start, y, x - start, 1));
    }
  }
  // Qt takes an empty mask for none; a picture keyed out entirely leaves no pixel of the
  // button, so its mask is a pixel outside the widget.
  if (runs.isEmpty()) return QRegion(-1, -1, 1, 1);
  QRegion region;
  region.setRects(runs.constData(), static_cast<int>(runs.size()));
  return region;
}

}  // namespace

PictureButtonWidget::PictureButtonWidget() {
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Hot tracking needs the moves of a pointer that holds no button.
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void PictureButtonWidget::SetPicture(Slot slot, const QImage& picture) {
  pictures_[slot] = picture;
  shapes_[slot].reset();
  Refresh();
}

void PictureButtonWidget::SetChecked(bool checked) {
  checked_ = checked;
  if (toggle_) SetState(checked ? kPressed : kNormal);
}

void PictureButtonWidget::SetTransparentColor(std::optional<QRgb> color) {
  transparent_color_ = color;
  for (auto& shape : shapes_) shape.reset();
  Refresh();
}

PictureButtonWidget::Slot PictureButtonWidget::ShownSlot() const {
  const auto has = [this](Slot slot) { return !pictures_[slot].isNull(); };
  if (!isEnabled() && has(kDisabledPicture)) return kDisabledPicture;
  if (state_ == kHot && has(kHotPicture)) return kHotPicture;
  if (state_ == kPressed && has(kPressedPicture)) return kPressedPicture;
  return kNormalPicture;
}

void PictureButtonWidget::SetState(State state) {
  if (state == state_) return;
  state_ = state;
  Refresh();
}

void PictureButtonWidget::Refresh() {
  const Slot slot = ShownSlot();
  const QImage& picture = pictures_[slot];
  if (!transparent_color_ || picture.isNull()) {
    clearMask();
  } else {
    std::optional<QRegion>& shape = shapes_[slot];
    if (!shape) shape = ShapeOf(picture, *transparent_color_);
    setMask(*shape);
  }
  update();
}

bool PictureButtonWidget::Covers(const QPoint& point) const {
  return rect().contains(point) && (mask().isEmpty() || mask().contains(point));
}

void PictureButtonWidget::paintEvent(QPaintEvent*) {
  // The backing store is the off-screen buffer: the screen only ever gets whole frames.
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  const QImage& picture = pictures_[ShownSlot()];
  if (!picture.isNull()) painter.drawImage(QPoint(0, 0), picture);
}

void PictureButtonWidget::enterEvent(QEnterEvent*) {
  if (!toggle_ && isEnabled()) SetState(pressed_here_ ? kPressed : kHot);
}

void PictureButtonWidget::leaveEvent(QEvent*) {
  if (!toggle_ && !pressed_here_) SetState(kNormal);
}

// Mouse input ends at the button, as it does at any window: the window under it hears
// nothing.
void PictureButtonWidget::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  pressed_here_ = true;
  if (!toggle_) SetState(kPressed);
}

void PictureButtonWidget::mouseMoveEvent(QMouseEvent* event) {
  event->accept();
  if (toggle_) return;
  if (!Covers(event->position().toPoint())) {
    SetState(kNormal);
  } else {
    SetState(pressed_here_ && (event->buttons() & Qt::LeftButton) ? kPressed : kHot);
  }
}

void PictureButtonWidget::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  const bool pressed_here = std::exchange(pressed_here_, false);
  if (!toggle_) SetState(kNormal);
  if (!pressed_here || !isEnabled() || !Covers(event->position().toPoint())) return;
  if (toggle_) SetChecked(!checked_);
  if (clicked) clicked();
}

void PictureButtonWidget::changeEvent(QEvent* event) {
  if (event->type() == QEvent::EnabledChange) {
    if (!isEnabled()) {
      pressed_here_ = false;
      if (!toggle_) state_ = kNormal;
    }
    Refresh();
  }
  QWidget::changeEvent(event);
}

}  // namespace units
