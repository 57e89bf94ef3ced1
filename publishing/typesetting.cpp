#include "publishing/typesetting.h"

#include <algorithm>
#include <vector>

#include "publishing/character_classes.h"
#include "publishing/text_lines.h"

namespace publishing {
namespace {

constexpr char32_t kIdeographicSpace = U'\u3000';
constexpr char32_t kFullStop = U'\u3002';
constexpr char32_t kEllipsis = U'\u2026';
constexpr char32_t kEmDash = U'\u2014';
constexpr char32_t kOpeningBracket = U'\uFF08';
constexpr char32_t kClosingBracket = U'\uFF09';

bool IsSingleQuote(char32_t c) { return c == '\'' || c == U'\u2018' || c == U'\u2019'; }
bool IsQuote(char32_t c) {
  return c == '"' || c == U'\u201C' || c == U'\u201D' || IsSingleQuote(c);
}
bool IsDot(char32_t c) { return c == '.' || c == kFullStop; }

// Lays out one paragraph at a time; keeps its buffers from one paragraph to the next.
//
// Idempotence rests on two invariants. Every decision looks only at the text already laid out
// (to the left) and, to the right, at properties no conversion changes: ASCII letters and
// digits, ideographs, and where quotes are (quotes of either width are skipped alike). And the
// quotes, which are converted over the whole paragraph, are invisible to the other rules
// (single) or converted before them (double).
class ParagraphTypesetter {
 public:
  explicit ParagraphTypesetter(const TypesettingSettings& settings) : settings_(settings) {}

  // Appends `paragraph` (trimmed, not empty) laid out to `out`.
  void Typeset(std::u16string_view paragraph, std::u16string& out) {
    in_.clear();
    has_ideograph_ = false;
    for (size_t i = 0, units = 0; i < paragraph.size(); i += units) {
      in_.push_back(CodePointAt(paragraph, i, &units));
      has_ideograph_ = has_ideograph_ || IsIdeograph(in_.back());
    }
    if (settings_.full_width_punctuation) ConvertDoubleQuotes();
    ConvertMarks();
    if (settings_.full_width_punctuation) ConvertSingleQuotes();
    if (settings_.indent) out.append(2, kIdeographicSpace);
    for (char32_t c : out_) AppendCodePoint(out, c);
  }

 private:
  void ConvertDoubleQuotes() {
    if (!has_ideograph_) return;
    const auto count = std::count(in_.begin(), in_.end(), U'"');
    if (count % 2 != 0) return;
    bool opening = true;
    for (char32_t& c : in_) {
      if (c != '"') continue;
      c = opening ? U'\u201C' : U'\u201D';
      opening = !opening;
    }
  }

  void ConvertSingleQuotes() {
    if (!has_ideograph_) return;
    const auto touches = [](char32_t c) {
      return IsIdeograph(c) || (IsChinesePunctuation(c) && !IsQuote(c));
    };
    std::vector<size_t>& quotes = positions_;
    quotes.clear();
    for (size_t i = 0; i < out_.size(); ++i) {
      if (out_[i] != '\'') continue;
      if ((i > 0 && touches(out_[i - 1])) || (i + 1 < out_.size() && touches(out_[i + 1]))) {
        quotes.push_back(i);
      }
    }
    if (quotes.size() % 2 != 0) return;
    for (size_t k = 0; k < quotes.size(); ++k) out_[quotes[k]] = k % 2 == 0 ? U'\u2018' : U'\u2019';
  }

