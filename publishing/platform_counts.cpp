#include "publishing/platform_counts.h"

#include "publishing/character_classes.h"

namespace publishing {

PlatformCounts CountForPlatforms(std::u16string_view text) {
  PlatformCounts counts;
  for (size_t i = 0, units = 0; i < text.size(); i += units) {
    const char32_t c = CodePointAt(text, i, &units);
    if (IsBlank(c) || IsLineBreak(c) || IsUncounted(c)) continue;
    ++counts.without_blanks;
    if (IsIdeograph(c)) ++counts.chinese;
    if (!IsPunctuation(c)) ++counts.without_punctuation;
  }
  return counts;
}

}  // namespace publishing
