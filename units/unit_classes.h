#pragma once

#include <cstdint>
#include <vector>

#include "runtime/program_image.h"
#include "units/base/class_data_codec.h"

namespace units {

// A linked unit class: what the library table needs to describe it, and the codec that
// the form tool uses for its class data.
struct UnitClass {
  runtime::TypeRef type;
  int32_t property_count;
  const runtime::PropertyInfo* properties;
  runtime::GetUnitInterfaceFunction get_unit_interface;
  ClassDataCodec codec;
};

// Every unit class linked into the program.
const std::vector<UnitClass>& UnitClasses();
const UnitClass* FindUnitClass(runtime::TypeRef type);

}  // namespace units
