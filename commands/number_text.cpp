#include "commands/number_text.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "commands/numeric_conversion.h"
#include "runtime/gbk_literal.h"

namespace commands {

namespace {

// "%.<precision>g" in the C locale, with the exponent widened to three digits.
std::string GeneralFormat(double value, int precision) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  char buffer[64];
  const auto [end, error] =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  if (error != std::errc()) return {};
  std::string text(buffer, end);
  const size_t exponent = text.find('e');
  if (exponent != std::string::npos) {
    const size_t digits = exponent + 2;  // past "e+" or "e-"
    if (text.size() - digits < 3) text.insert(digits, 3 - (text.size() - digits), '0');
  }
  return text;
}

}  // namespace

std::string IntegerToText(int64_t value) {
  char buffer[24];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return error == std::errc() ? std::string(buffer, end) : std::string();
}

std::string DoubleToText(double value) { return GeneralFormat(value, 13); }

std::string SingleToText(float value) { return GeneralFormat(WidenSingle(value), 6); }

std::string NumberToText(const runtime::ArgCell& number) {
  switch (number.type) {
    case runtime::kByte:
      return IntegerToText(number.As<uint8_t>());
    case runtime::kShort:
      return IntegerToText(number.As<int16_t>());
    case runtime::kInt:
      return IntegerToText(number.As<int32_t>());
    case runtime::kLong:
      return IntegerToText(number.As<int64_t>());
    case runtime::kFloat:
      return SingleToText(number.As<float>());
    case runtime::kDouble:
      return DoubleToText(number.As<double>());
    default:
      return {};
  }
}

std::string LogicalToText(bool value) {
  static const std::string kTrue = runtime::Gbk("真");
  static const std::string kFalse = runtime::Gbk("假");
  return value ? kTrue : kFalse;
}

}  // namespace commands
