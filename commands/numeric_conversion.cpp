#include "commands/numeric_conversion.h"

#include <bit>
#include <cmath>
#include <cstdint>

namespace commands {

using runtime::ArgCell;

double WidenSingle(float value) {
  if (!std::isfinite(value)) return value;
  if (value == 0) return static_cast<double>(value);
  // The exponent field less the bias, for a normal single; a subnormal one has a field of 0
  // and would lose all its digits, so its true binary exponent is taken instead.
  const uint32_t exponent_field = (std::bit_cast<uint32_t>(value) >> 23) & 0xFF;
  const int32_t binary_exponent =
      exponent_field != 0 ? static_cast<int32_t>(exponent_field) - 127 : std::ilogb(value);
  int32_t decimal_exponent = static_cast<int32_t>(binary_exponent * std::log10(2.0));
  double power = std::pow(10.0, std::abs(decimal_exponent));
  const double magnitude = std::fabs(static_cast<double>(value));
  double mantissa = decimal_exponent > 0 ? magnitude / power : magnitude * power;
  // Scale the mantissa to six digits before the point.
  if (mantissa >= 10) {
    power *= 10;
    ++decimal_exponent;
    mantissa *= 10000;
  } else if (mantissa >= 1) {
    mantissa *= 100000;
  } else {
    power *= 10;
    --decimal_exponent;
    mantissa *= 1000000;
  }
  double digits = std::floor(mantissa);
  if (mantissa - digits >= 0.5) digits += 1;
  const double result = decimal_exponent > 0 ? digits * power * 0.00001 : digits / (power * 100000);
  return std::signbit(value) ? -result : result;
}

namespace {

// Truncation toward zero to 64 bits; out of range (or not a number) gives the processor's
// "indefinite" value 0x8000000000000000.
int64_t TruncateToInt64(double value) {
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) {
    return INT64_MIN;
  }
  return static_cast<int64_t>(value);
}

bool IsIntegerType(runtime::TypeCode type) {
  return type == runtime::kByte || type == runtime::kShort || type == runtime::kInt ||
         type == runtime::kLong;
}

int64_t IntegerValue(const ArgCell& value) {
  switch (value.type) {
    case runtime::kByte:
      return value.As<uint8_t>();
    case runtime::kShort:
      return value.As<int16_t>();
    case runtime::kInt:
      return value.As<int32_t>();
    default:
      return value.As<int64_t>();
  }
}

ArgCell FromInteger(int64_t value, runtime::TypeCode target) {
  switch (target) {
    case runtime::kByte:
      return ArgCell::Byte(static_cast<uint8_t>(value));
    case runtime::kShort:
      return ArgCell::Short(static_cast<int16_t>(value));
    case runtime::kInt:
      return ArgCell::Int(static_cast<int32_t>(value));
    case runtime::kLong:
      return ArgCell::Long(value);
    case runtime::kFloat:
      return ArgCell::Float(static_cast<float>(value));
    default:
      return ArgCell::Double(static_cast<double>(value));
  }
}

}  // namespace

ArgCell ConvertNumeric(const ArgCell& value, runtime::TypeCode target) {
  if (!runtime::IsNumericType(target)) return ArgCell{};
  if (value.type == target) return value;
  if (IsIntegerType(value.type)) return FromInteger(IntegerValue(value), target);
  if (value.type != runtime::kFloat && value.type != runtime::kDouble) {
    return FromInteger(0, target);
  }
  const double real =
      value.type == runtime::kFloat ? WidenSingle(value.As<float>()) : value.As<double>();
  if (target == runtime::kDouble) return ArgCell::Double(real);
  if (target == runtime::kFloat) return ArgCell::Float(static_cast<float>(real));
  // Single to integer truncates the single itself, not its widened form.
  const double exact = value.type == runtime::kFloat ? value.As<float>() : real;
  return FromInteger(TruncateToInt64(exact), target);
}

}  // namespace commands
