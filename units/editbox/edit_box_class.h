#pragma once

#include <cstdint>

#include "runtime/program_image.h"
#include "units/unit_classes.h"

namespace units {

// The edit box class ("编辑框", TypeRef 0x00010005): its 29 properties and the operations it
// hands out (create, write, save state, read, own the key, visit texts).
UnitClass EditBoxClass();
inline constexpr runtime::TypeRef kEditBoxType = 0x00010005;

}  // namespace units
