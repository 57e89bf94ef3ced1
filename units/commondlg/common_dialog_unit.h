#pragma once

#include <QString>

#include "forms/unit_interface.h"
#include "platform/gui/window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/commondlg/common_dialog_class_data.h"

namespace units {

// The common dialog: an invisible window that runs a file-open, file-save or font dialog,
// or opens a help file, when its `Open` method is called. Every property write only stores
// the (clamped) value; the dialogs read the properties when they open and write back only
// what the user confirmed.
class CommonDialogUnit : public gui::Window, public UnitBase {
 public:
  using ClassData = CommonDialogClassData;

  CommonDialogUnit(const forms::CreateParams& params, CommonDialogClassData data);

  static const PropertyTable<CommonDialogUnit, CommonDialogClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const CommonDialogClassData& Data() const { return data_; }

  // Runs the dialog that `DialogType` selects, modally. True when the user confirmed a
  // file or font dialog, or when help was handed to the desktop. The desktop's handler
  // runs as a program of its own that the unit cannot reach afterwards, so there is no
  // help viewer to close when the window goes.
  bool Open();

  int64_t WindowProc(gui::Message& message) override;

 private:
  bool OpenFileDialog();
  bool OpenFontDialog();
  bool OpenHelp();
  // The dialogs' parent: the window that holds the unit.
  QWidget* DialogParent() const;

  CommonDialogClassData data_;
};

}  // namespace units
