#pragma once

#include <optional>
#include <string_view>

// Which count the desk shows as a chapter's length: its own, or one of the platforms' counts
// (platform_counts.h). The desk computes its own count elsewhere; this only names the rules and
// stores the author's choice.

namespace publishing {

enum class CountRule { kDesk, kChinese, kWithoutBlanks, kWithoutPunctuation };

// The label the desk shows: "写作台计数", "仅汉字", "不含空格换行", "不含标点".
std::u16string_view CountRuleName(CountRule rule);

// The key a settings file stores: "desk", "chinese", "without-blanks", "without-punctuation".
// These keys are stored in the authors' files: never change one.
std::string_view CountRuleKey(CountRule rule);

// The rule of a stored key, compared exactly; nullopt for any other text (a file from a later
// version, a damaged file), which the caller replaces with its default.
std::optional<CountRule> ParseCountRule(std::string_view key);

}  // namespace publishing
