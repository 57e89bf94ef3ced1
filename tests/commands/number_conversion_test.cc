#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "commands/number_text.h"
#include "commands/numeric_conversion.h"
#include "tests/commands/command_test_support.h"

namespace commands_test {
namespace {

using commands::ConvertNumeric;
using commands::NumberToText;
using commands::WidenSingle;

TEST(NumberToText, FormsOfEachNumericType) {
  struct Case {
    ArgCell number;
    std::string expected;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Case> cases = {
      {ArgCell::Byte(200), "200"},
      {ArgCell::Short(-5), "-5"},
      {ArgCell::Int(INT32_MIN), "-2147483648"},
      {ArgCell::Long(INT64_MIN), "-9223372036854775808"},
      {ArgCell::Double(1.0 / 3), "0.3333333333333"},
      {ArgCell::Double(0), "0"},
      {ArgCell::Double(1e20), "1e+020"},
      {ArgCell::Double(1.5e-7), "1.5e-007"},
      {ArgCell::Double(1e300), "1e+300"},
      {ArgCell::Double(123456789012345.0), "1.234567890123e+014"},
      {ArgCell::Double(1234567890123.0), "1234567890123"},
      {ArgCell::Double(0.00001), "1e-005"},
      {ArgCell::Float(0.1f), "0.1"},
      {ArgCell::Float(3.14159274f), "3.14159"},
      {ArgCell::Float(16777216.0f), "1.67772e+007"},
      {ArgCell::Float(1e20f), "1e+020"},
      // Non-finite quotients (0/0 in the typing statistics) still give a text.
      {ArgCell::Double(inf), "inf"},
      {ArgCell::Double(std::nan("")), "nan"},
      {ArgCell::Double(-std::nan("")), "nan"},
      {ArgCell::Float(std::numeric_limits<float>::infinity()), "inf"},
      {ArgCell::Logical(true), ""},
  };
  for (const Case& c : cases) {
    const std::string text = NumberToText(c.number);
    EXPECT_EQ(text, c.expected) << std::hex << c.number.type;
    EXPECT_LE(text.size(), 100u);
  }
}

TEST(WidenSingle, GivesTheDigitsAsTyped) {
  struct Case {
    float single;
    double expected;
  };
  const std::vector<Case> cases = {
      {0.1f, 0.1},
      {-2.5f, -2.5},
      {12.34567f, 12.3457},
      {3.40282347e38f, 3.40282e38},
      {1.17549435e-38f, 1.17549e-38},
      {0.0f, 0.0},
      {1e-45f, 1.4013e-45},  // subnormal singles keep their digits instead of becoming 0
      {-1e-40f, -9.99995e-41},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(WidenSingle(c.single), c.expected) << c.single;
  EXPECT_EQ(WidenSingle(0.1f), 0.1);  // exactly the double nearest to 0.1
  EXPECT_TRUE(std::signbit(WidenSingle(-0.0f)));
  EXPECT_TRUE(std::isinf(WidenSingle(std::numeric_limits<float>::infinity())));
  EXPECT_TRUE(std::isnan(WidenSingle(std::numeric_limits<float>::quiet_NaN())));
}

// Over singles of every magnitude: the result has at most six significant digits and lies
// within half a unit of the sixth digit of the single.
TEST(WidenSingle, RoundsToSixSignificantDigitsEverywhere) {
  std::mt19937 random(12345);
  std::uniform_int_distribution<uint32_t> bits(0, 0x7F7FFFFF);  // finite, positive, normal
  for (int i = 0; i < 20000; ++i) {
    uint32_t word = bits(random);
    if ((word >> 23) == 0) word |= 1u << 23;
    float single;
    std::memcpy(&single, &word, 4);
    const double widened = WidenSingle(single);
    char six_digits[64];
    std::snprintf(six_digits, sizeof six_digits, "%.6g", widened);
    ASSERT_NEAR(std::strtod(six_digits, nullptr), widened, 1e-15 * widened) << single;
    const double exponent = std::floor(std::log10(static_cast<double>(single)));
    ASSERT_LE(std::fabs(widened - single), 0.5000001 * std::pow(10.0, exponent - 5)) << single;
  }
}

TEST(ConvertNumeric, FollowsTheRulesForEveryPair) {
  struct Case {
    const char* name;
    ArgCell value;
    runtime::TypeCode target;
    ArgCell expected;
  };
  const std::vector<Case> cases = {
      {"byte widens unsigned", ArgCell::Byte(200), runtime::kShort, ArgCell::Short(200)},
      {"short widens by sign", ArgCell::Short(-2), runtime::kLong, ArgCell::Long(-2)},
      {"short narrows to its low byte", ArgCell::Short(-2), runtime::kByte, ArgCell::Byte(254)},
      {"int narrows to its low 16 bits", ArgCell::Int(70000), runtime::kShort,
       ArgCell::Short(4464)},
      {"long to its low word", ArgCell::Long((int64_t{1} << 40) + 5), runtime::kInt,
       ArgCell::Int(5)},
      {"int to the nearest single", ArgCell::Int(16777217), runtime::kFloat,
       ArgCell::Float(16777216.0f)},
      {"long to the nearest double", ArgCell::Long((int64_t{1} << 53) + 1), runtime::kDouble,
       ArgCell::Double(9007199254740992.0)},
      {"double truncates toward zero", ArgCell::Double(-2.9), runtime::kInt, ArgCell::Int(-2)},
      {"then keeps the low bits", ArgCell::Double(-2.9), runtime::kByte, ArgCell::Byte(254)},
      {"through 64 bits", ArgCell::Double(3e9), runtime::kInt, ArgCell::Int(-1294967296)},
      {"out of range is the indefinite value", ArgCell::Double(1e30), runtime::kLong,
       ArgCell::Long(INT64_MIN)},
      {"a single truncates itself", ArgCell::Float(2.99f), runtime::kInt, ArgCell::Int(2)},
      {"single to double widens", ArgCell::Float(0.1f), runtime::kDouble, ArgCell::Double(0.1)},
      {"double to single rounds", ArgCell::Double(0.1), runtime::kFloat, ArgCell::Float(0.1f)},
      {"not numeric gives 0", ArgCell::Text("12"), runtime::kInt, ArgCell::Int(0)},
      {"to no numeric type gives nothing", ArgCell::Int(3), runtime::kText, ArgCell{}},
  };
  for (const Case& c : cases) {
    const ArgCell result = ConvertNumeric(c.value, c.target);
    EXPECT_EQ(result.type, c.expected.type) << c.name;
    EXPECT_EQ(result.Payload64(), c.expected.Payload64()) << c.name;
  }
}

}  // namespace
}  // namespace commands_test
