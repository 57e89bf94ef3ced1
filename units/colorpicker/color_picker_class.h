#pragma once

#include "units/unit_classes.h"

namespace units {

// "颜色选择器" / ColorPicker: 8 base properties and the picker's 2 (CurrentColor,
// AllowTransparent); create, write, save state, read and visit texts. Event 0 ColorChanged.
UnitClass ColorPickerClass();

}  // namespace units
