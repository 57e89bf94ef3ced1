#include "publishing/platform_counts.h"

#include <gtest/gtest.h>

#include <string>

#include "publishing/count_rule.h"

namespace publishing {
namespace {

struct CountCase {
  std::u16string text;
  int64_t chinese;
  int64_t without_blanks;
  int64_t without_punctuation;
};

TEST(PlatformCounts, CountsCharactersTheWayThePlatformsDo) {
  const CountCase cases[] = {
      {u"", 0, 0, 0},
      {u"你好，world! 123", 2, 12, 10},
      {u"\u3000\u3000第一段\r\n\t第二段 \u00A0\u2029\u2028\uFEFF\u2003", 6, 6, 6},
      {u"ＡＢ１２", 0, 4, 4},                 // full-width letters and digits are not marks
      {u"+=$%…—《》！？“”（）〃", 0, 15, 0},  // every mark and symbol named
      {u"¿¡§«»¶·", 0, 7, 0},
      {u"约翰·史密斯", 5, 6, 5},
      {u"😀", 0, 1, 1},
      {u"❤\uFE0F❤", 0, 2, 2},               // with and without a selector
      {u"👨\u200D👩\u200D👧", 0, 3, 3},        // one per person of a family
      {u"👍🏽1\uFE0F\u20E3", 0, 2, 2},  // skin tone, keycap
      {u"𠀀〇ㄅ", 2, 3, 3},                 // U+20000 and "〇" are Chinese
      {u"e\u0301\u200B\u0007", 0, 1, 1},    // combining, invisible, control
      {u"\u845B\U000E0100", 1, 1, 1},       // an ideograph's variant
      {std::u16string{0xD800, u'a', 0xDC00, 0xDC00, 0xD800}, 0, 5, 5},  // lone surrogates
  };
  for (const CountCase& c : cases) {
    const PlatformCounts counts = CountForPlatforms(c.text);
    EXPECT_EQ(counts.chinese, c.chinese) << testing::PrintToString(c.text);
    EXPECT_EQ(counts.without_blanks, c.without_blanks) << testing::PrintToString(c.text);
    EXPECT_EQ(counts.without_punctuation, c.without_punctuation) << testing::PrintToString(c.text);
  }
}

TEST(CountRule, KeysRoundTripAndUnknownKeysAreRefused) {
  const CountRule rules[] = {CountRule::kDesk, CountRule::kChinese, CountRule::kWithoutBlanks,
                             CountRule::kWithoutPunctuation};
  const std::u16string_view names[] = {u"写作台计数", u"仅汉字", u"不含空格换行", u"不含标点"};
  const std::string_view keys[] = {"desk", "chinese", "without-blanks", "without-punctuation"};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(CountRuleName(rules[i]), names[i]);
    EXPECT_EQ(CountRuleKey(rules[i]), keys[i]);
    EXPECT_EQ(ParseCountRule(keys[i]), rules[i]);
  }
  for (std::string_view unknown : {"", "Desk", "desk ", "without_blanks", "仅汉字"}) {
    EXPECT_EQ(ParseCountRule(unknown), std::nullopt) << unknown;
  }
}

}  // namespace
}  // namespace publishing
