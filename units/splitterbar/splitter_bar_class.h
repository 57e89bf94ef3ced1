#pragma once

#include "units/unit_classes.h"

namespace units {

// "分隔条" / SplitterBar: 8 base properties and the bar's 2 (BackColor, Orientation);
// create, write, save state, read and visit texts. Event 0 PositionChanged.
UnitClass SplitterBarClass();

}  // namespace units
