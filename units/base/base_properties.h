#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "runtime/program_image.h"

namespace units {

// A class's property array: the eight base properties (left, top, width, height, tag,
// visible, disabled, mouse pointer) followed by the class's own, of the given types.
// The array lives as long as the program.
const runtime::PropertyInfo* MakeProperties(std::initializer_list<uint16_t> class_types);

}  // namespace units
