#include "units/unit_classes.h"

#include "units/window/window_class.h"
#include "units/window/window_codec.h"

// Each class folder provides <folder>/<name>_class.h declaring `units::<Name>Class()`;
// a class whose folder is not built yet is simply not listed.
#if __has_include("units/editbox/edit_box_class.h")
#include "units/editbox/edit_box_class.h"
#define INKSTONE_HAS_EDIT_BOX 1
#endif
#if __has_include("units/label/label_class.h")
#include "units/label/label_class.h"
#define INKSTONE_HAS_LABEL 1
#endif
#if __has_include("units/button/button_class.h")
#include "units/button/button_class.h"
#define INKSTONE_HAS_BUTTON 1
#endif
#if __has_include("units/groupbox/group_box_class.h")
#include "units/groupbox/group_box_class.h"
#define INKSTONE_HAS_GROUP_BOX 1
#endif
#if __has_include("units/timer/timer_class.h")
#include "units/timer/timer_class.h"
#define INKSTONE_HAS_TIMER 1
#endif
#if __has_include("units/treebox/tree_box_class.h")
#include "units/treebox/tree_box_class.h"
#define INKSTONE_HAS_TREE_BOX 1
#endif

namespace units {

const std::vector<UnitClass>& UnitClasses() {
  static const std::vector<UnitClass> classes = {
      {0x00010001, kWindowPropertyCount, WindowProperties(), &WindowGetUnitInterface, WindowCodec()},
#ifdef INKSTONE_HAS_EDIT_BOX
      EditBoxClass(),
#endif
#ifdef INKSTONE_HAS_LABEL
      LabelClass(),
#endif
#ifdef INKSTONE_HAS_BUTTON
      ButtonClass(),
#endif
#ifdef INKSTONE_HAS_GROUP_BOX
      GroupBoxClass(),
#endif
#ifdef INKSTONE_HAS_TIMER
      TimerClass(),
#endif
#ifdef INKSTONE_HAS_TREE_BOX
      TreeBoxClass(),
#endif
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
