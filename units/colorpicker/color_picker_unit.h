#pragma once

#include <QPointer>
#include <QRect>
#include <optional>

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/colorpicker/color_drop_down.h"
#include "units/colorpicker/color_picker_class_data.h"

class QPainter;
class QStyle;

namespace units {

// The colour picker: a sunken box showing the chosen colour, with a drop-down arrow at
// its right. A press opens the drop-down (ColorDropDown); while it is open the box shows
// the colour under the highlight, and shows the chosen one again when the drop-down is
// cancelled. Accepting a palette cell or "透明" stores the colour and fires ColorChanged;
// "其它颜色..." asks for any colour in the colour dialog first.
class ColorPickerUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = ColorPickerClassData;
  // Fired after an accepted choice, with CurrentColor already holding it. No arguments.
  static constexpr int32_t kColorChangedEvent = 0;

  ColorPickerUnit(const forms::CreateParams& params, ColorPickerClassData data);
  ~ColorPickerUnit() override;

  // Class properties, by class index. Every write repaints.
  static const PropertyTable<ColorPickerUnit, ColorPickerClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const ColorPickerClassData& Data() const { return data_; }

  void Refresh() { Repaint(); }

  // The colour the box shows now (0xFF000000 for "透明"): the highlighted one while the
  // drop-down is open, else the chosen one under the display rule of the class data.
  uint32_t ShownColor() const;
  // The open drop-down, or null.
  ColorDropDown* DropDown() const { return drop_down_.data(); }
  void OpenDropDown();

  // The width of the arrow button: the largest of five edge widths, five edge heights
  // and the scroll bar thumb sizes of `style`.
  static int ArrowWidth(const QStyle* style);

  int64_t WindowProc(gui::Message& message) override;

 private:
  void PaintBox(QPainter& painter) const;
  void CloseDropDown();
  void Preview(int item);
  void Accept(int item);
  // Asks for any colour, from the event loop once the drop-down has closed.
  static void ChooseOtherColor(gui::WindowHandle handle);
  // Stores an accepted colour and fires ColorChanged; the handler may destroy the unit.
  void SetChosenColor(uint32_t color);

  ColorPickerClassData data_;
  QPointer<ColorDropDown> drop_down_;
  std::optional<uint32_t> preview_;
};

}  // namespace units
