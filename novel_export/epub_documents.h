#pragma once

#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

#include "novel_export/chapter_text.h"

// The files inside an EPUB book, each made whole as UTF-8 XML (or CSS). NovelAsEpub
// (epub_export.h) puts them together. Paths are relative to the package document, which lies in
// kContentFolder with everything but "mimetype" and META-INF.
namespace novel_export {

inline constexpr char kContentFolder[] = "OEBPS/";
inline constexpr char kPackagePath[] = "OEBPS/content.opf";
inline constexpr char kNavFile[] = "nav.xhtml";
inline constexpr char kNcxFile[] = "toc.ncx";
inline constexpr char kStyleFile[] = "style.css";
inline constexpr char kCoverPageFile[] = "cover.xhtml";

// A chapter's page, as the other files refer to it.
struct ChapterPage {
  QString heading;  // the name on one line, or a stand-in for a blank name
  QString id;       // "c0001": the manifest's id, also the XML id rules' (starts with a letter)
  QString file;     // "text/c0001.xhtml"
  bool volume;      // starts a volume
};

// The book's description, its blanks already given their defaults.
struct BookFacts {
  QString title;
  QString author;  // may be empty
  QString language;
  QString identifier;
  QString modified;    // "2024-06-11T08:00:00Z", UTC to the second
  QString cover_file;  // "cover.jpg" or "cover.png"; empty for no cover
  QString cover_type;  // its media type
};

// The pages of `chapters`, numbered from 1 with at least four digits.
std::vector<ChapterPage> ChapterPages(std::span<const ExportChapter> chapters);

QByteArray ContainerDocument();
QByteArray StyleSheet();
QByteArray PackageDocument(const BookFacts& book, std::span<const ChapterPage> pages);
// The table of contents (epub:type="toc"): a volume's chapters in an <ol> inside the volume's
// <li>; and the landmarks (the cover, the first chapter). The contents page is not in the
// reading order (readers show it from their own menu), so no landmark may point at it.
QByteArray NavDocument(const BookFacts& book, std::span<const ChapterPage> pages);
// The same table of contents for EPUB 2 readers, nested alike.
QByteArray NcxDocument(const BookFacts& book, std::span<const ChapterPage> pages);
QByteArray CoverDocument(const BookFacts& book);
QByteArray ChapterDocument(const BookFacts& book, const ExportChapter& chapter,
                           const ChapterPage& page);

// `text` without the characters XML 1.0 cannot hold and the C1 control characters (none of
// them is ever meant in a novel's text; some readers' parsers stop at them).
QString XmlSafe(QStringView text);

}  // namespace novel_export
