#pragma once

#include "units/unit_classes.h"

namespace units {

// The tree box class ("树型框", TreeBox): library 1, type 0, 25 properties.
UnitClass TreeBoxClass();

}  // namespace units
