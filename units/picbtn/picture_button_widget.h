#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

namespace units {

// A button drawn entirely from pictures, one per state, optionally shaped by a colour.
//
// State: 0 normal, 1 hot, 2 pressed. An enabled push button is hot while the pointer is
// over it and pressed while a press that began on it is held there; a toggle button's
// state follows Checked alone (2 checked, 0 not). Releasing the left button on the button
// after pressing it there clicks: a toggle button flips Checked first, then `clicked` runs.
//
// Shaping: with a transparent colour, the widget's mask is the shown picture's pixels that
// differ from it, so a press on a keyed-out pixel goes to whatever lies below.
class PictureButtonWidget : public QWidget {
 public:
  enum State { kNormal = 0, kHot = 1, kPressed = 2 };
  enum Slot { kNormalPicture, kHotPicture, kPressedPicture, kDisabledPicture, kSlotCount };

  PictureButtonWidget();

  // A null image is no picture.
  void SetPicture(Slot slot, const QImage& picture);
  // Push or toggle; a change takes effect at the next input, the state stays as it is.
  void SetToggle(bool toggle) { toggle_ = toggle; }
  // Sets the toggle state; a toggle button shows it at once.
  void SetChecked(bool checked);
  bool Checked() const { return checked_; }
  // No colour: no shaping.
  void SetTransparentColor(std::optional<QRgb> color);

  State CurrentState() const { return state_; }
  Slot ShownSlot() const;

  // Runs after a click (and the flip of a toggle button). It may destroy the widget.
  std::function<void()> clicked;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void SetState(State state);
  // Brings the mask and the screen in line with the picture now shown.
  void Refresh();
  bool Covers(const QPoint& point) const;

  std::array<QImage, kSlotCount> pictures_;
  // The shape of each picture under the transparent colour, made when first needed.
  std::array<std::optional<QRegion>, kSlotCount> shapes_;
  std::optional<QRgb> transparent_color_;
  State state_ = kNormal;
  bool toggle_ = false;
  bool checked_ = false;
  bool pressed_here_ = false;  // a left press began on the button and is still held
};

}  // namespace units
