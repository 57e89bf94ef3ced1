#pragma once

#include <QImage>
#include <optional>

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/label/caption_painter.h"
#include "units/label/label_class_data.h"

class QPainter;

namespace units {

// The private message that fires a label's `Feedback`; its result is the handler's value.
inline constexpr uint32_t kLabelFeedbackMessage = 0x8075;

// The label: a self-painted text field (frames, gradient or picture background, caption
// effects). It takes no focus; its mnemonic passes the focus to the next unit in tab
// order, and a press on it drags a window that drags from anywhere.
class LabelUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = LabelClassData;
  static constexpr int32_t kFeedbackEvent = 0;
  // A gradient frame is never narrower.
  static constexpr int32_t kSmallestFrameWidth = 5;

  LabelUnit(const forms::CreateParams& params, LabelClassData data);

  // Class properties, by class index. Every write repaints.
  static const PropertyTable<LabelUnit, LabelClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const LabelClassData& Data() const { return data_; }

  // What a property write does after storing the value.
  void Refresh() { Repaint(); }
  void ApplyCaption();
  void ApplyBackPicture();

  std::optional<QString> MnemonicCaption() const override;
  void ActivateByMnemonic() override;
  bool DragsWindow() const override { return true; }

  int64_t WindowProc(gui::Message& message) override;

  // The caption as last painted (its ink in the unit's own coordinates).
  const CaptionLayout& PaintedCaption() const { return painted_caption_; }

 private:
  void PaintExposed(QPainter& painter, const QRect& exposed);
  const QImage* Picture();

  LabelClassData data_;
  std::optional<QImage> picture_;  // BackPicture, decoded once per value
  CaptionLayout painted_caption_;
};

}  // namespace units
