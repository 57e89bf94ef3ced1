#pragma once

#include "units/base/class_data_codec.h"

namespace units {

// The edit box's class data as named fields (property names), and its events.
ClassDataCodec EditBoxCodec();

}  // namespace units
