#pragma once

#include "units/unit_classes.h"

namespace units {

// "时钟" / Timer: 8 base properties and `Interval`; create, write, save state, read and
// visit texts.
UnitClass TimerClass();

}  // namespace units
