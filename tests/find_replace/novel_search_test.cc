#include "find_replace/novel_search.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/find_replace/printing.h"

namespace find_replace {
namespace {

Matcher Made(const QString& what, const FindOptions& options = {}) {
  return *Matcher::Make(what, options, nullptr);
}

std::vector<ChapterText> Chapters() {
  return {
      {11, QStringLiteral("第一章 李云飞"), QStringLiteral("李云飞推门进来。\n张三看着李云飞。")},
      {12, QStringLiteral("第二章 夜"), QStringLiteral("夜里没有人。")},
      {13, QStringLiteral("第三章 李云飞与李雲飞"), QStringLiteral("他叫李雲飞。")},
  };
}

// chapter, in the name, start: one hit per row.
struct Where {
  size_t chapter;
  bool in_name;
  qsizetype start;
  friend bool operator==(const Where&, const Where&) = default;
};

std::vector<Where> Places(const NovelSearch& search) {
  std::vector<Where> places;
  for (const NovelHit& hit : search.hits)
    places.push_back({hit.chapter, hit.in_name, hit.hit.start});
  return places;
}

TEST(SearchNovel, ListsTheChaptersInOrderNamesFirstOnlyWhenAsked) {
  const std::vector<ChapterText> chapters = Chapters();
  const Matcher plain = Made(QStringLiteral("李云飞"));
  const Matcher either = Made(QStringLiteral("李[云雲]飞"), {.pattern = true});
  const struct {
    const Matcher* matcher;
    bool names;
    std::vector<Where> places;
  } cases[] = {
      {&plain, false, {{0, false, 0}, {0, false, 13}}},
      {&plain, true, {{0, true, 4}, {0, false, 0}, {0, false, 13}, {2, true, 4}}},
      {&either, false, {{0, false, 0}, {0, false, 13}, {2, false, 2}}},
      {&either,
       true,
       {{0, true, 4}, {0, false, 0}, {0, false, 13}, {2, true, 4}, {2, true, 8}, {2, false, 2}}},
  };
  for (const auto& c : cases) {
    const NovelSearch search = SearchNovel(chapters, *c.matcher, c.names);
    EXPECT_EQ(Places(search), c.places);
    EXPECT_FALSE(search.cut_short);
    for (const NovelHit& hit : search.hits) EXPECT_TRUE(hit.found.startsWith(u'李'));
  }
  EXPECT_TRUE(SearchNovel({}, plain, true).hits.empty());
}

TEST(SearchNovel, ContextStopsAtALineBreakAndAfterSixteenUnits) {
  const QString long_side(20, u'长');
  const struct {
    QString text;
    const char* before;
    const char* after;
  } cases[] = {
      {QStringLiteral("第一行\n他说：李云飞来了。\n下一行"), "他说：", "来了。"},
      {QStringLiteral("李云飞"), "", ""},
      {QStringLiteral("上\r\n李云飞\r\n下"), "", ""},
      {long_side + QStringLiteral("李云飞") + long_side, "长长长长长长长长长长长长长长长长",
       "长长长长长长长长长长长长长长长长"},
      // Sixteen units would end inside the emoji on either side: it is left out whole.
      {QStringLiteral("😀") + QString(15, u'字') + QStringLiteral("李云飞") + QString(15, u'字') +
           QStringLiteral("😀"),
       "字字字字字字字字字字字字字字字", "字字字字字字字字字字字字字字字"},
  };
  const Matcher matcher = Made(QStringLiteral("李云飞"));
  for (const auto& c : cases) {
    const std::vector<ChapterText> chapters{{1, QString(), c.text}};
    const NovelSearch search = SearchNovel(chapters, matcher, false);
    ASSERT_EQ(search.hits.size(), 1u);
    EXPECT_EQ(search.hits[0].before, QString::fromUtf8(c.before));
    EXPECT_EQ(search.hits[0].found, QStringLiteral("李云飞"));
    EXPECT_EQ(search.hits[0].after, QString::fromUtf8(c.after));
  }
}

TEST(SearchNovel, StopsAtMaxHitsAndSaysSo) {
  const std::vector<ChapterText> chapters = Chapters();
  const Matcher matcher = Made(QStringLiteral("李云飞"));  // 4 hits with the names
  const struct {
    size_t max_hits;
    size_t listed;
    bool cut_short;
  } cases[] = {{0, 0, true}, {1, 1, true}, {3, 3, true}, {4, 4, false}, {SIZE_MAX, 4, false}};
  for (const auto& c : cases) {
    const NovelSearch search = SearchNovel(chapters, matcher, true, c.max_hits);
    EXPECT_EQ(search.hits.size(), c.listed) << c.max_hits;
    EXPECT_EQ(search.cut_short, c.cut_short) << c.max_hits;
  }
}

TEST(SearchNovel, WidthInsensitiveHitsShowTheTextAsItStands) {
  const std::vector<ChapterText> chapters{
      {1, QString(), QStringLiteral("ａｂｃ １２")},
      {2, QString(), QStringLiteral("abc")},
  };
  const NovelSearch search = SearchNovel(
      chapters, Made(QStringLiteral("ABC"), {.width_insensitive = true, .case_sensitive = false}),
      false);
  ASSERT_EQ(search.hits.size(), 2u);
  EXPECT_EQ(search.hits[0].found, QStringLiteral("ａｂｃ"));
  EXPECT_EQ(search.hits[0].after, QStringLiteral(" １２"));
  EXPECT_EQ(search.hits[1].found, QStringLiteral("abc"));
}

}  // namespace
}  // namespace find_replace
