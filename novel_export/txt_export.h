#pragma once

#include <QByteArray>
#include <QString>
#include <span>
#include <vector>

#include "novel_export/chapter_text.h"

// The novel as plain text: one file for the whole book (to back it up, to hand it to an editor
// or a site's upload form) or one file per chapter.
namespace novel_export {

struct TxtOptions {
  enum class Encoding {
    kUtf8,
    kUtf8Bom,  // UTF-8 after the bytes EF BB BF, which older Windows editors need to see UTF-8
    kGbk,      // GB18030: GBK, with what GBK lacks (a rare name character, an emoji) as 4 bytes
  };
  Encoding encoding = Encoding::kUtf8;
  bool crlf = true;      // lines end with CR LF (Windows' Notepad before 2018 shows LF as nothing)
  bool headings = true;  // each chapter's name as a line above its text
  // Every paragraph starts with two U+3000 (the Chinese first-line indent), whatever blanks
  // the author put there; blank lines stay empty.
  bool indent = false;
};

struct NamedFile {
  QString name;
  QByteArray bytes;
};

// The text of `chapters` in order. Each chapter is a block of lines: its name (with `headings`,
// when the name is not blank) and a blank line, then its text without the blank lines above
// and below it; a chapter's blank lines inside its text are kept. Blocks are separated by one
// blank line and every line ends with the chosen break, the last included. A chapter with
// nothing to write (no heading, no text) leaves no block, so no doubled blank line either.
// A name is written on one line (NameLine), without indent.
QByteArray NovelAsTxt(std::span<const ExportChapter> chapters, const TxtOptions& options);

// One file per chapter, in chapter order, each as NovelAsTxt would write that chapter alone
// (with the BOM for kUtf8Bom), named by NumberedFileName (file_names.h): "0001 第一章 风起.txt".
std::vector<NamedFile> ChaptersAsTxtFiles(std::span<const ExportChapter> chapters,
                                          const TxtOptions& options);

}  // namespace novel_export
