#pragma once

#include <cstdint>

#include "runtime/arg_cell.h"

// The value conversion commands of the core library (see value_conversion.h for the rules).
// They never fail: a value of a type they do not handle gives the empty text, 0 or the empty
// byte set.

namespace commands {

// ToText(value): a text.
void ToText(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
// ToNumber(value): a double.
void ToNumber(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
// ToByteSet(value or array): a byte set.
void ToByteSet(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

}  // namespace commands
