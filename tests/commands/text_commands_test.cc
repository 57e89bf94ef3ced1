#include "commands/text_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/gbk_text.h"
#include "runtime/gates.h"
#include "tests/commands/command_test_support.h"
#include "tests/support/runtime_error_exit.h"

namespace commands_test {
namespace {

// A GBK character whose trail byte is the ASCII letter "A".
const std::string kTrailA = "\x81\x41";
const std::string kZhong = "\xD6\xD0";  // 中

ArgCell Omitted() { return ArgCell{}; }

TEST(SpaceText, MakesThatManySpacesOrNothing) {
  EXPECT_EQ(TakeText(runtime::CallCoreCommand(commands::SpaceText, {ArgCell::Int(4)})), "    ");
  for (int32_t count : {0, -5, INT32_MIN}) {
    const ArgCell result = runtime::CallCoreCommand(commands::SpaceText, {ArgCell::Int(count)});
    EXPECT_EQ(result.type, runtime::kText);
    EXPECT_EQ(result.AsPointer<char>(), nullptr) << count;
  }
  // Any numeric cell serves as the count.
  EXPECT_EQ(TakeText(runtime::CallCoreCommand(commands::SpaceText, {ArgCell::Double(2.9)})), "  ");
}

struct SubstituteCase {
  const char* name;
  std::string text;
  std::string find;
  std::string replacement;
  int32_t start;
  int32_t count;
  bool case_sensitive;
  std::string expected;
};

TEST(SubstituteText, Cases) {
  const std::vector<SubstituteCase> cases = {
      {"removes every space", "a b c", " ", "", 1, -1, true, "abc"},
      {"count 1 stops after the first", "a b c", " ", "_", 1, 1, true, "a_b c"},
      {"count 0 substitutes nothing", "a b c", " ", "_", 1, 0, true, "a b c"},
      {"other negative counts mean all", "a b c", " ", "_", 1, -7, true, "a_b_c"},
      {"start skips the beginning", "a b c", " ", "_", 3, -1, true, "a b_c"},
      {"start past the end leaves the text", "a b c", " ", "_", 6, -1, true, "a b c"},
      {"start below 1 counts as 1", "a b", " ", "_", -3, -1, true, "a_b"},
      {"empty find leaves the text", "abc", "", "x", 1, -1, true, "abc"},
      {"longer replacement", "aaa", "a", "bb", 1, -1, true, "bbbbbb"},
      {"matches do not overlap", "aaa", "aa", "b", 1, -1, true, "ba"},
      {"a trail byte never starts a match", kTrailA + "A" + kTrailA, "A", "x", 1, -1, true,
       kTrailA + "x" + kTrailA},
      {"a match starting at a trail byte is skipped", kTrailA + "Ab", "Ab", "x", 1, -1, true,
       kTrailA + "x"},
      {"two-byte find texts", kZhong + "a" + kZhong, kZhong, "z", 1, -1, true, "zaz"},
      {"a broken lead byte at the end is dropped", "ab\xD6", "x", "", 1, -1, true, "ab"},
      {"a broken lead byte beyond the search is kept", "ab\xD6", "zz", "", 1, -1, true, "ab\xD6"},
      {"case-insensitive folds ASCII letters", "ABC abc", "b", "_", 1, -1, false, "A_C a_c"},
      {"folding applies to trail bytes too", "\x81\x61!", "\x81\x41", "_", 1, -1, false, "_!"},
  };
  for (const SubstituteCase& c : cases) {
    commands::Substitution substitution;
    substitution.find = c.find;
    substitution.replacement = c.replacement;
    substitution.start = c.start;
    substitution.count = c.count;
    substitution.case_sensitive = c.case_sensitive;
    EXPECT_EQ(commands::SubstituteText(c.text, substitution), c.expected) << c.name;

    const ArgCell result = runtime::CallCoreCommand(
        commands::SubstituteText, {ArgCell::Text(c.text.c_str()), ArgCell::Text(c.find.c_str()),
                                   ArgCell::Text(c.replacement.c_str()), ArgCell::Int(c.start),
                                   ArgCell::Int(c.count), ArgCell::Logical(c.case_sensitive)});
    EXPECT_EQ(TakeText(result), c.expected) << c.name << " (command)";
  }
}

TEST(SubstituteText, OmittedArgumentsTakeTheirDefaults) {
  // Replacement left out: the found texts are removed; start and count left out: all of them.
  const ArgCell result = runtime::CallCoreCommand(
      commands::SubstituteText, {ArgCell::Text("a b c"), ArgCell::Text(" "), Omitted(), Omitted(),
                                 Omitted(), ArgCell::Logical(true)});
  EXPECT_EQ(TakeText(result), "abc");
  // An empty result is the null text.
  const ArgCell empty =
      runtime::CallCoreCommand(commands::SubstituteText, {ArgCell::Text("  "), ArgCell::Text(" ")});
  EXPECT_EQ(empty.AsPointer<char>(), nullptr);
}

TEST(TextLength, CountsBytes) {
  const std::string text = "a" + kZhong;
  EXPECT_EQ(runtime::CallCoreCommand(commands::TextLength, {ArgCell::Text(text.c_str())}).low, 3u);
}

TEST(MidText, CutsByBytesWithinTheText) {
  struct Case {
    int32_t start;
    int32_t length;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {1, 2, "ab"}, {3, 10, "cd"}, {4, 1, "d"},
      {5, 1, ""},   {0, 2, ""},    {-1, 2, ""},
      {2, 0, ""},   {2, -1, ""},   {1, INT32_MAX, "abcd"},
  };
  for (const Case& c : cases) {
    const ArgCell result = runtime::CallCoreCommand(
        commands::MidText, {ArgCell::Text("abcd"), ArgCell::Int(c.start), ArgCell::Int(c.length)});
    EXPECT_EQ(TakeText(result), c.expected) << c.start << "," << c.length;
  }
  // A cut may split a two-byte character.
  EXPECT_EQ(commands::MidText(kZhong + "x", 2, 2), "\xD0x");
}

TEST(CharCode, SignExtendsTheByteAndGivesZeroOutside) {
  const std::string text = kZhong + "A";
  auto code = [&](ArgCell position) {
    return static_cast<int32_t>(
        runtime::CallCoreCommand(commands::CharCode, {ArgCell::Text(text.c_str()), position}).low);
  };
  EXPECT_EQ(code(Omitted()), static_cast<signed char>(0xD6));
  EXPECT_LT(code(ArgCell::Int(1)), 0);
  EXPECT_EQ(code(ArgCell::Int(2)), static_cast<signed char>(0xD0));
  EXPECT_EQ(code(ArgCell::Int(3)), 65);
  EXPECT_EQ(code(ArgCell::Int(4)), 0);  // the terminating NUL
  for (int32_t outside : {0, -1, 5, INT32_MAX, INT32_MIN}) {
    EXPECT_EQ(code(ArgCell::Int(outside)), 0) << outside;
  }
  EXPECT_EQ(commands::CharCode("", 1), 0);
}

TEST(TrimLeadingSpaces, SkipsAsciiAndFullWidthSpacesOnly) {
  const std::string full = std::string(commands::kFullWidthSpace);
  struct Case {
    std::string text;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {full + full + "x ", "x "},
      {" " + full + " y" + full, "y" + full},
      {"   ", ""},
      {full, ""},
      {"\xA1\xA2x", "\xA1\xA2x"},  // 0xA1 starts a blank only when 0xA1 follows
      {"\xA1", "\xA1"},
      {"\tx", "\tx"},
  };
  for (const Case& c : cases) {
    const ArgCell result =
        runtime::CallCoreCommand(commands::TrimLeadingSpaces, {ArgCell::Text(c.text.c_str())});
    if (c.expected.empty()) {
      EXPECT_EQ(result.AsPointer<char>(), nullptr);
    }
    EXPECT_EQ(TakeText(result), c.expected);
  }
}

TEST(ConcatTexts, JoinsInOrderIntoANewBlock) {
  EXPECT_EQ(TakeText(runtime::CallCoreCommand(commands::ConcatTexts,
                                              {ArgCell::Text("a"), ArgCell::Text(kZhong.c_str()),
                                               ArgCell::Text(nullptr), ArgCell::Text("bc")})),
            "a" + kZhong + "bc");
  // Even an empty join is a block of its own.
  const ArgCell empty =
      runtime::CallCoreCommand(commands::ConcatTexts, {ArgCell::Text(""), ArgCell::Text("")});
  ASSERT_NE(empty.AsPointer<char>(), nullptr);
  EXPECT_EQ(TakeText(empty), "");
}

TEST(CompareTexts, ComparesUnsignedBytesWithNullAsEmpty) {
  auto compare = [](const char* a, const char* b) {
    return static_cast<int32_t>(
        runtime::CallCoreCommand(commands::CompareTexts, {ArgCell::Text(a), ArgCell::Text(b)}).low);
  };
  EXPECT_EQ(compare(nullptr, ""), 0);
  EXPECT_EQ(compare("a", "b"), -1);
  EXPECT_EQ(compare("\xD6\xD0", "z"), 1);  // 0xD6 is above "z", not below 0
}

TEST(FileNameOffset, SkipsTrailBytesThatLookLikeBackslashes) {
  EXPECT_EQ(commands::FileNameOffset("a/b\\c"), 4u);
  EXPECT_EQ(commands::FileNameOffset("d\\\x81\x5Cx"), 2u);  // 0x81 0x5C is one character
}

TEST(TextCommandsDeathTest, AWrongArgumentTypeEndsTheProgram) {
  EXPECT_EXIT(runtime::CallCoreCommand(commands::TextLength, {ArgCell::Int(1)}),
              testing::ExitedWithCode(test_support::kRuntimeErrorExit), "11");
}

}  // namespace
}  // namespace commands_test
