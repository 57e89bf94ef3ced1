#include "novel_export/epub_export.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <vector>

#include "novel_export/epub_documents.h"
#include "novel_export/volume_heading.h"
#include "novel_export/zip_writer.h"
#include "tests/novel_export/zip_listing.h"
#include "tests/support/test_application.h"

namespace novel_export {
namespace {

using novel_export_tests::ListZip;
using novel_export_tests::RunEpubCheck;
using novel_export_tests::RunTool;
using novel_export_tests::ToolRun;
using novel_export_tests::ZipEntry;

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

TEST(IsVolumeHeading, NumberedVolumesStartOneChaptersAndOtherWordsDoNot) {
  const struct {
    const char* name;
    bool volume;
  } cases[] = {
      {"第一卷 风起", true},
      {"第一卷", true},
      {"第12卷：少年", true},
      {"第１２卷", true},
      {"第一百零三卷 归来", true},
      {"  第三卷　天下", true},
      {"第二卷风起云涌", true},
      {"卷三 天下", true},
      {"卷3", true},
      {"第壹卷 开端", true},
      // A chapter named with its volume is a chapter of it.
      {"第一卷 第三章 夜雨", false},
      {"第二卷第5节", false},
      {"第一卷 少年 第一回", false},
      {"卷首语", false},
      {"画卷", false},
      {"第一章 卷土重来", false},
      {"上卷", false},
      {"第卷", false},
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsVolumeHeading(Q(c.name)), c.volume) << c.name;
}

TEST(XmlSafe, DropsWhatXmlCannotHoldAndKeepsEverythingElse) {
  const struct {
    QString text;
    QString safe;
  } cases[] = {
      {Q("<&\"😀\t"), Q("<&\"😀\t")},  // escaping is the writer's, not this
      {Q("a\x01"
         "b\x1F"
         "c\x7F"
         "d"),
       Q("abcd")},
      {Q("a") + QChar(0xD83D) + Q("b"), Q("ab")},  // a high surrogate alone
      {QChar(0xDE00) + Q("b"), Q("b")},            // a low one alone
      {Q("a") + QChar(0xFFFE) + QChar(0xFFFF) + QChar(0x85), Q("a")},
  };
  for (const auto& c : cases) EXPECT_EQ(XmlSafe(c.text), c.safe) << c.text.toStdString();
}

// The contents as one line: labels joined by "|", a volume's chapters in [] after it. Read from
// the <li> (or <navPoint>) elements of the first table of contents in `xml`.
QString Outline(const QByteArray& xml, const QString& item, const QString& label,
                QStringList* targets = nullptr, QStringList* orders = nullptr) {
  QXmlStreamReader reader(xml);
  // Each open item's text so far, and whether it has children listed yet.
  std::vector<QString> open;
  std::vector<QStringList> levels(1);
  bool in_label = false;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) {
      if (reader.name() == item) {
        levels.emplace_back();
        open.emplace_back();
        if (orders) orders->append(reader.attributes().value("playOrder").toString());
      } else if (reader.name() == label && !open.empty()) {
        in_label = true;
        if (targets && reader.attributes().hasAttribute("href"))
          targets->append(reader.attributes().value("href").toString());
      } else if (reader.name() == QStringLiteral("content") && targets) {
        targets->append(reader.attributes().value("src").toString());
      }
    } else if (reader.isCharacters() && in_label) {
      open.back() += reader.text();
    } else if (reader.isEndElement()) {
      if (reader.name() == label) in_label = false;
      if (reader.name() == item) {
        QString entry = open.back();
        if (!levels.back().isEmpty()) entry += u'[' + levels.back().join(u'|') + u']';
        open.pop_back();
        levels.pop_back();
        levels.back().append(entry);
      }
      if (reader.name() == QStringLiteral("nav") || reader.name() == QStringLiteral("navMap"))
        break;
    }
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  return levels.front().join(u'|');
}

std::vector<ExportChapter> VolumedNovel() {
  std::vector<ExportChapter> chapters;
  for (const char* name : {"序章", "第一卷 风起", "第一章", "第二章", "第二卷", "第三卷 终",
                           "第一卷 第三章 夜雨", "尾声"}) {
    chapters.push_back({Q(name), Q("正文。")});
  }
  return chapters;
}

BookFacts Facts() {
  return {Q("山河"), Q("某人"), Q("zh-CN"), Q("urn:uuid:1"), Q("2024-06-11T00:00:00Z"), {}, {}};
}

TEST(NavDocument, AVolumesChaptersNestUnderItUpToTheNextVolume) {
  const std::vector<ExportChapter> chapters = VolumedNovel();
  const std::vector<ChapterPage> pages = ChapterPages(chapters);
  const QString outline =
      Q("序章|第一卷 风起[第一章|第二章]|第二卷|第三卷 终[第一卷 第三章 夜雨|尾声]");
  QStringList targets;
  EXPECT_EQ(Outline(NavDocument(Facts(), pages), "li", "a", &targets), outline);
  EXPECT_EQ(targets.size(), 8);
  for (int i = 0; i < targets.size(); ++i) {
    EXPECT_EQ(targets[i], QStringLiteral("text/c%1.xhtml").arg(i + 1, 4, 10, QLatin1Char('0')));
  }
  // The EPUB 2 contents alike, in reading order.
  QStringList sources, orders;
  EXPECT_EQ(Outline(NcxDocument(Facts(), pages), "navPoint", "text", &sources, &orders), outline);
  EXPECT_EQ(sources, targets);
  EXPECT_EQ(orders, QStringList({"1", "2", "3", "4", "5", "6", "7", "8"}));
  // Without volumes the list is flat.
  const ExportChapter flat[] = {{Q("第一章"), {}}, {Q("第二章"), {}}};
  EXPECT_EQ(Outline(NavDocument(Facts(), ChapterPages(flat)), "li", "a"), Q("第一章|第二章"));
}

TEST(ChapterDocument, TextIsEscapedAndEachLineThatIsNotBlankIsAParagraph) {
  const ExportChapter chapter = {Q("<第一章> & \"引号\""),
                                 Q("a < b && c > d\r\n\n  😀 表情\x01控制　\n\t\n]]> 结束")};
  const std::vector<ChapterPage> pages = ChapterPages(std::span(&chapter, 1));
  const QByteArray xhtml = ChapterDocument(Facts(), chapter, pages[0]);
  EXPECT_TRUE(xhtml.contains("&lt;第一章&gt; &amp;")) << xhtml.toStdString();
  QXmlStreamReader reader(xhtml);
  QStringList paragraphs;
  QString heading, title;
  while (!reader.atEnd()) {
    if (reader.readNext() != QXmlStreamReader::StartElement) continue;
    if (reader.name() == QStringLiteral("p")) paragraphs << reader.readElementText();
    if (reader.name() == QStringLiteral("h2")) heading = reader.readElementText();
    if (reader.name() == QStringLiteral("title")) title = reader.readElementText();
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
  EXPECT_EQ(heading, chapter.name);
  EXPECT_EQ(title, chapter.name);
  EXPECT_EQ(paragraphs, QStringList({Q("a < b && c > d"), Q("😀 表情控制"), Q("]]> 结束")}));
}

QByteArray Picture(const char* format) {
  unit_tests::App();  // the JPEG writer is a plug-in, found through the application
  QImage image(60, 90, QImage::Format_RGB32);
  image.fill(QColor(40, 90, 160));
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  EXPECT_TRUE(image.save(&buffer, format));
  return bytes;
}

// A novel with what a book has to survive: volumes with chapters under them and one without,
// text that needs escaping, an emoji, a control character, an empty chapter, a blank name.
std::vector<ExportChapter> DemandingNovel() {
  return {
      {Q("楔子"), Q("　　风从北方来。\n")},
      {Q("第一卷 少年游"), Q("本卷写少年时。")},
      {Q("第一章 <风起> & 云涌"), Q("　　他说：“a < b && c > d”。\r\n\r\n　　😀\x01笑了。\n")},
      {Q("第二章 夜"), QString()},
      {Q("  "), Q("无名的一章。")},
      {Q("第二卷 江湖远"), QString()},
      {Q("第三卷 归"), QString()},
      {Q("第一章 归来"), Q("完。")},
  };
}

TEST(NovelAsEpub, TheBookIsAZipWithMimetypeFirstStoredAndAsciiNames) {
  QString error;
  const QByteArray epub = NovelAsEpub(DemandingNovel(),
                                      {.title = Q("山河"),
                                       .author = Q("某人"),
                                       .modified = QDateTime::currentDateTimeUtc(),
                                       .cover = Picture("PNG")},
                                      &error);
  ASSERT_FALSE(epub.isEmpty()) << error.toStdString();
  EXPECT_EQ(epub.first(4), QByteArray("PK\x03\x04"));
  QString fault;
  const std::optional<std::vector<ZipEntry>> entries = ListZip(epub, &fault);
  ASSERT_TRUE(entries) << fault.toStdString();
  ASSERT_FALSE(entries->empty());
  EXPECT_EQ(entries->front().name, "mimetype");
  EXPECT_EQ(entries->front().method, kMethodStored);
  EXPECT_EQ(novel_export_tests::StoredBytes(epub, entries->front()), "application/epub+zip");
  EXPECT_EQ(entries->front().data_offset, kLocalHeaderSize + 8);  // no extra field
  QStringList names;
  for (const ZipEntry& entry : *entries) {
    names << QString::fromLatin1(entry.name);
    for (const char c : entry.name) {
      EXPECT_TRUE(c > 0x20 && c < 0x7F) << entry.name.toStdString();
    }
    if (entry.name.endsWith(".xhtml")) {
      EXPECT_EQ(entry.method, kMethodDeflated);
    }
  }
  for (const char* expected :
       {"META-INF/container.xml", "OEBPS/content.opf", "OEBPS/nav.xhtml", "OEBPS/toc.ncx",
        "OEBPS/style.css", "OEBPS/cover.png", "OEBPS/cover.xhtml", "OEBPS/text/c0001.xhtml",
        "OEBPS/text/c0008.xhtml"}) {
    EXPECT_TRUE(names.contains(Q(expected))) << expected;
  }
  EXPECT_EQ(names.size(), 8 + 8);
}

TEST(NovelAsEpub, ExportingTheSameBookTwiceGivesTheSameBytes) {
  // The identifier made from the title and author, not at random: a reader replaces the book.
  const EpubBook book = {.title = Q("山河"),
                         .author = Q("某人"),
                         .modified = QDateTime(QDate(2024, 6, 11), QTime(8, 0), Qt::UTC)};
  EpubBook renamed = book;
  renamed.title = Q("山河二");
  const std::vector<ExportChapter> chapters = VolumedNovel();
  EXPECT_EQ(NovelAsEpub(chapters, book), NovelAsEpub(chapters, book));
  EXPECT_NE(NovelAsEpub(chapters, book), NovelAsEpub(chapters, renamed));
}

TEST(NovelAsEpub, RefusesWhatCannotMakeABook) {
  const ExportChapter one[] = {{Q("第一章"), Q("正文")}};
  const struct {
    std::span<const ExportChapter> chapters;
    QByteArray cover;
    const char* reason;
  } cases[] = {
      {{}, {}, "没有要导出的章节。"},
      {one, QByteArray("GIF89a\x01\x00\x01\x00", 10), "封面不是 JPEG 或 PNG 图片。"},
  };
  for (const auto& c : cases) {
    QString error;
    EXPECT_TRUE(NovelAsEpub(c.chapters, {.cover = c.cover}, &error).isEmpty());
    EXPECT_EQ(error, Q(c.reason));
  }
}

// Each book written out and checked by the EPUB checker, which must report neither an error
// nor a warning, and by unzip.
TEST(NovelAsEpub, TheCheckerFindsNothingToReport) {
  const struct {
    const char* what;
    std::vector<ExportChapter> chapters;
    EpubBook book;
  } cases[] = {
      {"volumes, a PNG cover, escaping",
       DemandingNovel(),
       {.title = Q("山河 <上> & 下"),
        .author = Q("某人"),
        .modified = QDateTime(QDate(2024, 6, 11), QTime(8, 0), Qt::UTC),
        .cover = Picture("PNG")}},
      {"a JPEG cover, no title or author, one empty chapter",
       {{QString(), QString()}},
       {.language = QString(), .cover = Picture("JPEG")}},
  };
  QTemporaryDir folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QString error;
    const QByteArray epub = NovelAsEpub(c.chapters, c.book, &error);
    ASSERT_FALSE(epub.isEmpty()) << error.toStdString();
    const QString path = folder.filePath(QStringLiteral("book.epub"));
    ASSERT_TRUE(novel_export_tests::WriteBytes(path, epub));
    if (const std::optional<ToolRun> unzip = RunTool("unzip", {"-t", path})) {
      EXPECT_EQ(unzip->exit_code, 0) << unzip->output.toStdString();
    }
    const std::optional<ToolRun> check = RunEpubCheck(path);
    if (!check) GTEST_SKIP() << "epubcheck is not installed (Debian package epubcheck)";
    EXPECT_EQ(check->exit_code, 0) << check->output.toStdString();
    EXPECT_TRUE(check->output.contains(QStringLiteral("No errors or warnings detected")))
        << check->output.toStdString();
  }
}

}  // namespace
}  // namespace novel_export
