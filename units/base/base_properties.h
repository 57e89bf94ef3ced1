#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <vector>

#include "runtime/program_image.h"

namespace units {

// A class's property array: the eight base properties (left, top, width, height, tag,
// visible, disabled, mouse pointer) followed by the class's own, of the given types.
// The array lives as long as the program.
const runtime::PropertyInfo* MakeProperties(std::span<const uint16_t> class_types);
inline const runtime::PropertyInfo* MakeProperties(std::initializer_list<uint16_t> class_types) {
  return MakeProperties(std::span<const uint16_t>(class_types.begin(), class_types.size()));
}

}  // namespace units
