#pragma once

#include <cstdint>
#include <string>

#include "runtime/arg_cell.h"

// Numbers and logical values as the texts users see (GBK). These forms do not depend on the
// process's locale: the decimal point is always ".". Where the exponent form is chosen, the
// exponent has at least three digits ("1e+020", "2.5e-007").

namespace commands {

// Decimal, as "%d" / "%lld" would write it.
std::string IntegerToText(int64_t value);
// "%.13g". Non-finite values are written "inf", "-inf" and "nan".
std::string DoubleToText(double value);
// WidenSingle, then "%.6g": the single 0.1 gives "0.1".
std::string SingleToText(float value);

// A value of one of the six numeric types as text: a byte as unsigned, short integers and
// integers sign-extended, long integers as 64-bit, singles and doubles as above. Empty for a
// cell that is not numeric. At most 100 bytes.
std::string NumberToText(const runtime::ArgCell& number);

// "真" for true, "假" for false (GBK).
std::string LogicalToText(bool value);

}  // namespace commands
