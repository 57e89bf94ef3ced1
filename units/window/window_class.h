#pragma once

#include "units/unit_classes.h"

namespace units {

// "窗口" / Window: 8 base properties and the window's 24 (Caption to WindowClassName);
// create, write, save state, read, the icon of class data and visit texts.
UnitClass WindowClass();

}  // namespace units
