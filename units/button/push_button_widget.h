#pragma once

#include <QPixmap>
#include <QPushButton>
#include <QString>

namespace units {

// The system push button with the button unit's own caption and picture placement.
//
// The caption is drawn here, never given to QPushButton::setText: Qt would turn an "&x"
// in it into a shortcut of its own, while the window unit handles mnemonics for every
// unit. An "&" still shows its character underlined, and "&&" shows one "&".
class PushButtonWidget : public QPushButton {
 public:
  PushButtonWidget() = default;

  void SetCaption(const QString& caption);
  const QString& Caption() const { return caption_; }
  // Horizontal: 0 left, 1 centred, 2 right; vertical: 0 top, 1 centred, 2 bottom.
  void SetAlignment(int32_t horizontal, int32_t vertical);
  // A null picture shows the caption.
  void SetPicture(const QPixmap& picture);
  bool ShowsPicture() const { return !picture_.isNull(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Qt::Alignment ContentAlignment() const;

  QString caption_;
  QPixmap picture_;
  int32_t horizontal_ = 1;
  int32_t vertical_ = 1;
};

}  // namespace units
