#pragma once

#include <QRect>

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/label/caption_painter.h"
#include "units/translabel/trans_label_class_data.h"

class QPainter;

namespace units {

// The transparent label: a caption drawn straight over whatever lies behind it (the
// window's background picture, other units). It paints no background of its own, takes no
// focus and has no events of its own; mouse input on it becomes its common events.
class TransLabelUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = TransLabelClassData;

  TransLabelUnit(const forms::CreateParams& params, TransLabelClassData data);

  // Class properties, by class index. Every write refreshes.
  static const PropertyTable<TransLabelUnit, TransLabelClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const TransLabelClassData& Data() const { return data_; }

  // Brings the screen up to date at once: whatever lies under the label's old and new
  // rectangles is painted again by the top-level window (with every unit there), and the
  // caption over it, so that no trace of an old caption or place is left.
  void Refresh();

  int64_t WindowProc(gui::Message& message) override;

  // The caption as last painted (its ink in the unit's own coordinates).
  const CaptionLayout& PaintedCaption() const { return painted_caption_; }

 private:
  void PaintText(QPainter& painter);

  TransLabelClassData data_;
  QRect refreshed_;  // the rectangle last refreshed, in the parent's client coordinates
  CaptionLayout painted_caption_;
};

}  // namespace units
