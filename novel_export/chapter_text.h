#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// A chapter as the exporters take it, and its text cut into lines the same way for every format.
namespace novel_export {

// Lines are separated by "\n"; "\r\n" (a text pasted from Windows) and a lone "\r" end a line
// too, so no carriage return ever reaches a paragraph.
struct ExportChapter {
  QString name;
  QString text;
};

// The lines of `text`, without their breaks. A break at the very end ends the last line rather
// than starting an empty one, so "a\nb\n" and "a\nb" both give {"a", "b"}, and "" gives none.
// The views point into `text`.
std::vector<QStringView> TextLines(const QString& text);

// True when `line` holds nothing but blanks (spaces, tabs, U+3000 and the other Unicode spaces).
bool IsBlank(QStringView line);

// `line` without its leading blanks.
QStringView WithoutLeadingBlanks(QStringView line);

// The lines of `text` between its first and last line that is not blank: the blank lines an
// author leaves above or below a chapter are not its content, and each format puts its own
// space between chapters.
std::vector<QStringView> ContentLines(const QString& text);

// A chapter's name as one line of a heading: its line breaks become spaces and the blanks at
// its ends are dropped (empty for a name that is blank).
QString NameLine(const QString& name);

}  // namespace novel_export
