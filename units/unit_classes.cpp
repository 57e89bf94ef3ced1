#include "units/unit_classes.h"

#include "units/window/window_class.h"

#include "units/button/button_class.h"
#include "units/colorpicker/color_picker_class.h"
#include "units/commondlg/common_dialog_class.h"
#include "units/editbox/edit_box_class.h"
#include "units/groupbox/group_box_class.h"
#include "units/label/label_class.h"
#include "units/picbtn/picture_button_class.h"
#include "units/splitterbar/splitter_bar_class.h"
#include "units/superbtn/super_button_class.h"
#include "units/timer/timer_class.h"
#include "units/translabel/trans_label_class.h"
#include "units/treebox/tree_box_class.h"

namespace units {

const std::vector<UnitClass>& UnitClasses() {
  static const std::vector<UnitClass> classes = {
      WindowClass(),
      EditBoxClass(),
      LabelClass(),
      ButtonClass(),
      GroupBoxClass(),
      TimerClass(),
      ColorPickerClass(),
      CommonDialogClass(),
      TreeBoxClass(),
      TransLabelClass(),
      SplitterBarClass(),
      PictureButtonClass(),
      SuperButtonClass(),
  };
  return classes;
}

const UnitClass* FindUnitClass(runtime::TypeRef type) {
  for (const UnitClass& unit_class : UnitClasses()) {
    if (unit_class.type == type) return &unit_class;
  }
  return nullptr;
}

}  // namespace units
