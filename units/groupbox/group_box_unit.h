#pragma once

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/groupbox/group_box_class_data.h"

namespace units {

class GroupBoxWidget;

// The group box: the system group frame with a title. It is a container: units whose
// record names it as their parent are placed in its window.
class GroupBoxUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = GroupBoxClassData;

  GroupBoxUnit(const forms::CreateParams& params, GroupBoxClassData data);

  // Class properties, by class index.
  static const PropertyTable<GroupBoxUnit, GroupBoxClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const GroupBoxClassData& Data() const { return data_; }

  int64_t WindowProc(gui::Message& message) override;

  // What a property write does after storing the value.
  void ApplyCaption();
  void ApplyAlignment();
  void ApplyColors();
  void ApplyFont();

 private:
  GroupBoxWidget* Box() const;

  GroupBoxClassData data_;
};

}  // namespace units
