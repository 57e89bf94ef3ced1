#pragma once

#include "units/unit_classes.h"

namespace units {

// "超级按钮" / SuperBtn: 8 base properties and the super button's 27 (ButtonStyle to
// DefaultButton); create, write, save state, read, visit texts and "is default push
// button".
UnitClass SuperButtonClass();

}  // namespace units
