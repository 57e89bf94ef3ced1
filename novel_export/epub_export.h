#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <span>

#include "novel_export/chapter_text.h"

// The novel as an EPUB 3 e-book, for reading on a phone or an e-reader or for a shop that takes
// EPUB. Made to pass the EPUB checker without errors or warnings, with a table of contents for
// EPUB 2 readers as well (toc.ncx, which older e-ink readers still use).
namespace novel_export {

struct EpubBook {
  QString title{};                             // blank: "未命名"
  QString author{};                            // blank: the book names no author
  QString language = QStringLiteral("zh-CN");  // blank: "zh-CN"
  // The book's identity for readers' libraries, e.g. "urn:uuid:…". Made from the title and
  // author when blank, the same on every export, so that a reader replaces the book it has
  // rather than keeping both.
  QString identifier{};
  QDateTime modified{};  // the time of this version (metadata and the files' times); invalid: now
  QByteArray cover{};    // JPEG or PNG bytes; empty: no cover
};

// The book, each chapter a page of its own:
//   - its name as the heading (one line, NameLine; "（未命名）" for a blank name) and each line
//     of its text that is not blank as a paragraph, its blanks at either end dropped (the style
//     sheet indents every paragraph by two characters); characters that XML cannot hold
//     (control characters, a lone surrogate, U+FFFE, U+FFFF) are dropped;
//   - a chapter whose name is a volume heading (IsVolumeHeading, volume_heading.h) starts a
//     volume: its page's heading is a level above a chapter's, and in the table of contents the
//     chapters after it, up to the next volume, are listed under it; chapters before the first
//     volume stand on their own;
//   - the cover, when given, as the book's cover image and a page of its own before the first
//     chapter.
// The inner files are named in ASCII (text/c0001.xhtml), so every unzip tool reads them.
// Empty, with the reason in Chinese in *error (when not null), when there are no chapters, the
// cover is neither JPEG nor PNG, or the book would be over 4 GB (ZIP without ZIP64).
QByteArray NovelAsEpub(std::span<const ExportChapter> chapters, const EpubBook& book,
                       QString* error = nullptr);

// True for bytes NovelAsEpub takes as a cover: a JPEG or PNG picture, by its first bytes.
bool IsCoverPicture(const QByteArray& bytes);

}  // namespace novel_export