  // The ellipses, dashes and half-width marks, from in_ to out_.
  void ConvertMarks() {
    const size_t n = in_.size();
    // after_[i]: the first character at or after i that is neither a blank nor a quote; 0 past
    // the end. One pass from the right keeps the whole layout linear.
    after_.resize(n + 1);
    after_[n] = 0;
    for (size_t i = n; i-- > 0;) {
      after_[i] = IsBlank(in_[i]) || IsQuote(in_[i]) ? after_[i + 1] : in_[i];
    }
    out_.clear();
    before_ = 0;
    brackets_.clear();
    size_t i = 0;
    while (i < n) {
      const char32_t c = in_[i];
      size_t end = i + 1;
      if (IsDot(c)) {
        while (end < n && IsDot(in_[end])) ++end;
        if (end - i >= 3) {
          const bool chinese =
              std::find(in_.begin() + i, in_.begin() + end, kFullStop) != in_.begin() + end;
          EmitRun(i, end, settings_.ellipsis && (chinese || EllipsisFits(after_[end])));
          i = end;
          continue;
        }
      } else if (c == kEllipsis) {
        while (end < n && in_[end] == c) ++end;
        EmitRun(i, end, settings_.ellipsis && end - i == 1 && EllipsisFits(after_[end]));
        i = end;
        continue;
      } else if (c == '-' || c == kEmDash) {
        while (end < n && in_[end] == c) ++end;
        const bool lone_or_pair = c == '-' ? end - i >= 2 : end - i == 1;
        EmitRun(i, end, settings_.dash && lone_or_pair && DashFits(after_[end]));
        i = end;
        continue;
      }
      Emit(settings_.full_width_punctuation ? FullWidthMark(i) : c);
      ++i;
    }
  }

  bool Chinese(char32_t c) const {
    return IsIdeograph(c) || (has_ideograph_ && IsChinesePunctuation(c));
  }
  bool EllipsisFits(char32_t after) const {
    return Chinese(before_) || IsIdeograph(after) ||
           (!IsAsciiAlphanumeric(before_) && !IsAsciiAlphanumeric(after));
  }
  bool DashFits(char32_t after) const { return Chinese(before_) || IsIdeograph(after); }

  // in_[i] as it is to be laid out, a half-width mark made full-width where it belongs.
  char32_t FullWidthMark(size_t i) const {
    const char32_t c = in_[i];
    const char32_t next = i + 1 < in_.size() ? in_[i + 1] : 0;
    const bool fits = Chinese(before_) && !IsAsciiAlphanumeric(next);
    switch (c) {
      case ',':
        return fits ? U'\uFF0C' : c;
      case '.':
        return fits ? kFullStop : c;
      case '?':
        return fits ? U'\uFF1F' : c;
      case '!':
        return fits ? U'\uFF01' : c;
      case ':':
        return fits ? U'\uFF1A' : c;
      case ';':
        return fits ? U'\uFF1B' : c;
      case '(':
        return fits || IsIdeograph(after_[i + 1]) ? kOpeningBracket : c;
      case ')':
        if (!brackets_.empty()) return brackets_.back() ? kClosingBracket : c;
        return fits ? kClosingBracket : c;
      default:
        return c;
    }
  }

  // in_[begin, end) as "……" or "——" (by its first character) when `convert`, else unchanged.
  void EmitRun(size_t begin, size_t end, bool convert) {
    if (!convert) {
      for (size_t i = begin; i < end; ++i) Emit(in_[i]);
      return;
    }
    const char32_t mark = IsDot(in_[begin]) || in_[begin] == kEllipsis ? kEllipsis : kEmDash;
    Emit(mark);
    Emit(mark);
  }

  void Emit(char32_t c) {
    out_.push_back(c);
    if (c == '(' || c == kOpeningBracket) {
      brackets_.push_back(c == kOpeningBracket);
    } else if ((c == ')' || c == kClosingBracket) && !brackets_.empty()) {
      brackets_.pop_back();
    }
    if (!IsBlank(c) && !IsSingleQuote(c)) before_ = c;
  }

  const TypesettingSettings& settings_;
  bool has_ideograph_ = false;
  std::vector<char32_t> in_;
  std::vector<char32_t> out_;
  std::vector<char32_t> after_;
  std::vector<size_t> positions_;
  char32_t before_ = 0;         // see the contract's "before"; 0 at the paragraph's start
  std::vector<bool> brackets_;  // the open brackets, innermost last: true for "（"
};

}  // namespace

std::u16string Typeset(std::u16string_view text, const TypesettingSettings& settings) {
  std::u16string out;
  out.reserve(text.size() + text.size() / 8);
  ParagraphTypesetter paragraphs(settings);
  const std::u16string_view between =
      settings.blank_lines == BlankLines::kOneBetweenParagraphs ? u"\n\n" : u"\n";
  ForEachLine(text, [&](std::u16string_view line) {
    line = TrimBlanks(line);
    if (line.empty()) return;
    if (!out.empty()) out += between;
    paragraphs.Typeset(line, out);
  });
  return out;
}

}  // namespace publishing
