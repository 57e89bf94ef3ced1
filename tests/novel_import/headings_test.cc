#include "novel_import/headings.h"

#include <gtest/gtest.h>

#include "tests/novel_import/novel_files.h"

namespace novel_import {
namespace {

QString Q(const char16_t* text) { return QString::fromUtf16(text); }

TEST(BuiltInHeadings, TakeEachHeadingForm) {
  const char16_t* headings[] = {
      u"第一章 风起",
      u"第一章风起",  // the title written on without a separator
      u"第 12 章",
      u"第１２章 全角数字",
      u"第 一 章",
      u"第一千二百三十四章",
      u"第一百零八章 两个人",
      u"第〇章",
      u"第壹佰贰拾章 大写",
      u"\u3000\u3000第三章\u3000夜雨\u3000\u3000",
      u"\t第三章 夜雨 ",
      u"【第三章】",
      u"【第三章】夜雨",
      u"第三章：夜雨",
      u"第三章 “意外”",
      u"第3节",
      u"第十回 桃园结义",
      u"第一卷 风起",
      u"第一部 觉醒",
      u"卷一 风起",
      u"卷一",
      u"卷 3 江湖",
      u"序章",
      u"序言",
      u"序",
      u"序：写在前面",
      u"楔子",
      u"番外一 旧事",
      u"番外篇：小师妹",
      u"尾声",
      u"终章 归来",
      u"完本感言",
      u"Chapter 5",
      u"CHAPTER 12: The End",
      u"正文 第一章 开始",
      u"第八十章 打脸！",  // an exclamation after a separator is a title's
      u"第一百章 怎么回事？",
  };
  for (const char16_t* line : headings) {
    EXPECT_TRUE(HeadingRules().IsHeading(Q(line))) << QString::fromUtf16(line).toStdString();
  }
}

TEST(BuiltInHeadings, LeaveTheTextAlone) {
  const char16_t* lines[] = {
      u"他读到第三章的时候睡着了。",
      u"第三章的时候他睡着了。",
      u"第三章你看了吗？",  // a question: a glued title may not end with one
      u"第三回合他赢了！",
      u"第一章 风起。",
      u"第一章 就这样……",
      u"第一章：",
      u"Chapter 5 was the best.",
      u"第二天，他醒了。",
      u"第一次见面",
      u"第章",
      u"第一",
      u"第一二三四五六七八九十一二三章",  // a number of 13
      u"第 章 风起",
      u"卷起袖子干活",
      u"前言不搭后语",
      u"序幕拉开了",
      u"Chapter five",
      u"Chapter 5th",
      u"正文",
      u"正文第一章",
      u"\u3000\u3000李云飞推开门。",
      u"",
      u"\u3000 \t",
  };
  for (const char16_t* line : lines) {
    EXPECT_FALSE(HeadingRules().IsHeading(Q(line))) << QString::fromUtf16(line).toStdString();
  }
}

TEST(BuiltInHeadings, AreAtMostFortyCharactersLong) {
  const QString title(kLongestHeading - 4, u'风');
  EXPECT_TRUE(HeadingRules().IsHeading(Q(u"第一章 ") + title));
  EXPECT_TRUE(HeadingRules().IsHeading(Q(u"\u3000\u3000第一章 ") + title + Q(u"  ")));
  EXPECT_FALSE(HeadingRules().IsHeading(Q(u"第一章 ") + title + Q(u"风")));
}

TEST(OwnPattern, AddsToTheBuiltInRulesAndMatchesWholeLines) {
  QString error;
  const std::optional<HeadingRules> rules = HeadingRules::Make(Q(u"^Episode \\d+$"), &error);
  ASSERT_TRUE(rules) << error.toStdString();
  EXPECT_TRUE(rules->IsHeading(Q(u"Episode 12")));
  EXPECT_TRUE(rules->IsHeading(Q(u"\u3000Episode 12  ")));  // matched against the trimmed line
  EXPECT_FALSE(rules->IsHeading(Q(u"Episode 12 went well")));
  EXPECT_FALSE(rules->IsHeading(Q(u"see Episode 12")));
  EXPECT_TRUE(rules->IsHeading(Q(u"第一章 风起")));
  EXPECT_FALSE(HeadingRules().IsHeading(Q(u"Episode 12")));

  // Without anchors written, the whole line still has to match; and the author's pattern is not
  // held to the built-in length and ending.
  const std::optional<HeadingRules> unanchored = HeadingRules::Make(Q(u"§.*。"), &error);
  ASSERT_TRUE(unanchored) << error.toStdString();
  EXPECT_TRUE(unanchored->IsHeading(
      Q(u"§ 这是作者自己定下的标题格式，哪怕它比平常的标题长得多，而且以句号结尾也算。")));
  EXPECT_FALSE(unanchored->IsHeading(Q(u"前面有字§ 标题。")));
}

TEST(OwnPattern, EmptyGivesTheBuiltInRulesAndABadOneSaysWhere) {
  QString error;
  const std::optional<HeadingRules> empty = HeadingRules::Make(QString(), &error);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->IsHeading(Q(u"第一章")));
  EXPECT_TRUE(error.isEmpty());

  const struct {
    const char16_t* pattern;
    const char16_t* where;
  } bad[] = {
      {u"第(章", u"（第 3 个字符）"}, {u"😀[", u"（第 2 个字符）"}, {u"a**", u"（第 3 个字符）"}};
  for (const auto& c : bad) {
    error.clear();
    EXPECT_FALSE(HeadingRules::Make(Q(c.pattern), &error));
    EXPECT_TRUE(error.startsWith(Q(u"标题格式有误："))) << error.toStdString();
    EXPECT_TRUE(error.endsWith(Q(c.where))) << error.toStdString();
  }
}

}  // namespace
}  // namespace novel_import
