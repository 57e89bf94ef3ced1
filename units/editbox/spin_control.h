#pragma once

#include <QWidget>
#include <functional>

class QToolButton;

namespace units {

// The up-down arrows beside a single-line box: a separate child of the box's parent,
// 18 pixels wide, that the box keeps right of itself.
class SpinControl : public QWidget {
 public:
  static constexpr int kWidth = 18;

  explicit SpinControl(QWidget* parent);

  // +1 for the up arrow, -1 for the down arrow.
  std::function<void(int32_t)> on_step;

  // A static edge around the arrows, as boxes with a thin or sunken border get.
  void SetEdge(bool edge);
  // The range is kept for the box, which does the arithmetic; the control only reports.
  void SetRange(int32_t low, int32_t high) { low_ = low, high_ = high; }
  int32_t Low() const { return low_; }
  int32_t High() const { return high_; }

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* up_;
  QToolButton* down_;
  bool edge_ = false;
  int32_t low_ = 0;
  int32_t high_ = 100;
};

}  // namespace units
