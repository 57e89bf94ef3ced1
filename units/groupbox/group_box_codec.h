#pragma once

#include "units/base/class_data_codec.h"

namespace units {

ClassDataCodec GroupBoxCodec();

}  // namespace units
