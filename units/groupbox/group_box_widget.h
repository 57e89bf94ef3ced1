#pragma once

#include <QColor>
#include <QGroupBox>
#include <QRect>
#include <QString>
#include <QStyleOptionGroupBox>

namespace units {

// The system group frame with the group box unit's colours.
//
// The title is drawn here as the unit has it; QGroupBox only gets it with every "&"
// doubled, for its measures: with "&x" Qt would make a shortcut of its own, while the
// window unit handles mnemonics for every unit.
class GroupBoxWidget : public QGroupBox {
 public:
  GroupBoxWidget() = default;

  void SetTitle(const QString& title);
  const QString& Title() const { return title_; }
  void SetColors(const QColor& text, const QColor& back);
  // Where the title is drawn, in the widget's coordinates.
  QRect TitleRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Mouse input ends at the frame, as it does at any window: the window under it hears
  // nothing.
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QStyleOptionGroupBox FrameOption() const;
  int TitleDrop(const QStyleOptionGroupBox& option) const;

  QString title_;
  QColor text_;
  QColor back_;
};

}  // namespace units
