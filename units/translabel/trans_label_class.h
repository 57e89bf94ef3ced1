#pragma once

#include "units/unit_classes.h"

namespace units {

// "透明标签" / TransLabel: 8 base properties and the transparent label's 7 (Caption to
// VerticalAlignment); create, write, save state, read and visit texts. No events of its
// own.
UnitClass TransLabelClass();

}  // namespace units
