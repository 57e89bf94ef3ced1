#pragma once

#include "runtime/arg_cell.h"
#include "runtime/type_code.h"

namespace commands {

// A single widened to a double rounded to 6 significant digits, so that the decimal
// digits of a single come out as typed: 0.1f gives 0.1, not 0.100000001490116.
double WidenSingle(float value);

// `value` (of one of the six numeric types) as a value of numeric type `target`:
// integers widen by sign (a byte counts as unsigned) and narrow to their low bits; single
// and double truncate toward zero to 64 bits and then keep the target's low bits; a single
// becomes a double through WidenSingle, a double a single by rounding. A source that is
// not numeric gives 0 of the target type.
runtime::ArgCell ConvertNumeric(const runtime::ArgCell& value, runtime::TypeCode target);

}  // namespace commands
