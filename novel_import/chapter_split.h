#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

#include "novel_import/headings.h"

// An imported novel cut into chapters at its headings, and the author's corrections to the cut
// in the preview (merging a chapter with the next, splitting one at a line).
//
// Line numbers are 1-based and count the lines of the decoded file (Decode's text, whose line
// breaks are "\n"). A chapter's text holds whole lines of the file joined by "\n", as they are
// (indents and blanks inside kept), with no blank line first or last and no line break at the
// end; its k-th line is line text_line + k - 1 of the file.

namespace novel_import {

struct ImportedChapter {
  QString name;
  QString text;
  // The line of the heading; for a chapter whose name is not a line of the file (前言, a
  // novel without headings, a split given a name), the line its text starts at.
  int64_t first_line = 0;
  // The line the text starts at; 0 when the text is empty.
  int64_t text_line = 0;
  // Whether the name is the heading at first_line: false for the chapters named above.
  bool heading_in_file = true;

  friend bool operator==(const ImportedChapter&, const ImportedChapter&) = default;
};

// The name of the text before the first heading.
inline constexpr char16_t kPrefaceName[] = u"前言";

// `text` cut at the lines `rules` takes as headings; each heading's trimmed line names its
// chapter, whose text is the lines up to the next heading. Text before the first heading becomes
// a chapter named "前言" when it is not blank; a text without headings becomes one chapter named
// `untitled_name` (the caller's, such as the file's name). A blank text gives no chapters; a
// heading with nothing after it gives a chapter with an empty text.
// Requires: line breaks in `text` are "\n" (as Decode gives).
std::vector<ImportedChapter> SplitIntoChapters(QStringView text, const HeadingRules& rules,
                                               const QString& untitled_name);

// Joins chapter `index` and the one after it into one chapter with the first one's name: the
// second one's heading (its name, trimmed as it is) becomes a line of the text and the blank
// lines the cut dropped come back (empty), so the merged text runs on line by line as in the
// file. A second chapter whose name is not a line of the file adds only its text. False (and
// nothing changed) when there is no chapter after `index`.
bool MergeWithNext(std::vector<ImportedChapter>* chapters, size_t index);

// Cuts chapter `index` before line `line_in_text` (1-based, of its text) into two: the lines
// before stay, a new chapter after it takes the rest. With `name` empty, that line is the new
// chapter's heading (its trimmed text the name) and the text starts after it; otherwise the new
// chapter is called `name` and its text starts at that line. Blank lines at the cut are
// dropped, as by SplitIntoChapters. False (and nothing changed) when there is no such chapter
// or line, when `name` is empty and the line blank, or when `name` is given and nothing but
// blank lines is left from the line on.
bool SplitAt(std::vector<ImportedChapter>* chapters, size_t index, int64_t line_in_text,
             const QString& name);

// The number of lines of a chapter's text (0 for an empty text).
int64_t LineCount(QStringView text);

}  // namespace novel_import
