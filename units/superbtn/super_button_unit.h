#pragma once

#include <optional>

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/superbtn/super_button_class_data.h"
#include "units/superbtn/super_button_painter.h"

class QPainter;

namespace units {

class SuperButtonWidget;

// The super button: an own-drawn push or toggle button (flat, raised, or flat with a
// rounded highlight) with up to three pictures, colours per state and a tool tip. It
// fires `Clicked` (event 0) when clicked with the mouse or the space bar, chosen by its
// mnemonic or, as the window's default button, by Enter; a CheckStyle button flips
// Checked first. Its sounds are kept as data and not played.
class SuperButtonUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = SuperButtonClassData;
  static constexpr bool kIsPushButton = true;
  static constexpr int32_t kClickedEvent = 0;

  SuperButtonUnit(const forms::CreateParams& params, SuperButtonClassData data);

  // Class properties, by class index. CheckStyle and DefaultButton writes ask for
  // re-creation.
  static const PropertyTable<SuperButtonUnit, SuperButtonClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const SuperButtonClassData& Data() const { return data_; }

  // What a property write does after storing the value. A picture is decoded once per
  // write, never per paint.
  void Refresh() { Repaint(); }
  void RefreshColors();
  void ApplyPicture();
  void ApplyPictureColor();
  void ApplyHotPicture();
  void ApplyHotPictureColor();
  void ApplyDisabledPicture();
  void ApplyDisabledPictureColor();
  void ApplyFont();
  void ApplyCaption();
  void ApplyToolTip();

  // The state the button is drawn in now.
  SuperButtonState State() const;

  std::optional<QString> MnemonicCaption() const override;
  void ActivateByMnemonic() override { Click(); }
  bool IsDefaultButton() const override;
  // Clicks as the mouse does: a toggling button flips, then Clicked fires.
  void Click() override;

  int64_t WindowProc(gui::Message& message) override;

 private:
  SuperButtonWidget* Button() const;
  void PaintButton(QPainter& painter);
  void Clicked();

  SuperButtonClassData data_;
  SuperButtonPictures pictures_;
};

}  // namespace units
