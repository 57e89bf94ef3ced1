#include "find_replace/matcher.h"

#include <algorithm>
#include <utility>

#include "find_replace/searched_text.h"

namespace find_replace {

namespace {

// Set at the start of every expression: the engine itself then looks on from an empty match for
// the first one that is not, in one pass, instead of being restarted at each position of a
// text that an expression like "a*" matches empty everywhere.
constexpr QStringView kNotEmpty = u"(*NOTEMPTY)";

// The subject is never checked for valid UTF-16: Searched repairs lone surrogates.
constexpr QRegularExpression::MatchOptions kMatchOptions =
    QRegularExpression::DontCheckSubjectStringMatchOption;

// `pattern` with its full-width letters and digits folded. A backslash escaping one goes with
// it: "\ｄ" is the letter ｄ, while "\d" would be a digit. `dropped` gets the offsets in the
// result at which a backslash was taken out, to point an error back into the typed pattern.
QString FoldPattern(QStringView pattern, std::vector<qsizetype>* dropped) {
  QString folded;
  folded.reserve(pattern.size());
  qsizetype backslashes = 0;  // how many run up to the current unit
  for (const QChar c : pattern) {
    const char16_t unit = c.unicode();
    if (IsFullWidthAlnum(unit) && backslashes % 2 == 1) {
      folded.chop(1);
      dropped->push_back(folded.size());
    }
    folded.append(QChar(FoldWidth(unit)));
    backslashes = unit == u'\\' ? backslashes + 1 : 0;
  }
  return folded;
}

QString PatternError(const QRegularExpression& expression, QStringView typed,
                     const std::vector<qsizetype>& dropped) {
  qsizetype offset = std::max<qsizetype>(0, expression.patternErrorOffset() - kNotEmpty.size());
  offset += std::count_if(dropped.begin(), dropped.end(),
                          [offset](qsizetype at) { return at <= offset; });
  offset = std::min(offset, typed.size());
  // Characters, as the author counts them: a surrogate pair is one.
  qsizetype characters = 0;
  for (qsizetype i = 0; i < offset; ++i) {
    if (!typed[i].isLowSurrogate()) ++characters;
  }
  if (offset == typed.size() && characters > 0) --characters;
  return QStringLiteral("表达式有误：%1 （第 %2 个字符）")
      .arg(expression.errorString())
      .arg(characters + 1);
}

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Whether `unit` is outside every case pair and nothing folds to it either: ASCII digits and
// punctuation, and the CJK blocks from the radicals through Yi, Lisu and Vai, and the Hangul
// syllables. A conservative list: other caseless characters are merely compared the slow way.
bool IsCaseless(char16_t unit) {
  return unit < u'A' || (unit > u'Z' && unit < u'a') || (unit > u'z' && unit < 0x80) ||
         (unit >= 0x2E80 && unit < 0xA640) || (unit >= 0xAC00 && unit <= 0xD7A3);
}

// Up to this length a case-sensitive plain text is looked for by its first unit.
constexpr qsizetype kShortNeedle = 8;

// Where `needle` (2 to kShortNeedle units) next occurs in `text` at or after `from`, or -1. Qt
// looks for a text of several units with a rolling hash, one unit at a time, while its search
// for one unit is vectorised: here that one finds each place where the first unit stands and the
// rest is compared there. A name's first character stands in a few hundredths of a chapter;
// at worst, every unit, the cost is the needle's length per unit, hence the bound on it.
qsizetype IndexOfShort(QStringView text, qsizetype from, QStringView needle) {
  const QChar first = needle.front();
  const QStringView rest = needle.sliced(1);
  const qsizetype last_start = text.size() - needle.size();
  while (from <= last_start) {
    const qsizetype at = text.indexOf(first, from);
    if (at < 0 || at > last_start) return -1;
    if (text.sliced(at + 1, rest.size()) == rest) return at;
    from = at + 1;
  }
  return -1;
}

}  // namespace

Matcher::Matcher(const FindOptions& options, QString needle, QRegularExpression expression)
    : options_(options), needle_(std::move(needle)), expression_(std::move(expression)) {
  if (options_.pattern) group_names_ = expression_.namedCaptureGroups();
  const bool caseless = std::all_of(needle_.cbegin(), needle_.cend(),
                                    [](QChar c) { return IsCaseless(c.unicode()); });
  needle_case_ = options_.case_sensitive || caseless ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

std::optional<Matcher> Matcher::Make(const QString& what, const FindOptions& options,
                                     QString* error) {
  const auto fail = [error](const QString& reason) -> std::optional<Matcher> {
    if (error) *error = reason;
    return std::nullopt;
  };
  if (what.isEmpty()) return fail(QStringLiteral("查找内容是空的"));
  if (!options.pattern) {
    return Matcher(options, options.width_insensitive ? FoldWidth(what) : what, {});
  }
  std::vector<qsizetype> dropped;
  const QString pattern = options.width_insensitive ? FoldPattern(what, &dropped) : what;
  QRegularExpression::PatternOptions pattern_options =
      QRegularExpression::UseUnicodePropertiesOption;
  if (!options.case_sensitive) pattern_options |= QRegularExpression::CaseInsensitiveOption;
  QRegularExpression expression(kNotEmpty.toString() + pattern, pattern_options);
  if (!expression.isValid()) return fail(PatternError(expression, what, dropped));
  // Compiled now, once, rather than at the first chapter searched; copies share the code.
  expression.optimize();
  return Matcher(options, QString(), std::move(expression));
}

QStringView Matcher::Searched(QStringView text, SearchedText* buffer) const {
  if (!options_.pattern && !options_.width_insensitive) return text;
  return buffer->Prepare(text, options_.width_insensitive, options_.pattern);
}

void Matcher::FindIn(QStringView searched, size_t limit, std::vector<Hit>* hits) const {
  size_t found = 0;
  qsizetype from = 0;
  if (!options_.pattern) {
    const qsizetype length = needle_.size();
    const bool short_needle =
        needle_case_ == Qt::CaseSensitive && length >= 2 && length <= kShortNeedle;
    for (; found < limit; ++found) {
      const qsizetype at = short_needle ? IndexOfShort(searched, from, needle_)
                                        : searched.indexOf(needle_, from, needle_case_);
      if (at < 0) break;
      hits->push_back({at, length});
      from = at + length;
    }
    return;
  }
  while (found < limit && from < searched.size()) {
    const QRegularExpressionMatch match =
        expression_.match(searched, from, QRegularExpression::NormalMatch, kMatchOptions);
    if (!match.hasMatch()) break;
    const qsizetype start = match.capturedStart(0);
    const qsizetype end = match.capturedEnd(0);
    if (end <= start) break;  // (*NOTEMPTY) rules this out; never loop on it
    hits->push_back({start, end - start});
    ++found;
    from = end;
  }
}

std::vector<Hit> Matcher::FindAll(QStringView text) const {
  SearchedText buffer;
  std::vector<Hit> hits;
  FindIn(Searched(text, &buffer), SIZE_MAX, &hits);
  return hits;
}

QString Matcher::ReplacementFor(QStringView text, Hit hit, const QString& with) const {
  if (!options_.pattern || !with.contains(u'$')) return with;
  SearchedText buffer;
  return ReplacementIn(text, Searched(text, &buffer), hit, with);
}

QString Matcher::ReplacementIn(QStringView text, QStringView searched, Hit hit,
                               const QString& with) const {
  if (!options_.pattern || !with.contains(u'$')) return with;
  const bool in_text = hit.start >= 0 && hit.length > 0 && hit.start <= text.size() &&
                       hit.length <= text.size() - hit.start && searched.size() == text.size();
  QRegularExpressionMatch match;
  if (in_text) {
    match = expression_.match(searched, hit.start, QRegularExpression::NormalMatch,
                              kMatchOptions | QRegularExpression::AnchorAtOffsetMatchOption);
  }
  const bool same = match.hasMatch() && match.capturedLength(0) == hit.length;
  const int groups = expression_.captureCount();
  const auto group_text = [&](int group) -> QStringView {
    if (group == 0) return in_text ? text.sliced(hit.start, hit.length) : QStringView();
    if (!same) return {};
    const qsizetype start = match.capturedStart(group);
    return start < 0 ? QStringView() : text.sliced(start, match.capturedLength(group));
  };

  QString result;
  result.reserve(with.size());
  const qsizetype size = with.size();
  for (qsizetype i = 0; i < size;) {
    // The text up to the next "$" goes in whole: a long `with` is copied, not walked.
    const qsizetype dollar = with.indexOf(u'$', i);
    if (dollar != i) {
      const qsizetype end = dollar < 0 ? size : dollar;
      result.append(QStringView(with).sliced(i, end - i));
      i = end;
      continue;
    }
    if (i + 1 == size) {
      result.append(u'$');
      break;
    }
    const QChar next = with[i + 1];
    if (next == u'$') {
      result.append(u'$');
      i += 2;
      continue;
    }
    if (IsDigit(next)) {
      const int one = next.unicode() - u'0';
      if (i + 2 < size && IsDigit(with[i + 2])) {
        const int two = one * 10 + (with[i + 2].unicode() - u'0');
        if (two <= groups) {
          result.append(group_text(two));
          i += 3;
          continue;
        }
      }
      if (one <= groups) {
        result.append(group_text(one));
        i += 2;
        continue;
      }
    } else if (next == u'{') {
      const qsizetype close = with.indexOf(u'}', i + 2);
      if (close > i + 2) {
        const QStringView name = QStringView(with).sliced(i + 2, close - i - 2);
        int group = -1;
        if (std::all_of(name.begin(), name.end(), IsDigit)) {
          // More digits than any group number could have are not a number of this expression.
          if (name.size() <= 3 && name.toInt() <= groups) group = name.toInt();
        } else {
          group = static_cast<int>(group_names_.indexOf(name.toString()));
        }
        if (group >= 0) {
          result.append(group_text(group));
          i = close + 1;
          continue;
        }
      }
    }
    result.append(u'$');  // names no group: stays as typed
    ++i;
  }
  return result;
}

}  // namespace find_replace
