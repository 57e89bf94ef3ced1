#pragma once

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/button/button_class_data.h"

namespace units {

class PushButtonWidget;

// The button: a system push button that fires `Clicked` (event 0) when it is clicked
// with the mouse or the space bar, chosen by its mnemonic, or, as the window's default
// button, by Enter (the window unit's key handling asks IsDefaultButton and calls Click).
class ButtonUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = ButtonClassData;
  static constexpr bool kIsPushButton = true;
  static constexpr int32_t kClickedEvent = 0;

  ButtonUnit(const forms::CreateParams& params, ButtonClassData data);

  // Class properties, by class index. A `Picture` write asks for re-creation.
  static const PropertyTable<ButtonUnit, ButtonClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const ButtonClassData& Data() const { return data_; }

  std::optional<QString> MnemonicCaption() const override;
  void ActivateByMnemonic() override { Click(); }
  bool IsDefaultButton() const override { return data_.button_type == 1; }
  void Click() override { FireEvent(kClickedEvent); }

  int64_t WindowProc(gui::Message& message) override;

  // What a property write does after storing the value.
  void ApplyStyle();
  void ApplyCaption();
  void ApplyFont();

 private:
  PushButtonWidget* Button() const;

  ButtonClassData data_;
};

}  // namespace units
