#pragma once

#include "units/base/class_data_codec.h"

namespace units {

// Names the tree box's class data fields for the form tool.
ClassDataCodec TreeBoxCodec();

}  // namespace units
