#include "novel_import/chapter_split.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "novel_import/text_counts.h"
#include "tests/novel_import/novel_files.h"

namespace novel_import {

void PrintTo(const ImportedChapter& chapter, std::ostream* out) {
  *out << '{' << chapter.name.toStdString() << ", \"" << chapter.text.toStdString() << "\", "
       << chapter.first_line << ", " << chapter.text_line << ", " << chapter.heading_in_file << '}';
}

namespace {

QString Q(const char16_t* text) { return QString::fromUtf16(text); }

// A novel with a preface, blank lines around and inside its chapters (one of blanks only), a
// heading-like phrase inside the text and a heading with nothing after it.
const char16_t kFile[] =
    u"小说简介：一个少年的故事。\n"              // 1
    u"\n"                                        // 2
    u"第一章 风起\n"                             // 3
    u"\n"                                        // 4
    u"\u3000\u3000李云飞推开门。\n"              // 5
    u"\n"                                        // 6
    u"\u3000\u3000他读到第三章的时候睡着了。\n"  // 7
    u"  \n"                                      // 8
    u"第二章 夜雨\n"                             // 9
    u"\u3000\u3000雨还在下。\n"                  // 10
    u"【第三章】\n"                              // 11
    u"\n";                                       // 12

std::vector<ImportedChapter> Split(const char16_t* text) {
  return SplitIntoChapters(QStringView(text), HeadingRules(), Q(u"我的小说"));
}

// Every chapter's heading and text lines are the file's lines where the chapter says they are
// (a blank line the merge put back is empty), and the chapters follow each other.
void ExpectLinesOfFile(const std::vector<ImportedChapter>& chapters, const char16_t* file) {
  const QStringList lines = Q(file).split(u'\n');
  const auto line = [&](int64_t number) { return lines.value(static_cast<qsizetype>(number - 1)); };
  int64_t after = 1;
  for (const ImportedChapter& chapter : chapters) {
    EXPECT_GE(chapter.first_line, after) << chapter.name.toStdString();
    if (chapter.heading_in_file) {
      EXPECT_EQ(TrimmedLine(line(chapter.first_line)), chapter.name);
      after = chapter.first_line + 1;
    } else if (!chapter.text.isEmpty()) {
      EXPECT_EQ(chapter.first_line, chapter.text_line);
    }
    if (chapter.text.isEmpty()) {
      EXPECT_EQ(chapter.text_line, 0);
      continue;
    }
    EXPECT_GE(chapter.text_line, after) << chapter.name.toStdString();
    const QStringList text = chapter.text.split(u'\n');
    for (qsizetype k = 0; k < text.size(); ++k) {
      const QString in_file = line(chapter.text_line + k);
      // A heading merged into the text comes back trimmed, as a blank line comes back empty.
      EXPECT_TRUE(text[k] == in_file || text[k] == TrimmedLine(in_file))
          << chapter.name.toStdString() << " line " << k + 1;
    }
    after = chapter.text_line + text.size();
  }
}

TEST(SplitIntoChapters, CutsAtHeadingsWithThePrefaceFirst) {
  const std::vector<ImportedChapter> chapters = Split(kFile);
  const std::vector<ImportedChapter> expected = {
      {Q(u"前言"), Q(u"小说简介：一个少年的故事。"), 1, 1, false},
      {Q(u"第一章 风起"),
       Q(u"\u3000\u3000李云飞推开门。\n\n\u3000\u3000他读到第三章的时候睡着了。"), 3, 5, true},
      {Q(u"第二章 夜雨"), Q(u"\u3000\u3000雨还在下。"), 9, 10, true},
      {Q(u"【第三章】"), QString(), 11, 0, true},
  };
  EXPECT_EQ(chapters, expected);
  ExpectLinesOfFile(chapters, kFile);
}

TEST(SplitIntoChapters, NamesWhatHasNoHeadingAndDropsWhatIsBlank) {
  const struct {
    const char* what;
    const char16_t* text;
    std::vector<ImportedChapter> chapters;
  } cases[] = {
      {"no headings: one chapter named by the caller",
       u"\n\n\u3000\u3000第二天，他醒了。\n\u3000\u3000第一次见面，就在第三章里。\n\n",
       {{Q(u"我的小说"), Q(u"\u3000\u3000第二天，他醒了。\n\u3000\u3000第一次见面，就在第三章里。"),
         3, 3, false}}},
      {"nothing but blanks", u"\n \u3000\n\t\n", {}},
      {"nothing", u"", {}},
      {"a blank preface is no chapter",
       u"\u3000\n\n第一章\n正文",
       {{Q(u"第一章"), Q(u"正文"), 3, 4}}},
      {"a heading alone", u"序章", {{Q(u"序章"), QString(), 1, 0}}},
      {"two headings in a row",
       u"第一卷 风云\n第一章 风起\n正文\n",
       {{Q(u"第一卷 风云"), QString(), 1, 0}, {Q(u"第一章 风起"), Q(u"正文"), 2, 3}}},
      {"blanks inside lines kept",
       u"第一章\n  a  \n\n\tb\u3000",
       {{Q(u"第一章"), Q(u"  a  \n\n\tb\u3000"), 1, 2}}},
  };
  for (const auto& c : cases) {
    const std::vector<ImportedChapter> chapters = Split(c.text);
    EXPECT_EQ(chapters, c.chapters) << c.what;
    ExpectLinesOfFile(chapters, c.text);
  }
}

TEST(SplitIntoChapters, CutsAtTheAuthorsOwnHeadingsToo) {
  const char16_t text[] =
      u"Episode 1\nIt began.\nEpisode 2 is where it ends.\nEpisode 2\n序章\nThe end.";
  const std::optional<HeadingRules> rules = HeadingRules::Make(Q(u"^Episode \\d+$"), nullptr);
  ASSERT_TRUE(rules);
  const std::vector<ImportedChapter> chapters = SplitIntoChapters(text, *rules, Q(u"x"));
  const std::vector<ImportedChapter> expected = {
      {Q(u"Episode 1"), Q(u"It began.\nEpisode 2 is where it ends."), 1, 2},
      {Q(u"Episode 2"), QString(), 4, 0},
      {Q(u"序章"), Q(u"The end."), 5, 6},
  };
  EXPECT_EQ(chapters, expected);
}

TEST(MergeWithNext, PutsTheHeadingAndTheBlankLinesBack) {
  std::vector<ImportedChapter> chapters = Split(kFile);
  ASSERT_TRUE(MergeWithNext(&chapters, 1));
  ASSERT_EQ(chapters.size(), 3u);
  EXPECT_EQ(chapters[1].name, Q(u"第一章 风起"));
  EXPECT_EQ(chapters[1].text,
            Q(u"\u3000\u3000李云飞推开门。\n\n\u3000\u3000他读到第三章的时候睡着了。"
              u"\n\n第二章 夜雨\n\u3000\u3000雨还在下。"));
  ExpectLinesOfFile(chapters, kFile);

  // Everything merged into the preface is the file, without its blank lines at the end.
  while (MergeWithNext(&chapters, 0)) {
  }
  ASSERT_EQ(chapters.size(), 1u);
  EXPECT_EQ(chapters[0].name, Q(u"前言"));
  EXPECT_EQ(chapters[0].text, Q(kFile).replace(Q(u"\n  \n"), Q(u"\n\n")).chopped(2));
  ExpectLinesOfFile(chapters, kFile);

  EXPECT_FALSE(MergeWithNext(&chapters, 0));
  EXPECT_FALSE(MergeWithNext(&chapters, 5));
}

TEST(SplitAt, TakesTheLineAsHeadingOrStartsTheTextThereUnderTheGivenName) {
  std::vector<ImportedChapter> chapters = Split(kFile);
  ASSERT_TRUE(SplitAt(&chapters, 1, 3, QString()));
  EXPECT_EQ(chapters[1],
            (ImportedChapter{Q(u"第一章 风起"), Q(u"\u3000\u3000李云飞推开门。"), 3, 5}));
  EXPECT_EQ(chapters[2], (ImportedChapter{Q(u"他读到第三章的时候睡着了。"), QString(), 7, 0}));
  ExpectLinesOfFile(chapters, kFile);

  chapters = Split(kFile);
  ASSERT_TRUE(
      SplitAt(&chapters, 1, 2, Q(u"新的一章")));  // at the blank line: the text starts after
  EXPECT_EQ(
      chapters[2],
      (ImportedChapter{Q(u"新的一章"), Q(u"\u3000\u3000他读到第三章的时候睡着了。"), 7, 7, false}));
  ExpectLinesOfFile(chapters, kFile);

  chapters = Split(kFile);
  ASSERT_TRUE(SplitAt(&chapters, 1, 1, QString()));  // the chapter keeps its name, no text
  EXPECT_EQ(chapters[1], (ImportedChapter{Q(u"第一章 风起"), QString(), 3, 0}));
  ExpectLinesOfFile(chapters, kFile);
}

TEST(SplitAt, RefusesWhatItCannotCutAndChangesNothing) {
  const std::vector<ImportedChapter> before = Split(kFile);
  const struct {
    const char* what;
    size_t index;
    int64_t line;
    const char16_t* name;
  } cases[] = {
      {"no such chapter", 4, 1, u""},
      {"line 0", 1, 0, u""},
      {"past the last line", 1, 4, u""},
      {"a chapter without text", 3, 1, u"新"},
      {"a blank line without a name", 1, 2, u""},
  };
  for (const auto& c : cases) {
    std::vector<ImportedChapter> chapters = before;
    EXPECT_FALSE(SplitAt(&chapters, c.index, c.line, Q(c.name))) << c.what;
    EXPECT_EQ(chapters, before) << c.what;
  }
}

// Merging takes back any split: the file's own lines come back together in either case, a
// line taken as the heading trimmed.
TEST(SplitAt, IsUndoneByMergingAtEveryLine) {
  const std::vector<ImportedChapter> before = Split(kFile);
  for (size_t index = 0; index < before.size(); ++index) {
    for (int64_t line = 1; line <= LineCount(before[index].text); ++line) {
      for (const QString& name : {QString(), Q(u"新的一章")}) {
        std::vector<ImportedChapter> chapters = before;
        if (!SplitAt(&chapters, index, line, name)) continue;
        ExpectLinesOfFile(chapters, kFile);
        ASSERT_TRUE(MergeWithNext(&chapters, index));
        std::vector<ImportedChapter> expected = before;
        if (name.isEmpty()) {
          QStringList lines = expected[index].text.split(u'\n');
          lines[line - 1] = TrimmedLine(lines[line - 1]).toString();
          expected[index].text = lines.join(u'\n');
        }
        EXPECT_EQ(chapters, expected) << "chapter " << index << " line " << line;
      }
    }
  }
}

TEST(TextCounts, CountCharactersAndThoseOutsideGbk) {
  const struct {
    const char16_t* text;
    int64_t characters;
    int64_t outside_gbk;
  } cases[] = {
      {u"\u3000\u3000你好，world！\n \t", 9, 0},
      {u"镕〇·—ㄅ€", 6, 0},    // in GBK: a late ideograph, punctuation, bopomofo, the euro
      {u"😀\U00020000", 2, 2},  // beyond U+FFFF: one character each
      {u"㐀鿿", 2, 2},       // extension A and past U+9FA5
      {u"䶮", 1, 0},           // two bytes in GB18030 (GBK had it as a private-use code)
      {u"\uFFFD", 1, 1},
      {u"a\xD800", 2, 1},  // a lone surrogate
      {u"", 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CharacterCount(c.text), c.characters) << Q(c.text).toStdString();
    EXPECT_EQ(OutsideGbk(c.text), c.outside_gbk) << Q(c.text).toStdString();
  }
}

}  // namespace
}  // namespace novel_import
