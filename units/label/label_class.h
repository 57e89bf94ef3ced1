#pragma once

#include "units/unit_classes.h"

namespace units {

// "标签" / Label: 8 base properties and the label's 21 (Caption to DataColumn); create,
// write, save state, read and visit texts.
UnitClass LabelClass();

}  // namespace units
