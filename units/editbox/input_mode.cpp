#include "units/editbox/input_mode.h"

#include <algorithm>
#include <limits>

#include "commands/date_time_text.h"
#include "commands/full_width.h"
#include "commands/number_text.h"
#include "commands/value_conversion.h"

namespace units {

namespace {

bool IsDigit(uint64_t code) { return code >= '0' && code <= '9'; }

std::string IntegerInRange(std::string_view gbk, int64_t low, int64_t high) {
  const int64_t value = std::clamp(LeadingInteger(gbk), low, high);
  return commands::IntegerToText(value);
}

}  // namespace

bool AcceptsTypedCharacter(int32_t mode, uint64_t code) {
  if (code < 32) return true;
  switch (mode) {
    case input_mode::kByte:
      return IsDigit(code);
    case input_mode::kIntegerText:
    case input_mode::kShort:
    case input_mode::kInteger:
    case input_mode::kLong:
      return IsDigit(code) || code == '-';
    case input_mode::kDecimalText:
    case input_mode::kSingle:
    case input_mode::kDouble:
      return IsDigit(code) || code == '-' || code == '.';
    default:
      return true;
  }
}

int64_t LeadingInteger(std::string_view gbk) {
  const std::string text = commands::NormalizeFullWidth(gbk);
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) negative = text[pos++] == '-';
  // Accumulate toward the sign so that the most negative value is reachable.
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  int64_t value = 0;
  for (; pos < text.size() && IsDigit(static_cast<uint8_t>(text[pos])); ++pos) {
    const int digit = text[pos] - '0';
    if (negative) {
      if (value < (kMin + digit) / 10) return kMin;
      value = value * 10 - digit;
    } else {
      if (value > (kMax - digit) / 10) return kMax;
      value = value * 10 + digit;
    }
  }
  return value;
}

std::string NormalizeForMode(int32_t mode, std::string_view gbk) {
  std::string result;
  switch (mode) {
    case input_mode::kByte:
      result = IntegerInRange(gbk, 0, 255);
      break;
    case input_mode::kShort:
      result = IntegerInRange(gbk, -32768, 32767);
      break;
    case input_mode::kInteger:
      result = IntegerInRange(gbk, std::numeric_limits<int32_t>::min(),
                              std::numeric_limits<int32_t>::max());
      break;
    case input_mode::kLong:
      result = commands::IntegerToText(LeadingInteger(gbk));
      break;
    case input_mode::kSingle:
    case input_mode::kDouble: {
      const double value = commands::TextToNumber(gbk);
      // Zero of either sign is an empty box; "-0" is no number to show.
      if (value == 0) return std::string();
      result = mode == input_mode::kSingle ? commands::SingleToText(static_cast<float>(value))
                                           : commands::DoubleToText(value);
      break;
    }
    case input_mode::kDateTime: {
      const std::optional<double> value = commands::TextToDateTime(gbk);
      return value && *value != 0 ? commands::DateTimeToText(*value) : std::string();
    }
    default:
      return std::string(gbk);
  }
  return result == "0" ? std::string() : result;
}

}  // namespace units
