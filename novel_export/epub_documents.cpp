#include "novel_export/epub_documents.h"

#include <QXmlStreamWriter>

#include "novel_export/volume_heading.h"

namespace novel_export {
namespace {

const QString kXhtmlNamespace = QStringLiteral("http://www.w3.org/1999/xhtml");
const QString kOpsNamespace = QStringLiteral("http://www.idpf.org/2007/ops");

bool KeptInXml(char16_t c) {
  if (c < 0x20) return c == u'\t' || c == u'\n' || c == u'\r';
  return c < 0x7F || (c > 0x9F && c < 0xFFFE);
}

// A writer of one document, indented for a person who opens the book's files.
class Document {
 public:
  Document() : writer_(&bytes_) {
    writer_.setAutoFormatting(true);
    writer_.setAutoFormattingIndent(1);
    writer_.writeStartDocument();
  }

  QXmlStreamWriter& operator*() { return writer_; }
  QXmlStreamWriter* operator->() { return &writer_; }

  void Text(QStringView text) { writer_.writeCharacters(XmlSafe(text)); }
  void Element(const QString& name, QStringView text) {
    writer_.writeStartElement(name);
    Text(text);
    writer_.writeEndElement();
  }
  void Attribute(const QString& name, QStringView value) {
    writer_.writeAttribute(name, XmlSafe(value));
  }

  // An XHTML page up to its open <body>.
  void StartPage(const BookFacts& book, QStringView title, const QString& style_href) {
    writer_.writeDTD(QStringLiteral("<!DOCTYPE html>"));
    writer_.writeStartElement(QStringLiteral("html"));
    writer_.writeAttribute(QStringLiteral("xmlns"), kXhtmlNamespace);
    writer_.writeAttribute(QStringLiteral("xmlns:epub"), kOpsNamespace);
    Attribute(QStringLiteral("xml:lang"), book.language);
    Attribute(QStringLiteral("lang"), book.language);
    writer_.writeStartElement(QStringLiteral("head"));
    Element(QStringLiteral("title"), title);
    writer_.writeEmptyElement(QStringLiteral("link"));
    writer_.writeAttribute(QStringLiteral("rel"), QStringLiteral("stylesheet"));
    writer_.writeAttribute(QStringLiteral("type"), QStringLiteral("text/css"));
    writer_.writeAttribute(QStringLiteral("href"), style_href);
    writer_.writeEndElement();  // head
    writer_.writeStartElement(QStringLiteral("body"));
  }

  QByteArray Finish() {
    writer_.writeEndDocument();
    return std::move(bytes_);
  }

