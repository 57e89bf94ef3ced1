#include "novel_export/epub_export.h"

#include <QUuid>

#include "novel_export/epub_documents.h"
#include "novel_export/zip_writer.h"

namespace novel_export {
namespace {

// The namespace of the identifiers made from a book's title and author (a UUID of version 5):
// fixed, so that the same book gets the same identifier on every export.
const QUuid kBookNamespace(QStringLiteral("{6f1c2a4e-93b7-4d5e-8a21-5c0e7b9d3f48}"));

// The cover's file name and media type, from its first bytes; false for neither JPEG nor PNG.
bool CoverKind(const QByteArray& cover, BookFacts* book) {
  if (cover.startsWith("\xFF\xD8\xFF")) {
    book->cover_file = QStringLiteral("cover.jpg");
    book->cover_type = QStringLiteral("image/jpeg");
    return true;
  }
  if (cover.startsWith("\x89PNG\r\n\x1A\n")) {
    book->cover_file = QStringLiteral("cover.png");
    book->cover_type = QStringLiteral("image/png");
    return true;
  }
  return false;
}

QByteArray Failed(QString* error, const QString& reason) {
  if (error != nullptr) *error = reason;
  return {};
}

}  // namespace

bool IsCoverPicture(const QByteArray& bytes) {
  BookFacts facts;
  return CoverKind(bytes, &facts);
}

QByteArray NovelAsEpub(std::span<const ExportChapter> chapters, const EpubBook& book,
                       QString* error) {
  if (chapters.empty()) return Failed(error, QStringLiteral("没有要导出的章节。"));
  BookFacts facts;
  facts.title = XmlSafe(NameLine(book.title));
  if (facts.title.isEmpty()) facts.title = QStringLiteral("未命名");
  facts.author = XmlSafe(NameLine(book.author));
  facts.language =
      book.language.trimmed().isEmpty() ? QStringLiteral("zh-CN") : book.language.trimmed();
  facts.identifier = book.identifier.trimmed();
  if (facts.identifier.isEmpty()) {
    facts.identifier = QStringLiteral("urn:uuid:") +
                       QUuid::createUuidV5(kBookNamespace, facts.title + u'\n' + facts.author)
                           .toString(QUuid::WithoutBraces);
  }
  QDateTime modified = book.modified.isValid() ? book.modified : QDateTime::currentDateTimeUtc();
  modified = modified.toUTC();
  modified.setTime(
      QTime(modified.time().hour(), modified.time().minute(), modified.time().second()));
  facts.modified = modified.toString(Qt::ISODate);
  if (!book.cover.isEmpty() && !CoverKind(book.cover, &facts)) {
    return Failed(error, QStringLiteral("封面不是 JPEG 或 PNG 图片。"));
  }
  const std::vector<ChapterPage> pages = ChapterPages(chapters);

  // "mimetype" first and stored, its name and bytes at fixed offsets: how a reader tells an
  // EPUB from another ZIP without unpacking it.
  ZipWriter zip(modified);
  zip.Add("mimetype", "application/epub+zip", ZipWriter::Method::kStored);
  const auto add = [&](const QString& path, const QByteArray& bytes) {
    zip.Add(path.toLatin1(), bytes, ZipWriter::Method::kDeflated);
  };
  const QString folder = QString::fromLatin1(kContentFolder);
  add(QStringLiteral("META-INF/container.xml"), ContainerDocument());
  add(QString::fromLatin1(kPackagePath), PackageDocument(facts, pages));
  add(folder + QString::fromLatin1(kNavFile), NavDocument(facts, pages));
  add(folder + QString::fromLatin1(kNcxFile), NcxDocument(facts, pages));
  add(folder + QString::fromLatin1(kStyleFile), StyleSheet());
  if (!facts.cover_file.isEmpty()) {
    // A picture is compressed already; deflating it again only costs time.
    zip.Add((folder + facts.cover_file).toLatin1(), book.cover, ZipWriter::Method::kStored);
    add(folder + QString::fromLatin1(kCoverPageFile), CoverDocument(facts));
  }
  for (size_t i = 0; i < chapters.size(); ++i) {
    add(folder + pages[i].file, ChapterDocument(facts, chapters[i], pages[i]));
  }
  QString zip_error;
  QByteArray epub = zip.Finish(&zip_error);
  if (epub.isEmpty()) return Failed(error, QStringLiteral("书太大：") + zip_error);
  return epub;
}

}  // namespace novel_export
