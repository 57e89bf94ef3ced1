#include "find_replace/matcher.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/find_replace/printing.h"

namespace find_replace {
namespace {

constexpr FindOptions kPlain{};
constexpr FindOptions kNoCase{.case_sensitive = false};
constexpr FindOptions kWidth{.width_insensitive = true};
constexpr FindOptions kWidthNoCase{.width_insensitive = true, .case_sensitive = false};
constexpr FindOptions kPattern{.pattern = true};
constexpr FindOptions kPatternWidth{.pattern = true, .width_insensitive = true};
constexpr FindOptions kPatternNoCase{.pattern = true, .case_sensitive = false};

Matcher Made(const QString& what, const FindOptions& options) {
  QString error;
  std::optional<Matcher> matcher = Matcher::Make(what, options, &error);
  EXPECT_TRUE(matcher) << error.toStdString();
  return matcher ? *matcher : *Matcher::Make(QStringLiteral("\uFFFF"), {}, nullptr);
}

struct FindCase {
  const char* what;
  FindOptions options;
  const char16_t* text;
  std::vector<Hit> hits;
};

TEST(Matcher, FindsWhatEachOptionAllows) {
  const FindCase cases[] = {
      {"李云飞", kPlain, u"李云飞说，李云飞。", {{0, 3}, {5, 3}}},
      {"abc", kPlain, u"ABC abc", {{4, 3}}},
      {"abc", kNoCase, u"ABC abc", {{0, 3}, {4, 3}}},
      {"李云飞", kNoCase, u"李云飞", {{0, 3}}},
      {"Ｋ", kNoCase, u"ｋＫ", {{0, 1}, {1, 1}}},  // full-width letters have a case
      {"abc", kPlain, u"ａｂｃ", {}},
      {"abc123", kWidthNoCase, u"ＡＢＣ１２３", {{0, 6}}},
      {"abc", kWidth, u"ＡＢＣａｂｃ", {{3, 3}}},
      {"ＡＢ", kWidth, u"AB ＡＢ ａｂ", {{0, 2}, {3, 2}}},
      {"，", kWidth, u"a，b", {{1, 1}}},  // full-width punctuation is not folded
      {"aa", kPlain, u"aaaaa", {{0, 2}, {2, 2}}},
      {"😀", kPlain, u"a😀b😀", {{1, 2}, {4, 2}}},
      {"李[云雲]飞", kPattern, u"李云飞和李雲飞，李文飞", {{0, 3}, {4, 3}}},
      {"(?<=李)云", kPattern, u"李云王云李云", {{1, 1}, {5, 1}}},
      {"a.b", kPattern, u"a\nb a b", {{4, 3}}},
      {"\\p{Han}+", kPattern, u"ab李云飞cd", {{2, 3}}},
      {"\\w+", kPattern, u"李云飞 说", {{0, 3}, {4, 1}}},
      {"ABC", kPatternNoCase, u"abc", {{0, 3}}},
      {"[ａ-ｃ]+", kPatternWidth, u"ａｂｚabc", {{0, 2}, {3, 3}}},
      {"\\ｄ", kPatternWidth, u"d1", {{0, 1}}},  // the escaped letter, not \d
      {"\\\\ｄ", kPatternWidth, u"\\d", {{0, 2}}},
      {".", kPattern, u"😀", {{0, 2}}},
      {"b",
       kPattern,
       u"\xD800"
       u"b\xDC00",
       {{1, 1}}},
      // An expression that could match empty finds only what is not.
      {"a*", kPattern, u"baaab", {{1, 3}}},
      {"x*?", kPattern, u"xx", {{0, 1}, {1, 1}}},
      {"|x", kPattern, u"axb", {{1, 1}}},
      {"^", kPattern, u"abc", {}},
      {"\\b", kPattern, u"ab cd", {}},
      {"(?:)", kPattern, u"", {}},
      {"a", kPlain, u"", {}},
  };
  for (const FindCase& c : cases) {
    EXPECT_EQ(Made(QString::fromUtf8(c.what), c.options).FindAll(QStringView(c.text)), c.hits)
        << c.what << " in " << QString::fromUtf16(c.text).toStdString();
  }
}

// Plain search is one path and expressions another: both, and a reference search over texts
// folded by hand, must find the same.
TEST(Matcher, PlainAndEscapedExpressionFindTheSame) {
  const std::u16string alphabet = u"aAａＡbＢ李\n";
  std::mt19937 random(7);
  const auto random_text = [&](size_t length) {
    QString text;
    for (size_t i = 0; i < length; ++i) text += QChar(alphabet[random() % alphabet.size()]);
    return text;
  };
  const auto folded = [](QString text, const FindOptions& options) {
    for (QChar& c : text) {
      if (options.width_insensitive && c.unicode() >= 0xFF21) c = QChar(c.unicode() - 0xFEE0);
    }
    return options.case_sensitive ? text : text.toCaseFolded();
  };
  for (int round = 0; round < 300; ++round) {
    const QString text = random_text(random() % 40);
    const QString what = random_text(1 + random() % 3);
    for (const FindOptions& options : {kPlain, kNoCase, kWidth, kWidthNoCase}) {
      std::vector<Hit> expected;
      const QString searched = folded(text, options), needle = folded(what, options);
      for (qsizetype at = searched.indexOf(needle); at >= 0;
           at = searched.indexOf(needle, at + needle.size())) {
        expected.push_back({at, needle.size()});
      }
      FindOptions as_pattern = options;
      as_pattern.pattern = true;
      EXPECT_EQ(Made(what, options).FindAll(text), expected) << what.toStdString();
      EXPECT_EQ(Made(QRegularExpression::escape(what), as_pattern).FindAll(text), expected)
          << what.toStdString();
    }
  }
}

// Expressions put together at random, valid or not, over texts with surrogate pairs and lone
// surrogates: a refused one says why, and every hit lies in the text, is not empty and starts
// after the one before ends.
TEST(Matcher, RandomExpressionsGiveOrderlyHits) {
  const char* const pieces[] = {"a",     "b",      "*",  "?", "+",   "|",  "(",
                                ")",     "[ab]",   "^",  "$", "\\b", ".",  "{2}",
                                "(?=a)", "(?<=b)", "李", "😀", "\\",  "*?", "ａ"};
  const std::u16string alphabet = u"abａ李\n\xD83D\xDE00\xDE00";
  std::mt19937 random(11);
  for (int round = 0; round < 2000; ++round) {
    QString what;
    for (int n = 1 + static_cast<int>(random() % 6); n > 0; --n) {
      what += QString::fromUtf8(pieces[random() % std::size(pieces)]);
    }
    QString text;
    for (int n = static_cast<int>(random() % 30); n > 0; --n) {
      text += QChar(alphabet[random() % alphabet.size()]);
    }
    const FindOptions options{.pattern = true,
                              .width_insensitive = random() % 2 == 0,
                              .case_sensitive = random() % 2 == 0};
    QString error;
    const std::optional<Matcher> matcher = Matcher::Make(what, options, &error);
    if (!matcher) {
      EXPECT_TRUE(error.startsWith(QStringLiteral("表达式有误："))) << what.toStdString();
      continue;
    }
    qsizetype end = 0;
    for (const Hit& hit : matcher->FindAll(text)) {
      EXPECT_GE(hit.start, end) << what.toStdString();
      EXPECT_GT(hit.length, 0) << what.toStdString();
      end = hit.start + hit.length;
      EXPECT_LE(end, text.size()) << what.toStdString();
    }
  }
}

TEST(Matcher, RefusesWhatCannotBeSearchedWithAReason) {
  const struct {
    const char* what;
    FindOptions options;
    const char* error_start;
    const char* error_end;
  } cases[] = {
      {"", kPlain, "查找内容是空的", "查找内容是空的"},
      {"", kPattern, "查找内容是空的", "查找内容是空的"},
      {"(", kPattern, "表达式有误：", "（第 1 个字符）"},
      {"ab)", kPattern, "表达式有误：", "（第 3 个字符）"},
      {"a**", kPattern, "表达式有误：", "（第 3 个字符）"},
      {"李云[", kPattern, "表达式有误：", "（第 3 个字符）"},
      {"😀)", kPattern, "表达式有误：", "（第 2 个字符）"},
      // The dropped backslash does not shift the position told.
      {"\\ａ\\ｂ)", kPatternWidth, "表达式有误：", "（第 5 个字符）"},
  };
  for (const auto& c : cases) {
    QString error;
    EXPECT_FALSE(Matcher::Make(QString::fromUtf8(c.what), c.options, &error)) << c.what;
    EXPECT_TRUE(error.startsWith(QString::fromUtf8(c.error_start))) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QString::fromUtf8(c.error_end))) << error.toStdString();
    if (c.options.pattern && error.startsWith(u'表')) {
      EXPECT_GT(error.size(), 16) << c.what;  // the engine's own words are told too
    }
  }
  EXPECT_FALSE(Matcher::Make(QString(), kPlain, nullptr));
}

