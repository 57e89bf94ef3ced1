#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

namespace units {

// One colour of the drop-down's palette: its value (0x00BBGGRR) and its name.
struct PaletteColor {
  uint32_t bgr;
  const char* name;  // UTF-8
};
inline constexpr int kPaletteSize = 32;
const std::array<PaletteColor, kPaletteSize>& ColorPalette();

// The colour picker's drop-down: a pop-up with an optional "透明" entry, a grid of the 32
// palette colours (7 to a row, 18-pixel cells) and an "其它颜色..." entry. The pointer and
// the arrow keys move a highlight, reported through `highlighted`; a click, Enter or Space
// accepts the highlighted item, Esc or a click elsewhere cancels. The pop-up only reports:
// the box that opened it decides what each outcome does, and closes it.
class ColorDropDown : public QWidget {
 public:
  // Items: the palette cells 0 to 31, then the two entries.
  static constexpr int kNoItem = -1;
  static constexpr int kTransparentItem = kPaletteSize;
  static constexpr int kOtherColorsItem = kPaletteSize + 1;
  static constexpr int kCellSize = 18;
  static constexpr int kColumns = 7;
  static constexpr int kRows = (kPaletteSize + kColumns - 1) / kColumns;

  // `current` is the colour chosen now (its cell, or the "透明" entry, starts
  // highlighted). The pop-up has no parent, so that a handler that destroys the box
  // while the pop-up reports never deletes the pop-up under its own feet; it deletes
  // itself when closed. The callbacks are called while the pop-up lives and may close it;
  // at most one of `accepted` and `cancelled` is called.
  ColorDropDown(bool with_transparent, uint32_t current);

  std::function<void(int item)> highlighted;
  std::function<void(int item)> accepted;
  std::function<void()> cancelled;

  int Highlighted() const { return highlight_; }
  QRect ItemRect(int item) const;
  // Shows the pop-up below `box` (given in global coordinates) at its left edge, moved
  // to stay on the screen; above the box when there is no room below it.
  void Popup(const QRect& box);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  bool event(QEvent* event) override;

 private:
  int ItemAt(QPoint point) const;
  void SetHighlight(int item);
  void Finish(int item);  // kNoItem cancels
  int Step(int key) const;
  int EdgeWidth() const;
  int EntryHeight() const;

  bool with_transparent_;
  int selected_;  // the item of the current colour
  int highlight_;
  bool pressed_inside_ = false;
  bool finished_ = false;
};

}  // namespace units
