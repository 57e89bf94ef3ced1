#include "publishing/typesetting.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "publishing/character_classes.h"

namespace publishing {
namespace {

// The two U+3000 of an indented paragraph.
#define IN u"\u3000\u3000"

struct Case {
  std::u16string_view text;
  std::u16string_view expected;
};

TypesettingSettings Defaults() { return {}; }

// Checks the expectation, then that the result comes back unchanged.
void ExpectLaidOut(const std::vector<Case>& cases, const TypesettingSettings& settings) {
  for (const Case& c : cases) {
    const std::u16string once = Typeset(c.text, settings);
    EXPECT_EQ(once, c.expected) << testing::PrintToString(c.text);
    EXPECT_EQ(Typeset(once, settings), once) << "twice";
  }
}

TEST(Typesetting, HalfWidthMarksInChineseSentencesBecomeFullWidth) {
  ExpectLaidOut(
      {
          {u"他说,走吧.", IN u"他说，走吧。"},
          {u"你好?我很好!真的;时间:三点", IN u"你好？我很好！真的；时间：三点"},
          {u"好!?", IN u"好！？"},
          {u"好.,", IN u"好。，"},  // a mark just made full-width makes the next one Chinese
          {u"他 , 走", IN u"他 ， 走"},
          {u"“OK”,他说.", IN u"“OK”，他说。"},
          {u"(注:这是注释)", IN u"（注：这是注释）"},
          {u"好(注 abc)", IN u"好（注 abc）"},  // ")" follows the bracket it closes
          {u"他(Tom)来了", IN u"他(Tom)来了"},
          {u"好(1)", IN u"好(1)"},
          {u"好)", IN u"好）"},
      },
      Defaults());
}

TEST(Typesetting, LettersAndDigitsKeepTheirMarks) {
  ExpectLaidOut(
      {
          {u"他有3.5元.", IN u"他有3.5元。"},
          {u"圆周率是3.14", IN u"圆周率是3.14"},
          {u"网址是www.a.com", IN u"网址是www.a.com"},
          {u"Mr. Smith来了.", IN u"Mr. Smith来了。"},
          {u"他说I'm fine.", IN u"他说I'm fine."},
          {u"网址:http://a.com", IN u"网址:http://a.com"},
          {u"三点:30", IN u"三点:30"},
          {u"He said \"don't\", and paid 3.50 dollars... Wait--no!",
           IN u"He said \"don't\", and paid 3.50 dollars... Wait--no!"},
          {u"“yes”, she said.", IN u"“yes”, she said."},  // no ideograph: not Chinese
          {u"A-1型", IN u"A-1型"},
      },
      Defaults());
}

TEST(Typesetting, QuotesAlternateOnlyWhenTheyPair) {
  ExpectLaidOut(
      {
          {u"他说:\"走吧.\"", IN u"他说：“走吧。”"},
          {u"\"走\"\"停\"", IN u"“走”“停”"},
          {u"他说:\"走吧.", IN u"他说：\"走吧。"},  // odd: left alone
          {u"他说:'走吧.'", IN u"他说：‘走吧。’"},
          {u"'走'和'停'", IN u"‘走’和‘停’"},
          {u"他说:'I don't know.'", IN u"他说：'I don't know.'"},  // one touches: odd
          {u"他读了'Tom's book'", IN u"他读了'Tom's book'"},
      },
      Defaults());
}

TEST(Typesetting, EllipsesAndDashes) {
  ExpectLaidOut(
      {
          {u"他走了...", IN u"他走了……"},
          {u"他走了..........", IN u"他走了……"},
          {u"他走了。。。。。。", IN u"他走了……"},
          {u"他走了…", IN u"他走了……"},
          {u"他走了……", IN u"他走了……"},
          {u"他走了…………", IN u"他走了…………"},
          {u"等等......好", IN u"等等……好"},
          {u"...", IN u"……"},
          {u"…", IN u"……"},
          {u"...好", IN u"……好"},
          {u"Wait...", IN u"Wait..."},
          {u"好..", IN u"好。。"},  // two dots are two full stops
          {u"a...好", IN u"a……好"},
          {u"他--走了", IN u"他——走了"},
          {u"他----走了", IN u"他——走了"},
          {u"他—走了", IN u"他——走了"},
          {u"--好", IN u"——好"},
          {u"他——走", IN u"他——走"},
          {u"他———走", IN u"他———走"},
          {u"--help", IN u"--help"},
          {u"a--b", IN u"a--b"},
          {u"--", IN u"--"},
          {u"a—b", IN u"a—b"},
      },
      Defaults());
}

TEST(Typesetting, ParagraphsAreTrimmedAndIndented) {
  ExpectLaidOut(
      {
          {u"    第一段", IN u"第一段"},
          {u"\t第一段\t", IN u"第一段"},
          {u"\u3000\u3000第一段", IN u"第一段"},
          {u"\u3000第一段\u3000", IN u"第一段"},
          {u"\u00A0\u2003\u202F\u205F\uFEFF第一段", IN u"第一段"},
          {u"他 说", IN u"他 说"},
          {u"第一段\r\n第二段\r\n", IN u"第一段\n" IN u"第二段"},
          {u"第一段\r第二段\u2029第三段\u2028第四段",
           IN u"第一段\n" IN u"第二段\n" IN u"第三段\n" IN u"第四段"},
          {u"\n\n  第一段  \n\t\n\u3000\n第二段\n\n", IN u"第一段\n" IN u"第二段"},
          {u"", u""},
          {u" \t\u3000\r\n\n ", u""},
          {u"\u200B", IN u"\u200B"},  // not a blank
      },
      Defaults());
}

TEST(Typesetting, BlankLinesBetweenParagraphs) {
  TypesettingSettings one;
  one.blank_lines = BlankLines::kOneBetweenParagraphs;
  ExpectLaidOut(
      {
          {u"第一段\n第二段", IN u"第一段\n\n" IN u"第二段"},
          {u"第一段\n\n第二段", IN u"第一段\n\n" IN u"第二段"},
          {u"\n\n第一段\n \n\u3000\n\r\n第二段\n\n\n第三段\n\n",
           IN u"第一段\n\n" IN u"第二段\n\n" IN u"第三段"},
          {u"第一段", IN u"第一段"},
          {u"\n\n", u""},
      },
      one);
}

TEST(Typesetting, ALaidOutTextComesBackUnchanged) {
  const std::u16string_view laid_out =
      IN u"“你来了？”他问道。\n" IN u"她笑了笑，没有说话……\n" IN u"窗外——雨还在下。\n" IN
          u"（注：这是第3.5章。）\n" IN u"He said \"don't\" in English, 3.14.";
  EXPECT_EQ(Typeset(laid_out, Defaults()), laid_out);
  const std::u16string_view spaced = IN u"第一段。\n\n" IN u"第二段。";
  TypesettingSettings one;
  one.blank_lines = BlankLines::kOneBetweenParagraphs;
  EXPECT_EQ(Typeset(spaced, one), spaced);
}

TEST(Typesetting, EachSettingOff) {
  const std::u16string_view text = u"  他说,\"走吧...\"--好\n\n他走了…再见—";
  TypesettingSettings settings;
  settings.indent = false;
  ExpectLaidOut({{text, u"他说，“走吧……”——好\n他走了……再见——"}}, settings);
  settings = {};
  settings.full_width_punctuation = false;
  ExpectLaidOut({{text, IN u"他说,\"走吧……\"——好\n" IN u"他走了……再见——"}}, settings);
  settings = {};
  settings.ellipsis = false;
  ExpectLaidOut({{text, IN u"他说，“走吧...”——好\n" IN u"他走了…再见——"},
                 {u"他走了。。。", IN u"他走了。。。"}},
                settings);
  settings = {};
  settings.dash = false;
  ExpectLaidOut({{text, IN u"他说，“走吧……”--好\n" IN u"他走了……再见—"}}, settings);
  const TypesettingSettings none{false, BlankLines::kRemove, false, false, false};
  ExpectLaidOut({{text, u"他说,\"走吧...\"--好\n他走了…再见—"}}, none);
}

// What the layout must never touch: letters, digits and ideographs, in order.
std::u16string Words(std::u16string_view text) {
  std::u16string words;
  for (size_t i = 0, units = 0; i < text.size(); i += units) {
    const char32_t c = CodePointAt(text, i, &units);
    if (IsAsciiAlphanumeric(c) || IsIdeograph(c)) AppendCodePoint(words, c);
  }
  return words;
}

TEST(Typesetting, RandomTextsKeepTheirWordsAndComeBackUnchanged) {
  // Few characters, mostly the ones the rules look at, so that every rule meets every other.
  const std::u16string alphabet =
      u"好他a1 \u3000\t\n\r.,?!:;()\"'-—…。“”‘’，（）《》\U00020000\xD800";
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::u16string text;
    const size_t length = random() % 40;
    for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    const unsigned bits = random();
    const TypesettingSettings settings{
        (bits & 1) != 0, (bits & 2) != 0 ? BlankLines::kOneBetweenParagraphs : BlankLines::kRemove,
        (bits & 4) != 0, (bits & 8) != 0, (bits & 16) != 0};
    const std::u16string once = Typeset(text, settings);
    ASSERT_EQ(Typeset(once, settings), once) << testing::PrintToString(text) << " " << bits;
    ASSERT_EQ(Words(once), Words(text)) << testing::PrintToString(text);
    ASSERT_TRUE(once.empty() || (once.back() != u'\n' && once.front() != u'\n'));
  }
}

TEST(Typesetting, LongChaptersTakeLinearTime) {
  std::u16string chapter;
  while (chapter.size() < 200000) chapter += u"  他说,\"走吧...\"她笑了--没有说话.\r\n\r\n";
  // Marks whose context lies far away: a long run of blanks between a mark and what follows.
  std::u16string far = u"好(" + std::u16string(100000, u' ') + u"(" + std::u16string(100000, u'…');
  const auto start = std::chrono::steady_clock::now();
  const std::u16string laid_out = Typeset(chapter, Defaults());
  Typeset(far, Defaults());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_LT(elapsed, std::chrono::seconds(1));  // a few milliseconds; quadratic would be minutes
  EXPECT_EQ(laid_out.substr(0, 17), IN u"他说，“走吧……”她笑了——没");
}

}  // namespace
}  // namespace publishing
