#include "novel_import/headings.h"

#include <algorithm>
#include <utility>

namespace novel_import {
namespace {

constexpr qsizetype kLongestNumber = 12;

bool OneOf(QChar c, std::u16string_view set) { return set.find(c.unicode()) != set.npos; }

bool IsBlank(QChar c) { return c.isSpace(); }

bool IsNumeral(QChar c) {
  return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９') ||
         OneOf(c, u"零〇一二两兩三四五六七八九十百千万萬亿億壹贰貳叁參肆伍陆陸柒捌玖拾佰仟");
}

bool IsDigit(QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'０' && c <= u'９'); }

bool IsSeparator(QChar c) {
  return IsBlank(c) ||
         OneOf(c, u"：:、.．·・-—–_,，【】〖〗[]［］〔〕()（）《》〈〉<>「」『』“”‘’\"'");
}

// A line ending with one of these is a sentence or a clause of the text.
bool EndsText(QChar c) { return OneOf(c, u"。，、；：….,;:"); }

bool EndsQuestionOrExclamation(QChar c) { return OneOf(c, u"！？!?"); }

QStringView SkipBlanks(QStringView text) {
  while (!text.isEmpty() && IsBlank(text.front())) text = text.mid(1);
  return text;
}

// The rest of `text` after a number at its start (of `is_numeral` characters, at most
// kLongestNumber), or nullopt when it does not start with one.
template <typename IsNumeral>
std::optional<QStringView> AfterNumber(QStringView text, IsNumeral is_numeral) {
  qsizetype length = 0;
  while (length < text.size() && is_numeral(text[length])) ++length;
  if (length == 0 || length > kLongestNumber) return std::nullopt;
  return text.mid(length);
}

// What follows a heading form at the start of `text`, and whether a title may be written on to
// the form without a separator; nullopt when `text` starts with no form.
struct AfterForm {
  QStringView rest;
  bool title_may_follow;
};

std::optional<AfterForm> MatchForm(QStringView text) {
  if (text.startsWith(u'第')) {
    std::optional<QStringView> rest = AfterNumber(SkipBlanks(text.mid(1)), IsNumeral);
    if (!rest) return std::nullopt;
    const QStringView unit = SkipBlanks(*rest);
    if (unit.isEmpty() || !OneOf(unit.front(), u"章节節回卷部")) return std::nullopt;
    return AfterForm{unit.mid(1), true};
  }
  if (text.startsWith(u'卷')) {
    std::optional<QStringView> rest = AfterNumber(SkipBlanks(text.mid(1)), IsNumeral);
    if (!rest) return std::nullopt;
    return AfterForm{*rest, true};
  }
  if (text.startsWith(u"chapter", Qt::CaseInsensitive)) {
    std::optional<QStringView> rest = AfterNumber(SkipBlanks(text.mid(7)), IsDigit);
    if (!rest) return std::nullopt;
    return AfterForm{*rest, false};
  }
  if (text.startsWith(u"番外")) return AfterForm{QStringView(), true};
  // Longer words first: "序章" before "序".
  for (const char16_t* word :
       {u"完本感言", u"完结感言", u"上架感言", u"序章", u"序言", u"序幕", u"楔子", u"引子", u"引言",
        u"前言", u"尾声", u"终章", u"后记", u"序"}) {
    if (text.startsWith(QStringView(word))) {
      return AfterForm{text.mid(QStringView(word).size()), false};
    }
  }
  return std::nullopt;
}

}  // namespace

QStringView TrimmedLine(QStringView line) {
  qsizetype start = 0, end = line.size();
  while (start < end && IsBlank(line[start])) ++start;
  while (end > start && IsBlank(line[end - 1])) --end;
  return line.mid(start, end - start);
}

bool IsBuiltInHeading(QStringView trimmed) {
  if (trimmed.isEmpty() || trimmed.size() > kLongestHeading) return false;
  if (EndsText(trimmed.back())) return false;
  QStringView text = trimmed;
  if (OneOf(text.front(), u"【〖[［〔")) text = SkipBlanks(text.mid(1));
  if (text.startsWith(u"正文")) {
    const QStringView after = SkipBlanks(text.mid(2));
    if (after.size() < text.size() - 2) text = after;
  }
  const std::optional<AfterForm> form = MatchForm(text);
  if (!form) return false;
  if (form->rest.isEmpty() || IsSeparator(form->rest.front())) return true;
  return form->title_may_follow && !EndsQuestionOrExclamation(trimmed.back());
}

std::optional<HeadingRules> HeadingRules::Make(const QString& own_pattern, QString* error) {
  if (own_pattern.isEmpty()) return HeadingRules();
  const QRegularExpression typed(own_pattern, QRegularExpression::UseUnicodePropertiesOption);
  if (!typed.isValid()) {
    if (error != nullptr) {
      // Characters as the author counts them: a surrogate pair is one.
      const qsizetype offset = std::clamp<qsizetype>(
          typed.patternErrorOffset(), 0, std::max<qsizetype>(own_pattern.size() - 1, 0));
      const qsizetype characters = std::count_if(own_pattern.begin(), own_pattern.begin() + offset,
                                                 [](QChar c) { return !c.isLowSurrogate(); });
      *error = QStringLiteral("标题格式有误：%1（第 %2 个字符）")
                   .arg(typed.errorString())
                   .arg(characters + 1);
    }
    return std::nullopt;
  }
  QRegularExpression anchored(QRegularExpression::anchoredPattern(own_pattern),
                              QRegularExpression::UseUnicodePropertiesOption);
  anchored.optimize();
  return HeadingRules(std::move(anchored));
}

bool HeadingRules::IsHeading(QStringView line) const {
  const QStringView trimmed = TrimmedLine(line);
  if (trimmed.isEmpty()) return false;
  if (IsBuiltInHeading(trimmed)) return true;
  return has_own_ && own_.match(trimmed).hasMatch();
}

}  // namespace novel_import
