#include "publishing/count_rule.h"

#include <array>

namespace publishing {
namespace {

struct RuleNames {
  CountRule rule;
  std::u16string_view name;
  std::string_view key;
};

constexpr std::array<RuleNames, 4> kRules = {{
    {CountRule::kDesk, u"写作台计数", "desk"},
    {CountRule::kChinese, u"仅汉字", "chinese"},
    {CountRule::kWithoutBlanks, u"不含空格换行", "without-blanks"},
    {CountRule::kWithoutPunctuation, u"不含标点", "without-punctuation"},
}};

const RuleNames& NamesOf(CountRule rule) {
  for (const RuleNames& names : kRules) {
    if (names.rule == rule) return names;
  }
  return kRules[0];  // not reached for a valid enumerator
}

}  // namespace

std::u16string_view CountRuleName(CountRule rule) { return NamesOf(rule).name; }

std::string_view CountRuleKey(CountRule rule) { return NamesOf(rule).key; }

std::optional<CountRule> ParseCountRule(std::string_view key) {
  for (const RuleNames& names : kRules) {
    if (names.key == key) return names.rule;
  }
  return std::nullopt;
}

}  // namespace publishing
