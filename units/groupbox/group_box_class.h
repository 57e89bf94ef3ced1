#pragma once

#include "units/unit_classes.h"

namespace units {

// "分组框" / GroupBox: 8 base properties and Caption, Alignment, TextColor, BackColor,
// Font; create, write, save state, read and visit texts.
UnitClass GroupBoxClass();

}  // namespace units
