#include "novel_export/file_names.h"

#include <gtest/gtest.h>

#include <QSet>
#include <algorithm>

#include "novel_export/txt_export.h"

namespace novel_export {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

TEST(SafeFileStem, WhatWindowsOrLinuxRefusesIsReplacedOrDropped) {
  const struct {
    QString name;
    const char* stem;
  } cases[] = {
      {Q("第一章 风起"), "第一章 风起"},
      {Q("问?答:a/b\\c*d\"e<f>g|h"), "问？答：a／b＼c＊d＂e＜f＞g｜h"},
      {Q("a\tb\x01"
         "c\x7F"
         "d"),
       "a b c d"},
      {Q("  ..隐藏.. "), "隐藏"},
      {Q("　第二章　"), "第二章"},
      {Q("..."), ""},
      {QString(), ""},
      {Q("a") + QChar(0xD800) + Q("b"), "ab"},  // a lone surrogate
      {Q("😀"), "😀"},
      // Names Windows keeps for devices, with or without an extension, in any case.
      {Q("CON"), "CON_"},
      {Q("con.txt"), "con_.txt"},
      {Q("Lpt1"), "Lpt1_"},
      {Q("COM¹"), "COM¹_"},
      {Q("nul .tar"), "nul_ .tar"},
      {Q("AUX."), "AUX_"},
      {Q("CONSOLE"), "CONSOLE"},
      {Q("COM10"), "COM10"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SafeFileStem(c.name), Q(c.stem)) << c.name.toStdString();
  }
}

TEST(SafeFileStem, LongNamesAreCutByCharactersAndByBytesNeverInsideOne) {
  const struct {
    QString name;
    QString stem;
  } cases[] = {
      {QString(150, u'a'), QString(100, u'a')},
      {QString(150, u'字'), QString(66, u'字')},  // 3 bytes each: 66 fit in 200
      {Q("😀").repeated(60), Q("😀").repeated(50)},
      {QString(99, u'a') + Q(" b"), QString(99, u'a')},  // no blank left at the cut
  };
  for (const auto& c : cases) EXPECT_EQ(SafeFileStem(c.name), c.stem);
}

TEST(NumberedFileName, NumbersAreWideEnoughForTheCountAndKeepTheLimits) {
  const struct {
    size_t index;
    size_t count;
    QString name;
    const char* file;
  } cases[] = {
      {0, 3, Q("第一章"), "0001 第一章.txt"},
      {0, 10000, Q("x"), "00001 x.txt"},
      {9999, 10000, Q("x"), "10000 x.txt"},
      {6, 9, Q("???"), "0007 ？？？.txt"},
      {6, 9, Q("..."), "0007.txt"},
      {0, 1, Q("CON"), "0001 CON.txt"},  // not a device name after the number
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberedFileName(c.index, c.count, c.name, u".txt"), Q(c.file));
  }
  const QString long_name = NumberedFileName(0, 5, QString(300, u'字'), u".txt");
  const QString stem = long_name.chopped(4);
  EXPECT_LE(stem.size(), kMostStemCharacters);
  EXPECT_LE(stem.toUtf8().size(), kMostStemBytes);
  EXPECT_TRUE(long_name.endsWith(Q("字.txt")));
}

TEST(ChaptersAsTxtFiles, NamesSortInChapterOrderAndStayUniqueWhateverTheChaptersAreCalled) {
  // Twelve chapters, the same names over again, names differing only in case, device names.
  std::vector<ExportChapter> chapters;
  for (const char* name : {"a", "A", "a", "CON", "con", "", "...", "?", "？", "b", "a", "Z"}) {
    chapters.push_back({Q(name), Q("正文")});
  }
  const std::vector<NamedFile> files = ChaptersAsTxtFiles(chapters, {});
  QStringList names;
  QSet<QString> folded;
  for (const NamedFile& file : files) {
    names << file.name;
    folded.insert(file.name.toCaseFolded());
  }
  EXPECT_EQ(folded.size(), static_cast<qsizetype>(chapters.size()));
  QStringList sorted = names;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(sorted, names);
  EXPECT_EQ(names[7], Q("0008 ？.txt"));
  EXPECT_EQ(names[8], Q("0009 ？.txt"));
}

}  // namespace
}  // namespace novel_export
