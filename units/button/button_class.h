#pragma once

#include "units/unit_classes.h"

namespace units {

// "按钮" / Button: 8 base properties and Picture, ButtonType, Caption, Alignment,
// VerticalAlignment, Font; create, write, save state, read, visit texts and "is default
// push button".
UnitClass ButtonClass();

}  // namespace units
