#include "publishing/publish_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "publishing/avoid_word_list.h"

namespace publishing {
namespace {

using Words = std::vector<std::u16string>;

PublishWarnings Check(std::u16string_view text, int64_t characters = 100,
                      PublishCheckSettings settings = {}) {
  return CheckForPublishing(text, characters, settings);
}

TEST(PublishCheck, TooShortOnlyBelowAPositiveMinimum) {
  struct {
    int64_t minimum, characters;
    bool too_short;
  } const cases[] = {{0, 10, false}, {-5, 0, false}, {2000, 1999, true}, {2000, 2000, false}};
  for (const auto& c : cases) {
    const PublishWarnings warnings = Check(u"", c.characters, {c.minimum, {}});
    EXPECT_EQ(warnings.too_short, c.too_short) << c.minimum << " " << c.characters;
    EXPECT_EQ(warnings.Any(), c.too_short);
  }
}

TEST(PublishCheck, RepeatedParagraphsInOrderOfFirstOccurrence) {
  const PublishWarnings warnings = Check(
      u"\u3000\u3000他推开门走了进去。\n……\n\u3000\u3000她一句话也没有说。\n……\n"
      u"他推开门走了进去。 \r\n\n\u3000\u3000他推开门走了进去。\n她一句话也没有说。\n"
      u"六个字的一段\n五个字一段\n五个字一段\n他推开门走了进去");
  ASSERT_EQ(warnings.repeated_paragraphs.size(), 2u);
  EXPECT_EQ(warnings.repeated_paragraphs[0].paragraph, u"他推开门走了进去。");
  EXPECT_EQ(warnings.repeated_paragraphs[0].times, 3);
  EXPECT_EQ(warnings.repeated_paragraphs[1].paragraph, u"她一句话也没有说。");
  EXPECT_EQ(warnings.repeated_paragraphs[1].times, 2);
  EXPECT_TRUE(warnings.Any());
}

TEST(PublishCheck, HalfWidthMarksTouchingChineseAreCountedOnce) {
  struct {
    std::u16string_view text;
    int32_t count;
  } const cases[] = {
      {u"他说,走吧.", 2}, {u"好.,好", 2}, {u",好", 1}, {u"有3.5元", 0}, {u"Hello, world.", 0},
      {u"好。，“好”", 0}, {u"好 ,", 0},   {u"𠀀?", 1}, {u"好(注)", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Check(c.text).half_width_punctuation, c.count) << testing::PrintToString(c.text);
  }
}

TEST(PublishCheck, AvoidWordsAreCountedWithoutOverlapsOfTheSameWord) {
  const PublishWarnings warnings =
      Check(u"哈哈哈，某词，哈哈哈哈", 100, {0, {u"词", u"哈哈", u"", u"某词", u"哈哈", u"无"}});
  ASSERT_EQ(warnings.avoid_words.size(), 3u);
  EXPECT_EQ(warnings.avoid_words[0].word, u"词");
  EXPECT_EQ(warnings.avoid_words[0].times, 1);
  EXPECT_EQ(warnings.avoid_words[1].word, u"哈哈");
  EXPECT_EQ(warnings.avoid_words[1].times, 3);
  EXPECT_EQ(warnings.avoid_words[2].word, u"某词");
  EXPECT_EQ(warnings.avoid_words[2].times, 1);
}

TEST(PublishCheck, WarningsAreDescribedOneALine) {
  PublishWarnings warnings;
  warnings.characters = 1234;
  warnings.too_short = true;
  warnings.repeated_paragraphs = {{u"一二三四五六七八九十一二三四五六七八九十", 3},
                                  {u"一二三四五六七八九十一二三四五六七八九十𠀀", 2}};
  warnings.half_width_punctuation = 5;
  warnings.avoid_words = {{u"某词", 2}, {u"另一词", 1}};
  EXPECT_EQ(DescribeWarnings(warnings, 2000),
            u"本章只有 1234 字，少于设定的 2000 字。\n"
            u"有 2 段文字重复出现：“一二三四五六七八九十一二三四五六七八九十”（3 次）、"
            u"“一二三四五六七八九十一二三四五六七八九十……”（2 次）。\n"
            u"还有 5 处半角标点。\n"
            u"含有避免使用的词：某词（2 次）、另一词（1 次）。");
  warnings = {};
  warnings.repeated_paragraphs = {
      {u"第一段文字啊", 2}, {u"第二段文字啊", 2}, {u"第三段文字啊", 2}, {u"第四段文字啊", 4}};
  EXPECT_EQ(DescribeWarnings(warnings, 0),
            u"有 4 段文字重复出现：“第一段文字啊”（2 次）、“第二段文字啊”（2 次）、"
            u"“第三段文字啊”（2 次）等。");
  warnings = Check(u"\u3000\u3000第一段。\n\u3000\u3000第二段。", 2000, {1000, {u"某词"}});
  EXPECT_FALSE(warnings.Any());
  EXPECT_EQ(DescribeWarnings(warnings, 1000), u"");
}

TEST(AvoidWords, OverlappingOccurrencesAreMerged) {
  struct {
    std::u16string_view text;
    Words words;
    std::vector<std::pair<size_t, size_t>> spans;
  } const cases[] = {
      {u"abcde", {u"abc", u"cd", u"e"}, {{0, 4}, {4, 1}}},  // touching spans stay apart
      {u"abcabc", {u"bc", u"abc"}, {{0, 3}, {3, 3}}},
      {u"aaaa", {u"aa"}, {{0, 4}}},
      {u"一个𠀀字", {u"𠀀", u"个"}, {{1, 1}, {2, 2}}},
      {u"abc", {u""}, {}},
      {u"", {u"a"}, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<size_t, size_t>> spans;
    for (const TextSpan& span : FindAvoidWords(c.text, c.words)) {
      spans.emplace_back(span.start, span.length);
    }
    EXPECT_EQ(spans, c.spans) << testing::PrintToString(c.text);
  }
}

// The spans and counts checked against a plain search, word by word, over random texts.
TEST(AvoidWords, AgreeWithAPlainSearch) {
  std::mt19937 random(7);
  const auto random_text = [&](size_t length) {
    std::u16string text;
    while (text.size() < length) text += u"ab哈词"[random() % 4];
    return text;
  };
  for (int round = 0; round < 500; ++round) {
    const std::u16string text = random_text(random() % 30);
    Words words;
    for (size_t n = random() % 6; n > 0; --n) words.push_back(random_text(1 + random() % 3));
    std::vector<bool> covered(text.size()), spanned(text.size());
    std::vector<PublishWarnings::AvoidWord> counts;
    for (const std::u16string& word : words) {
      for (size_t at = text.find(word); at != text.npos; at = text.find(word, at + 1)) {
        std::fill_n(covered.begin() + at, word.size(), true);
      }
      int32_t times = 0;
      for (size_t at = text.find(word); at != text.npos; at = text.find(word, at + word.size())) {
        ++times;
      }
      const auto same = [&](const auto& listed) { return listed.word == word; };
      if (times > 0 && std::none_of(counts.begin(), counts.end(), same)) {
        counts.push_back({word, times});
      }
    }
    size_t last_end = 0;
    for (const TextSpan& span : FindAvoidWords(text, words)) {
      ASSERT_TRUE(span.start >= last_end && span.length > 0);
      last_end = span.start + span.length;
      std::fill_n(spanned.begin() + span.start, span.length, true);
    }
    EXPECT_EQ(spanned, covered);
    const auto found = Check(text, 0, {0, words}).avoid_words;
    ASSERT_EQ(found.size(), counts.size());
    for (size_t i = 0; i < counts.size(); ++i) {
      EXPECT_EQ(found[i].word, counts[i].word);
      EXPECT_EQ(found[i].times, counts[i].times);
    }
  }
}

TEST(AvoidWords, ALongChapterWithHundredsOfWords) {
  // Ideographs in pairs, so that most of the chapter is the start of some word.
  const auto pair_from = [](int n) {
    return std::u16string{static_cast<char16_t>(0x4E00 + n), static_cast<char16_t>(0x4E01 + n)};
  };
  Words words;
  for (int n = 0; n < 300; ++n) words.push_back(pair_from(n) + u"的");
  std::u16string chapter;
  for (int n = 0; chapter.size() < 200000; ++n) chapter += pair_from(n % 400) + u"了";
  chapter += u"\u4E05\u4E06的";
  const auto start = std::chrono::steady_clock::now();
  const std::vector<TextSpan> spans = FindAvoidWords(chapter, words);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  ASSERT_EQ(spans.size(), 1u);
  EXPECT_EQ(spans[0].start, chapter.size() - 3);
}

// Files of the same list in each encoding the reader takes.
TEST(AvoidWordList, ReadsEveryEncodingTheSame) {
  const std::u16string text = u"敏感词\r\n# 注释\n  另一词\u3000\n\n敏感词\rabc\n";
  std::string utf16le = "\xFF\xFE", utf16be = "\xFE\xFF";
  for (char16_t c : text) {
    utf16le += {static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    utf16be += {static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
  }
  const std::string utf8 = "敏感词\r\n# 注释\n  另一词\u3000\n\n敏感词\rabc\n";
  const std::string gbk =
      "\xC3\xF4\xB8\xD0\xB4\xCA\r\n# \xD7\xA2\xCA\xCD\n  \xC1\xED\xD2\xBB\xB4\xCA\xA1\xA1\n\n"
      "\xC3\xF4\xB8\xD0\xB4\xCA\rabc\n";
  const Words expected = {u"敏感词", u"另一词", u"abc"};
  for (const std::string& file : {utf8, "\xEF\xBB\xBF" + utf8, gbk, utf16le, utf16be + "\x01"}) {
    EXPECT_EQ(ReadAvoidWordList(file), expected) << testing::PrintToString(file);
  }
  EXPECT_EQ(ReadAvoidWordList(""), Words{});
  EXPECT_EQ(ReadAvoidWordList("\xEF\xBB\xBF"), Words{});
  // A UTF-8 file with a damaged byte stays UTF-8 when it says so.
  EXPECT_EQ(ReadAvoidWordList("\xEF\xBB\xBF\xE6\x95\n\xE8\xAF\x8D"), (Words{u"\uFFFD", u"词"}));
  EXPECT_EQ(ReadAvoidWordList("\xF0\xA0\x80\x80"), Words{u"𠀀"});  // outside the BMP
}

}  // namespace
}  // namespace publishing