TEST(Matcher, ReplacementTakesTheGroupsOfTheMatch) {
  const struct {
    const char* what;
    FindOptions options;
    const char16_t* text;
    const char* with;
    const char16_t* expected;
  } cases[] = {
      {"李(.)飞", kPattern, u"李云飞", "王$1飞", u"王云飞"},
      {"(a)(b)", kPattern, u"ab", "$2$1$0", u"baab"},
      {"(a)(b)", kPattern, u"ab", "$12", u"a2"},  // no group 12: group 1, then "2"
      {"a", kPattern, u"a", "$100 $1 $", u"$100 $1 $"},
      {"a", kPattern, u"a", "$$1 $${0}", u"$1 ${0}"},
      {"(?<姓>李)(?<名>云飞)", kPattern, u"李云飞", "${名}${姓}", u"云飞李"},
      {"(?<x>a)", kPattern, u"a", "${y}${1}${x}${", u"${y}aa${"},
      {"(a)|(b)", kPattern, u"b", "[$1|$2]", u"[|b]"},
      {"(a)(\\d)", kPatternWidth, u"ａ１", "$2$1", u"１ａ"},  // the text as it stands
      {"(.)", kPlain, u"(.)", "$1", u"$1"},
  };
  for (const auto& c : cases) {
    const Matcher matcher = Made(QString::fromUtf8(c.what), c.options);
    const QStringView text(c.text);
    const std::vector<Hit> hits = matcher.FindAll(text);
    ASSERT_EQ(hits.size(), 1u) << c.what;
    EXPECT_EQ(matcher.ReplacementFor(text, hits[0], QString::fromUtf8(c.with)),
              QString::fromUtf16(c.expected))
        << c.what << " with " << c.with;
  }
}

TEST(Matcher, ReplacementForAHitThatNoLongerMatchesKeepsItsText) {
  const Matcher matcher = Made(QStringLiteral("李(.)飞"), kPattern);
  EXPECT_EQ(matcher.ReplacementFor(u"王小明", {0, 3}, QStringLiteral("<$0|$1>")),
            QStringLiteral("<王小明|>"));
  EXPECT_EQ(matcher.ReplacementFor(u"李云飞", {2, 5}, QStringLiteral("<$0|$1>")),
            QStringLiteral("<|>"));
}

}  // namespace
}  // namespace find_replace
