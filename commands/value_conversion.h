#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "runtime/arg_cell.h"

// Values of the basic types (and arrays of them) turned into texts, numbers and bytes, as the
// conversion commands, the message box and the edit box see them. Texts are GBK.

namespace commands {

// The text of a value:
//   byte set                  its bytes up to the first zero byte
//   array of a numeric type   its elements' bytes, read the same way
//   other arrays              empty
//   number                    NumberToText;  logical: LogicalToText;  date-time: DateTimeToText
//   text                      the text itself
//   anything else             empty
std::string ValueToText(const runtime::ArgCell& value);

// The number of a value: a text is read by TextToNumber; a logical gives its word (1 for true);
// a routine pointer its address; numbers their value (a single exactly, without rounding);
// date-times, byte sets and anything else 0.
double ValueToNumber(const runtime::ArgCell& value);

// The leading decimal number of a text after full-width characters are made ASCII: white space,
// an optional sign, digits with an optional point and fraction, an optional exponent. 0 when the
// text does not begin with one; too large a number gives an infinity. The decimal point is "."
// whatever the process's locale.
double TextToNumber(std::string_view text);

// The bytes of a value, as ToByteSet gives them: the elements of an array of a numeric type
// (any other array gives none), a text without its NUL, a byte set's bytes, the payload of a
// number, logical, date-time or routine pointer in memory order. None for anything else. The
// span may point into `value` or into the block it holds.
std::span<const uint8_t> ValueBytes(const runtime::ArgCell& value);

}  // namespace commands
