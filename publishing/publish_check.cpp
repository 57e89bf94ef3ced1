#include "publishing/publish_check.h"

#include <algorithm>
#include <string>
#include <unordered_map>

#include "publishing/character_classes.h"
#include "publishing/text_lines.h"
#include "publishing/word_matcher.h"

namespace publishing {
namespace {

constexpr size_t kShortestRepeatedParagraph = 6;  // code points; shorter lines ("……") repeat
constexpr size_t kQuotedRepeatedParagraphs = 3;
constexpr size_t kQuotedCharacters = 20;

std::vector<PublishWarnings::Repeated> RepeatedParagraphs(std::u16string_view text) {
  std::vector<PublishWarnings::Repeated> found;
  std::vector<std::u16string_view> paragraphs;  // in order of first occurrence
  std::vector<int32_t> times;
  std::unordered_map<std::u16string_view, size_t> index;
  ForEachLine(text, [&](std::u16string_view line) {
    line = TrimBlanks(line);
    if (CountCodePoints(line) < kShortestRepeatedParagraph) return;
    const auto [it, added] = index.emplace(line, paragraphs.size());
    if (added) {
      paragraphs.push_back(line);
      times.push_back(1);
    } else {
      ++times[it->second];
    }
  });
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    if (times[i] > 1) found.push_back({std::u16string(paragraphs[i]), times[i]});
  }
  return found;
}

bool IsCheckedMark(char32_t c) {
  return c == ',' || c == '.' || c == '?' || c == '!' || c == ':' || c == ';';
}

int32_t CountHalfWidthPunctuation(std::u16string_view text) {
  int32_t count = 0;
  char32_t previous = 0;
  bool previous_counted = false;  // `previous` is a mark already counted
  for (size_t i = 0, units = 0; i < text.size(); i += units) {
    const char32_t c = CodePointAt(text, i, &units);
    if (IsCheckedMark(c) && IsIdeograph(previous)) {
      ++count;
      previous_counted = true;
    } else {
      if (IsIdeograph(c) && IsCheckedMark(previous) && !previous_counted) ++count;
      previous_counted = false;
    }
    previous = c;
  }
  return count;
}

std::vector<PublishWarnings::AvoidWord> CountAvoidWords(std::u16string_view text,
                                                        const std::vector<std::u16string>& words) {
  std::vector<int32_t> times(words.size(), 0);
  std::vector<size_t> counted_end(words.size(), 0);  // where the word's last counted match ends
  // Matches come in order of their ends, so each word's come in order of their starts too.
  for (const WordMatcher::Match& match : WordMatcher(words).FindAll(text)) {
    if (match.start < counted_end[match.word]) continue;
    ++times[match.word];
    counted_end[match.word] = match.start + match.length;
  }
  std::vector<PublishWarnings::AvoidWord> found;
  for (size_t w = 0; w < words.size(); ++w) {
    if (times[w] > 0) found.push_back({words[w], times[w]});
  }
  return found;
}

std::u16string Number(int64_t n) {
  const std::string digits = std::to_string(n);
  return std::u16string(digits.begin(), digits.end());
}

// The first kQuotedCharacters code points of `paragraph`, then "……" when there are more.
std::u16string Quoted(std::u16string_view paragraph) {
  size_t end = 0;
  for (size_t n = 0, units = 0; end < paragraph.size() && n < kQuotedCharacters; ++n) {
    CodePointAt(paragraph, end, &units);
    end += units;
  }
  std::u16string quoted = u"“" + std::u16string(paragraph.substr(0, end));
  if (end < paragraph.size()) quoted += u"……";
  return quoted + u"”";
}

}  // namespace

bool PublishWarnings::Any() const {
  return too_short || !repeated_paragraphs.empty() || half_width_punctuation > 0 ||
         !avoid_words.empty();
}

PublishWarnings CheckForPublishing(std::u16string_view laid_out_text, int64_t characters,
                                   const PublishCheckSettings& settings) {
  PublishWarnings warnings;
  warnings.characters = characters;
  warnings.too_short = settings.minimum_characters > 0 && characters < settings.minimum_characters;
  warnings.repeated_paragraphs = RepeatedParagraphs(laid_out_text);
  warnings.half_width_punctuation = CountHalfWidthPunctuation(laid_out_text);
  warnings.avoid_words = CountAvoidWords(laid_out_text, settings.avoid_words);
  return warnings;
}

std::vector<TextSpan> FindAvoidWords(std::u16string_view text,
                                     const std::vector<std::u16string>& words) {
  std::vector<WordMatcher::Match> matches = WordMatcher(words).FindAll(text);
  std::sort(
      matches.begin(), matches.end(),
      [](const WordMatcher::Match& a, const WordMatcher::Match& b) { return a.start < b.start; });
  std::vector<TextSpan> spans;
  for (const WordMatcher::Match& match : matches) {
    const size_t end = match.start + match.length;
    if (!spans.empty() && match.start < spans.back().start + spans.back().length) {
      TextSpan& last = spans.back();
      last.length = std::max(last.length, end - last.start);
    } else {
      spans.push_back({match.start, match.length});
    }
  }
  return spans;
}

std::u16string DescribeWarnings(const PublishWarnings& warnings, int64_t minimum_characters) {
  std::vector<std::u16string> lines;
  if (warnings.too_short) {
    lines.push_back(u"本章只有 " + Number(warnings.characters) + u" 字，少于设定的 " +
                    Number(minimum_characters) + u" 字。");
  }
  if (!warnings.repeated_paragraphs.empty()) {
    const auto& repeated = warnings.repeated_paragraphs;
    std::u16string line =
        u"有 " + Number(static_cast<int64_t>(repeated.size())) + u" 段文字重复出现：";
    for (size_t i = 0; i < repeated.size() && i < kQuotedRepeatedParagraphs; ++i) {
      if (i > 0) line += u"、";
      line += Quoted(repeated[i].paragraph) + u"（" + Number(repeated[i].times) + u" 次）";
    }
    if (repeated.size() > kQuotedRepeatedParagraphs) line += u"等";
    lines.push_back(line + u"。");
  }
  if (warnings.half_width_punctuation > 0) {
    lines.push_back(u"还有 " + Number(warnings.half_width_punctuation) + u" 处半角标点。");
  }
  if (!warnings.avoid_words.empty()) {
    std::u16string line = u"含有避免使用的词：";
    for (size_t i = 0; i < warnings.avoid_words.size(); ++i) {
      if (i > 0) line += u"、";
      line +=
          warnings.avoid_words[i].word + u"（" + Number(warnings.avoid_words[i].times) + u" 次）";
    }
    lines.push_back(line + u"。");
  }
  std::u16string text;
  for (const std::u16string& line : lines) {
    if (!text.empty()) text += u'\n';
    text += line;
  }
  return text;
}

}  // namespace publishing
