#include "commands/value_conversion.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "commands/date_time_text.h"
#include "commands/full_width.h"
#include "commands/number_text.h"
#include "runtime/blocks.h"

namespace commands {

namespace {

using runtime::ArgCell;

// The elements of an array of a numeric type, in row-major order; none for other arrays.
// An array of several dimensions gives all its elements, not only those of the first.
std::span<const uint8_t> NumericArrayBytes(const ArgCell& value) {
  const runtime::TypeCode element = runtime::ElementTypeOf(value.type);
  const auto* block = value.AsPointer<const uint8_t>();
  if (!runtime::IsNumericType(element) || block == nullptr) return {};
  const int64_t count = runtime::ArrayElementCount(block);
  if (count <= 0) return {};
  return {block + runtime::ArrayHeaderSize(block),
          static_cast<size_t>(count * runtime::PayloadSize(element))};
}

std::string UpToFirstZero(std::span<const uint8_t> bytes) {
  const auto zero = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  return std::string(bytes.begin(), zero);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::string ValueToText(const ArgCell& value) {
  if (runtime::IsArrayCode(value.type)) return UpToFirstZero(NumericArrayBytes(value));
  if (runtime::IsNumericType(value.type)) return NumberToText(value);
  switch (value.type) {
    case runtime::kByteSet:
      return UpToFirstZero(runtime::ByteSetBytes(value.AsPointer<void>()));
    case runtime::kText:
      return std::string(runtime::TextOf(value.AsPointer<const char>()));
    case runtime::kLogical:
      return LogicalToText(value.low != 0);
    case runtime::kDateTime:
      return DateTimeToText(value.As<double>());
    default:
      return {};
  }
}

double ValueToNumber(const ArgCell& value) {
  switch (value.type) {
    case runtime::kText:
      return TextToNumber(runtime::TextOf(value.AsPointer<const char>()));
    case runtime::kLogical:
      return value.As<int32_t>();
    case runtime::kRoutine:
      return static_cast<double>(value.As<uintptr_t>());
    case runtime::kByte:
      return value.As<uint8_t>();
    case runtime::kShort:
      return value.As<int16_t>();
    case runtime::kInt:
      return value.As<int32_t>();
    case runtime::kLong:
      return static_cast<double>(value.As<int64_t>());
    case runtime::kFloat:
      return value.As<float>();
    case runtime::kDouble:
      return value.As<double>();
    default:
      return 0;
  }
}

double TextToNumber(std::string_view text) {
  const std::string normalized = NormalizeFullWidth(text);
  std::string_view rest = normalized;
  while (!rest.empty() && IsWhiteSpace(rest[0])) rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
    negative = rest[0] == '-';
    rest.remove_prefix(1);
  }

  // Mantissa: digits, an optional point and fraction digits, at least one digit in all.
  size_t end = 0;
  size_t integer_digits = 0;
  while (end < rest.size() && IsDigit(rest[end])) ++end;
  integer_digits = end;
  if (end < rest.size() && rest[end] == '.') {
    ++end;
    while (end < rest.size() && IsDigit(rest[end])) ++end;
  }
  const size_t mantissa_end = end;
  if (mantissa_end == 0 || (mantissa_end == 1 && rest[0] == '.')) return 0;

  // Exponent: taken only when digits follow the letter and its sign.
  int64_t exponent = 0;
  if (end < rest.size() && (rest[end] == 'e' || rest[end] == 'E')) {
    size_t pos = end + 1;
    bool exponent_negative = false;
    if (pos < rest.size() && (rest[pos] == '+' || rest[pos] == '-')) {
      exponent_negative = rest[pos] == '-';
      ++pos;
    }
    if (pos < rest.size() && IsDigit(rest[pos])) {
      while (pos < rest.size() && IsDigit(rest[pos])) {
        exponent = std::min<int64_t>(exponent * 10 + (rest[pos] - '0'), 1'000'000);
        ++pos;
      }
      if (exponent_negative) exponent = -exponent;
      end = pos;
    }
  }

  const std::string_view number = rest.substr(0, end);
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large or too small for a double: tell which from the decimal magnitude.
    const std::string_view mantissa = rest.substr(0, mantissa_end);
    const size_t first_nonzero = mantissa.find_first_of("123456789");
    int64_t magnitude = exponent;
    if (first_nonzero != std::string_view::npos) {
      magnitude += first_nonzero < integer_digits
                       ? static_cast<int64_t>(integer_digits - first_nonzero)
                       : -static_cast<int64_t>(first_nonzero - integer_digits - 1);
    }
    value = first_nonzero != std::string_view::npos && magnitude > 0
                ? std::numeric_limits<double>::infinity()
                : 0.0;
  } else if (result.ec != std::errc()) {
    return 0;
  }
  return negative ? -value : value;
}

std::span<const uint8_t> ValueBytes(const ArgCell& value) {
  if (runtime::IsArrayCode(value.type)) return NumericArrayBytes(value);
  if (value.type == runtime::kText) {
    const std::string_view text = runtime::TextOf(value.AsPointer<const char>());
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
  }
  if (value.type == runtime::kByteSet) return runtime::ByteSetBytes(value.AsPointer<void>());
  const bool plain_value = runtime::IsNumericType(value.type) || value.type == runtime::kLogical ||
                           value.type == runtime::kDateTime || value.type == runtime::kRoutine;
  if (!plain_value) return {};
  // The payload words lie one after the other in the cell, low word first.
  return {reinterpret_cast<const uint8_t*>(&value.low),
          static_cast<size_t>(runtime::PayloadSize(value.type))};
}

}  // namespace commands
