#pragma once

#include <cstdint>

#include "runtime/program_image.h"

namespace units {

// The window class as the library table describes it: its 32 properties and the
// operations it hands out (create, write, save state, read, icon of class data, visit
// texts).
void* WindowGetUnitInterface(int32_t operation);
const runtime::PropertyInfo* WindowProperties();
inline constexpr int32_t kWindowPropertyCount = 32;

}  // namespace units