 private:
  QByteArray bytes_;
  QXmlStreamWriter writer_;
};

void Link(Document& document, const QString& href, QStringView text) {
  document->writeStartElement(QStringLiteral("a"));
  document->writeAttribute(QStringLiteral("href"), href);
  document.Text(text);
  document->writeEndElement();
}

// The table of contents' nesting, for both of its forms: Open is called for every page in
// order and Close once for each Open; a volume's page is closed only after the chapters under
// it (opened after it, before the next volume).
template <typename Open, typename Close>
void WalkContents(std::span<const ChapterPage> pages, Open open, Close close) {
  bool volume_open = false;
  for (const ChapterPage& page : pages) {
    if (page.volume && volume_open) close(/*volume=*/true);
    open(page, volume_open && !page.volume);
    if (page.volume) {
      volume_open = true;
    } else {
      close(/*volume=*/false);
    }
  }
  if (volume_open) close(/*volume=*/true);
}

}  // namespace

QString XmlSafe(QStringView text) {
  qsizetype at = 0;
  const auto kept_here = [&] {
    const char16_t c = text[at].unicode();
    if (!QChar::isSurrogate(c)) return KeptInXml(c);
    // A pair is kept whole, a lone half dropped.
    return QChar::isHighSurrogate(c) ? at + 1 < text.size() && text[at + 1].isLowSurrogate()
                                     : at > 0 && text[at - 1].isHighSurrogate();
  };
  while (at < text.size() && kept_here()) ++at;
  if (at == text.size()) return text.toString();
  QString safe = text.first(at).toString();
  for (; at < text.size(); ++at) {
    if (kept_here()) safe += text[at];
  }
  return safe;
}

std::vector<ChapterPage> ChapterPages(std::span<const ExportChapter> chapters) {
  const int width = std::max(4, static_cast<int>(QString::number(chapters.size()).size()));
  std::vector<ChapterPage> pages;
  pages.reserve(chapters.size());
  for (size_t i = 0; i < chapters.size(); ++i) {
    QString heading = XmlSafe(NameLine(chapters[i].name));
    // A link and a title must have text to be read out and tapped.
    if (heading.trimmed().isEmpty()) heading = QStringLiteral("（未命名）");
    const QString id = QStringLiteral("c%1").arg(i + 1, width, 10, QLatin1Char('0'));
    pages.push_back(
        {heading, id, QStringLiteral("text/%1.xhtml").arg(id), IsVolumeHeading(chapters[i].name)});
  }
  return pages;
}

QByteArray ContainerDocument() {
  Document document;
  document->writeStartElement(QStringLiteral("container"));
  document->writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
  document->writeAttribute(QStringLiteral("xmlns"),
                           QStringLiteral("urn:oasis:names:tc:opendocument:xmlns:container"));
  document->writeStartElement(QStringLiteral("rootfiles"));
  document->writeEmptyElement(QStringLiteral("rootfile"));
  document->writeAttribute(QStringLiteral("full-path"), QString::fromLatin1(kPackagePath));
  document->writeAttribute(QStringLiteral("media-type"),
                           QStringLiteral("application/oebps-package+xml"));
  return document.Finish();
}

QByteArray StyleSheet() {
  // Paragraphs the way Chinese books set them: indented by two characters, no space between;
  // the line height leaves room for the marks above and below hanzi.
  return QByteArrayLiteral(
      "body { margin: 0 5%; padding: 0; line-height: 1.8; text-align: justify; }\n"
      "h1 { font-size: 1.6em; text-align: center; margin: 3em 0 1.5em; }\n"
      "h2 { font-size: 1.3em; text-align: center; margin: 1.5em 0 1em; }\n"
      "p { text-indent: 2em; margin: 0 0 0.3em; }\n"
      "nav ol { list-style-type: none; padding-left: 1em; }\n"
      "body.cover { margin: 0; text-align: center; }\n"
      "body.cover img { max-width: 100%; max-height: 100%; }\n");
}

QByteArray PackageDocument(const BookFacts& book, std::span<const ChapterPage> pages) {
  Document document;
  document->writeStartElement(QStringLiteral("package"));
  document->writeAttribute(QStringLiteral("xmlns"), QStringLiteral("http://www.idpf.org/2007/opf"));
  document->writeAttribute(QStringLiteral("version"), QStringLiteral("3.0"));
  document->writeAttribute(QStringLiteral("unique-identifier"), QStringLiteral("book-id"));
  document.Attribute(QStringLiteral("xml:lang"), book.language);

  document->writeStartElement(QStringLiteral("metadata"));
  document->writeAttribute(QStringLiteral("xmlns:dc"),
                           QStringLiteral("http://purl.org/dc/elements/1.1/"));
  document->writeStartElement(QStringLiteral("dc:identifier"));
  document->writeAttribute(QStringLiteral("id"), QStringLiteral("book-id"));
  document.Text(book.identifier);
  document->writeEndElement();
  document.Element(QStringLiteral("dc:title"), book.title);
  if (!book.author.isEmpty()) document.Element(QStringLiteral("dc:creator"), book.author);
  document.Element(QStringLiteral("dc:language"), book.language);
  document->writeStartElement(QStringLiteral("meta"));
  document->writeAttribute(QStringLiteral("property"), QStringLiteral("dcterms:modified"));
  document->writeCharacters(book.modified);
  document->writeEndElement();
  if (!book.cover_file.isEmpty()) {
    // The EPUB 2 way of naming the cover, which readers without EPUB 3 still look for.
    document->writeEmptyElement(QStringLiteral("meta"));
    document->writeAttribute(QStringLiteral("name"), QStringLiteral("cover"));
    document->writeAttribute(QStringLiteral("content"), QStringLiteral("cover-image"));
  }
  document->writeEndElement();  // metadata

  const auto item = [&](const QString& id, const QString& href, const QString& type,
                        const QString& properties = QString()) {
    document->writeEmptyElement(QStringLiteral("item"));
    document->writeAttribute(QStringLiteral("id"), id);
    document->writeAttribute(QStringLiteral("href"), href);
    document->writeAttribute(QStringLiteral("media-type"), type);
    if (!properties.isEmpty()) document->writeAttribute(QStringLiteral("properties"), properties);
  };
  const QString xhtml = QStringLiteral("application/xhtml+xml");
  document->writeStartElement(QStringLiteral("manifest"));
  item(QStringLiteral("nav"), QString::fromLatin1(kNavFile), xhtml, QStringLiteral("nav"));
  item(QStringLiteral("ncx"), QString::fromLatin1(kNcxFile),
       QStringLiteral("application/x-dtbncx+xml"));
  item(QStringLiteral("style"), QString::fromLatin1(kStyleFile), QStringLiteral("text/css"));
  if (!book.cover_file.isEmpty()) {
    item(QStringLiteral("cover-image"), book.cover_file, book.cover_type,
         QStringLiteral("cover-image"));
    item(QStringLiteral("cover"), QString::fromLatin1(kCoverPageFile), xhtml);
  }
  for (const ChapterPage& page : pages) item(page.id, page.file, xhtml);
  document->writeEndElement();  // manifest

  document->writeStartElement(QStringLiteral("spine"));
  document->writeAttribute(QStringLiteral("toc"), QStringLiteral("ncx"));
  const auto itemref = [&](const QString& id) {
    document->writeEmptyElement(QStringLiteral("itemref"));
    document->writeAttribute(QStringLiteral("idref"), id);
  };
  if (!book.cover_file.isEmpty()) itemref(QStringLiteral("cover"));
  for (const ChapterPage& page : pages) itemref(page.id);
  return document.Finish();
}

QByteArray NavDocument(const BookFacts& book, std::span<const ChapterPage> pages) {
  const QString contents = QStringLiteral("目录");
  Document document;
  document.StartPage(book, contents, QString::fromLatin1(kStyleFile));
  document->writeStartElement(QStringLiteral("nav"));
  document->writeAttribute(QStringLiteral("epub:type"), QStringLiteral("toc"));
  document->writeAttribute(QStringLiteral("id"), QStringLiteral("toc"));
  document.Element(QStringLiteral("h1"), contents);
  document->writeStartElement(QStringLiteral("ol"));
  // A volume's <ol> is opened with its first chapter: an empty list is not allowed.
  bool volume_list_open = false;
  WalkContents(
      pages,
      [&](const ChapterPage& page, bool under_volume) {
        if (under_volume && !volume_list_open) {
          document->writeStartElement(QStringLiteral("ol"));
          volume_list_open = true;
        }
        document->writeStartElement(QStringLiteral("li"));
        Link(document, page.file, page.heading);
      },
      [&](bool volume) {
        if (volume && volume_list_open) {
          document->writeEndElement();  // ol
          volume_list_open = false;
        }
        document->writeEndElement();  // li
      });
  document->writeEndElement();  // ol
  document->writeEndElement();  // nav

  document->writeStartElement(QStringLiteral("nav"));
  document->writeAttribute(QStringLiteral("epub:type"), QStringLiteral("landmarks"));
  document->writeAttribute(QStringLiteral("hidden"), QStringLiteral("hidden"));
  document->writeStartElement(QStringLiteral("ol"));
  const auto landmark = [&](const QString& type, const QString& href, const QString& text) {
    document->writeStartElement(QStringLiteral("li"));
    document->writeStartElement(QStringLiteral("a"));
    document->writeAttribute(QStringLiteral("epub:type"), type);
    document->writeAttribute(QStringLiteral("href"), href);
    document->writeCharacters(text);
    document->writeEndElement();
    document->writeEndElement();
  };
  if (!book.cover_file.isEmpty()) {
    landmark(QStringLiteral("cover"), QString::fromLatin1(kCoverPageFile), QStringLiteral("封面"));
  }
  if (!pages.empty()) {
    landmark(QStringLiteral("bodymatter"), pages.front().file, QStringLiteral("正文"));
  }
  return document.Finish();
}

QByteArray NcxDocument(const BookFacts& book, std::span<const ChapterPage> pages) {
  const bool volumes =
      std::any_of(pages.begin(), pages.end(), [](const ChapterPage& page) { return page.volume; });
  Document document;
  document->writeStartElement(QStringLiteral("ncx"));
  document->writeAttribute(QStringLiteral("xmlns"),
                           QStringLiteral("http://www.daisy.org/z3986/2005/ncx/"));
  document->writeAttribute(QStringLiteral("version"), QStringLiteral("2005-1"));
  document.Attribute(QStringLiteral("xml:lang"), book.language);
  document->writeStartElement(QStringLiteral("head"));
  const auto meta = [&](const QString& name, QStringView content) {
    document->writeEmptyElement(QStringLiteral("meta"));
    document->writeAttribute(QStringLiteral("name"), name);
    document.Attribute(QStringLiteral("content"), content);
  };
  // The NCX names the book by the package's identifier, or the checker counts it an error.
  meta(QStringLiteral("dtb:uid"), book.identifier);
  meta(QStringLiteral("dtb:depth"), volumes ? u"2" : u"1");
  meta(QStringLiteral("dtb:totalPageCount"), u"0");
  meta(QStringLiteral("dtb:maxPageNumber"), u"0");
  document->writeEndElement();  // head
  const auto text_in = [&](const QString& element, QStringView text) {
    document->writeStartElement(element);
    document.Element(QStringLiteral("text"), text);
    document->writeEndElement();
  };
  text_in(QStringLiteral("docTitle"), book.title);
  if (!book.author.isEmpty()) text_in(QStringLiteral("docAuthor"), book.author);
  document->writeStartElement(QStringLiteral("navMap"));
  int order = 0;
  WalkContents(
      pages,
      [&](const ChapterPage& page, bool) {
        ++order;
        document->writeStartElement(QStringLiteral("navPoint"));
        document->writeAttribute(QStringLiteral("id"), QStringLiteral("n") + page.id);
        document->writeAttribute(QStringLiteral("playOrder"), QString::number(order));
        text_in(QStringLiteral("navLabel"), page.heading);
        document->writeEmptyElement(QStringLiteral("content"));
        document->writeAttribute(QStringLiteral("src"), page.file);
      },
      [&](bool) { document->writeEndElement(); });
  return document.Finish();
}

QByteArray CoverDocument(const BookFacts& book) {
  Document document;
  document.StartPage(book, QStringLiteral("封面"), QString::fromLatin1(kStyleFile));
  document->writeAttribute(QStringLiteral("class"), QStringLiteral("cover"));
  document->writeStartElement(QStringLiteral("section"));
  document->writeAttribute(QStringLiteral("epub:type"), QStringLiteral("cover"));
  document->writeEmptyElement(QStringLiteral("img"));
  document->writeAttribute(QStringLiteral("src"), book.cover_file);
  document.Attribute(QStringLiteral("alt"), book.title);
  return document.Finish();
}

QByteArray ChapterDocument(const BookFacts& book, const ExportChapter& chapter,
                           const ChapterPage& page) {
  Document document;
  document.StartPage(book, page.heading, QStringLiteral("../") + QString::fromLatin1(kStyleFile));
  document->writeStartElement(QStringLiteral("section"));
  document->writeAttribute(QStringLiteral("epub:type"),
                           page.volume ? QStringLiteral("part") : QStringLiteral("chapter"));
  document->writeTextElement(page.volume ? QStringLiteral("h1") : QStringLiteral("h2"),
                             page.heading);
  const QString paragraph = QStringLiteral("p");
  for (const QStringView line : ContentLines(chapter.text)) {
    const QString text = XmlSafe(line).trimmed();
    if (!text.isEmpty()) document->writeTextElement(paragraph, text);
  }
  return document.Finish();
}

}  // namespace novel_export
