#pragma once

#include "units/unit_classes.h"

namespace units {

// "图形按钮" / PicBtn: 8 base properties and the picture button's 7 (ToggleType to
// TransparentColor); create, write, save state, read and visit texts.
UnitClass PictureButtonClass();

}  // namespace units
