#include "find_replace/replace_hits.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/find_replace/printing.h"

namespace find_replace {
namespace {

Matcher Made(const QString& what, const FindOptions& options = {}) {
  return *Matcher::Make(what, options, nullptr);
}

// ReplaceHits with its promise about new_hits checked: each stands where its hit's replacement
// was put, in order.
QString Replaced(QStringView text, const Matcher& matcher, std::vector<Hit> chosen,
                 const QString& with, std::vector<Hit>* new_hits) {
  const QString result = ReplaceHits(text, matcher, chosen, with, new_hits);
  for (size_t i = 0; i < new_hits->size(); ++i) {
    const Hit hit = (*new_hits)[i];
    EXPECT_TRUE(i == 0 || hit.start >= (*new_hits)[i - 1].start + (*new_hits)[i - 1].length);
    EXPECT_LE(hit.start + hit.length, result.size());
    if (!matcher.options().pattern) {
      EXPECT_EQ(QStringView(result).sliced(hit.start, hit.length), with);
    }
  }
  return result;
}

TEST(ReplaceHits, ReplacesTheChosenHitsAndTellsWhereTheyNowStand) {
  const QString text = QStringLiteral("李云飞，李云飞，李云飞");
  const Matcher matcher = Made(QStringLiteral("李云飞"));
  const std::vector<Hit> all = matcher.FindAll(text);
  const Hit gone{-1, 0};  // marks a case's new_hits as empty
  const struct {
    std::vector<Hit> chosen;
    const char* with;
    const char* expected;
    std::vector<Hit> new_hits;
  } cases[] = {
      {all, "王小明明", "王小明明，王小明明，王小明明", {{0, 4}, {5, 4}, {10, 4}}},
      {{all[0], all[2]}, "王小明明", "王小明明，李云飞，王小明明", {{0, 4}, {9, 4}}},
      {{all[1]}, "", "李云飞，，李云飞", {{4, 0}}},
      {{}, "王", "李云飞，李云飞，李云飞", {}},
      // Hits outside the text, empty, overlapping the one before or out of order: passed over.
      {{{-1, 2}, {0, 3}, {2, 3}, {1, 1}, {4, 0}, {8, 4}, {11, 1}, {20, 1}},
       "王",
       "王，李云飞，李云飞",
       {{0, 1}}},
      {{{8, 3}, {0, 3}}, "王", "李云飞，李云飞，王", {{8, 1}}},
  };
  for (const auto& c : cases) {
    std::vector<Hit> new_hits{gone};
    EXPECT_EQ(Replaced(text, matcher, c.chosen, QString::fromUtf8(c.with), &new_hits),
              QString::fromUtf8(c.expected));
    EXPECT_EQ(new_hits, c.new_hits) << c.expected;
  }
}

TEST(ReplaceHits, AnExpressionsGroupsComeFromEachHit) {
  // Width-insensitive: the groups hold the text as it stands, not as it was searched.
  const QString text = QStringLiteral("第1章 第１２章 第3章");
  const Matcher matcher =
      Made(QStringLiteral("第(\\d+)章"), {.pattern = true, .width_insensitive = true});
  const std::vector<Hit> hits = matcher.FindAll(text);
  ASSERT_EQ(hits.size(), 3u);
  std::vector<Hit> new_hits;
  EXPECT_EQ(Replaced(text, matcher, {hits[1], hits[2]}, QStringLiteral("[$1]"), &new_hits),
            QStringLiteral("第1章 [１２] [3]"));
  EXPECT_EQ(new_hits, (std::vector<Hit>{{4, 4}, {9, 3}}));
}

TEST(ReplaceHits, ATextThatWouldGrowPastTheBoundStaysAsItWas) {
  const QString text(200, u'a');
  const QString with(100, u'b');
  const Matcher plain = Made(QStringLiteral("a"));
  const Matcher pattern = Made(QStringLiteral("(a)"), {.pattern = true});
  const struct {
    const Matcher* matcher;
    QString with;
    qsizetype max_length;
    bool replaced;
  } cases[] = {
      {&plain, with, 20000, true},
      {&plain, with, 19999, false},
      {&pattern, with + "$1", 20200, true},
      {&pattern, with + "$1", 20199, false},  // known only once the last hit is replaced
      {&plain, QString(), 10, true},          // shrinking a text already over the bound
  };
  for (const auto& c : cases) {
    std::vector<Hit> new_hits{{0, 1}};
    const QString result =
        ReplaceHits(text, *c.matcher, c.matcher->FindAll(text), c.with, &new_hits, c.max_length);
    EXPECT_EQ(result == text, !c.replaced) << c.max_length;
    EXPECT_EQ(new_hits.size(), c.replaced ? 200u : 0u) << c.max_length;
  }
}

}  // namespace
}  // namespace find_replace
