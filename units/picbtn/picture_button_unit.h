#pragma once

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/picbtn/picture_button_class_data.h"
#include "units/picbtn/picture_button_widget.h"

namespace units {

// The picture button: a button drawn from one picture per state, shaped by its
// TransparentColor, that fires `Clicked` (event 0). It takes no focus.
class PictureButtonUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = PictureButtonClassData;
  static constexpr int32_t kClickedEvent = 0;

  PictureButtonUnit(const forms::CreateParams& params, PictureButtonClassData data);

  // Class properties, by class index.
  static const PropertyTable<PictureButtonUnit, PictureButtonClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const PictureButtonClassData& Data() const { return data_; }

  // What a property write does after storing the value. A picture is decoded once per
  // write, never per paint.
  template <PictureButtonWidget::Slot slot>
  void ApplyPicture();
  void ApplyToggleType();
  void ApplyTransparentColor();
  // Checked is the button's live state; a push button ignores writes.
  void ReadChecked(forms::PropertyValue* value) const;
  int32_t WriteChecked(const forms::PropertyValue& value);

  void Click() override;
  int64_t WindowProc(gui::Message& message) override;

 private:
  PictureButtonWidget* Button() const;

  PictureButtonClassData data_;
};

}  // namespace units
