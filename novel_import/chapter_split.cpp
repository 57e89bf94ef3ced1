#include "novel_import/chapter_split.h"

#include <algorithm>

namespace novel_import {
namespace {

bool IsBlankLine(QStringView line) { return TrimmedLine(line).isEmpty(); }

// `text` without its blank lines at the start, *line (the line `text` starts at) moved on past
// them.
QStringView DropLeadingBlankLines(QStringView text, int64_t* line) {
  while (!text.isEmpty()) {
    const qsizetype end = text.indexOf(u'\n');
    if (!IsBlankLine(end < 0 ? text : text.first(end))) break;
    text = end < 0 ? QStringView() : text.mid(end + 1);
    ++*line;
  }
  return text;
}

// `text` without its blank lines at the end and the line break before them.
QStringView DropTrailingBlankLines(QStringView text) {
  while (!text.isEmpty()) {
    const qsizetype start = text.lastIndexOf(u'\n');
    if (!IsBlankLine(text.mid(start + 1))) break;
    text = start < 0 ? QStringView() : text.first(start);
  }
  return text;
}

// A chapter whose text is `body` (the lines after its heading, from line `body_line` on).
ImportedChapter Gathered(QString name, int64_t first_line, QStringView body, int64_t body_line,
                         bool heading_in_file) {
  body = DropTrailingBlankLines(DropLeadingBlankLines(body, &body_line));
  ImportedChapter chapter{std::move(name), body.toString(), first_line,
                          body.isEmpty() ? 0 : body_line, heading_in_file};
  if (!heading_in_file) chapter.first_line = chapter.text_line;
  return chapter;
}

// Appends `piece`, which starts at line `line` of the file, to the text *text starting at line
// *text_line, with the blank lines between the two put back.
void AppendLines(QString* text, int64_t* text_line, QStringView piece, int64_t line) {
  if (piece.isEmpty()) return;
  if (text->isEmpty()) {
    *text = piece.toString();
    *text_line = line;
    return;
  }
  const int64_t after_last = *text_line + LineCount(*text);
  text->append(QString(static_cast<qsizetype>(std::max<int64_t>(line - after_last, 0) + 1), u'\n'));
  text->append(piece);
}

}  // namespace

int64_t LineCount(QStringView text) { return text.isEmpty() ? 0 : text.count(u'\n') + 1; }

std::vector<ImportedChapter> SplitIntoChapters(QStringView text, const HeadingRules& rules,
                                               const QString& untitled_name) {
  std::vector<ImportedChapter> chapters;
  // The chapter being gathered: its heading (none before the first) and where its body starts.
  QString name;
  int64_t first_line = 0;
  bool headed = false;
  qsizetype body_start = 0;
  int64_t body_line = 1;
  const auto close = [&](qsizetype body_end, bool heading_follows) {
    const QStringView body = text.mid(body_start, body_end - body_start);
    if (headed) {
      chapters.push_back(Gathered(std::move(name), first_line, body, body_line, true));
    } else if (!TrimmedLine(body).isEmpty()) {
      // The text before the first heading, or the whole text when it has none (line breaks
      // are blanks to TrimmedLine: the body is blank when all its lines are).
      chapters.push_back(
          Gathered(heading_follows ? QString::fromUtf16(kPrefaceName) : untitled_name, 0, body,
                   body_line, false));
    }
  };
  int64_t line_number = 1;
  for (qsizetype start = 0; start <= text.size(); ++line_number) {
    qsizetype end = text.indexOf(u'\n', start);
    if (end < 0) end = text.size();
    const QStringView line = text.mid(start, end - start);
    if (rules.IsHeading(line)) {
      close(start, true);
      name = TrimmedLine(line).toString();
      first_line = line_number;
      headed = true;
      body_start = std::min(end + 1, text.size());
      body_line = line_number + 1;
    }
    start = end + 1;
  }
  close(text.size(), false);
  return chapters;
}

bool MergeWithNext(std::vector<ImportedChapter>* chapters, size_t index) {
  if (index + 1 >= chapters->size()) return false;
  ImportedChapter& chapter = (*chapters)[index];
  ImportedChapter& next = (*chapters)[index + 1];
  if (next.heading_in_file) {
    AppendLines(&chapter.text, &chapter.text_line, next.name, next.first_line);
  }
  AppendLines(&chapter.text, &chapter.text_line, next.text, next.text_line);
  chapters->erase(chapters->begin() + static_cast<std::ptrdiff_t>(index) + 1);
  return true;
}

bool SplitAt(std::vector<ImportedChapter>* chapters, size_t index, int64_t line_in_text,
             const QString& name) {
  if (index >= chapters->size()) return false;
  ImportedChapter& chapter = (*chapters)[index];
  if (line_in_text < 1 || line_in_text > LineCount(chapter.text)) return false;
  const QStringView text = chapter.text;
  qsizetype cut = 0;
  for (int64_t line = 1; line < line_in_text; ++line) cut = text.indexOf(u'\n', cut) + 1;
  int64_t line = chapter.text_line + line_in_text - 1;  // in the file
  QStringView rest = text.mid(cut);
  ImportedChapter made;
  if (name.isEmpty()) {
    const qsizetype end = rest.indexOf(u'\n');
    const QStringView heading = TrimmedLine(end < 0 ? rest : rest.first(end));
    if (heading.isEmpty()) return false;
    made = Gathered(heading.toString(), line, end < 0 ? QStringView() : rest.mid(end + 1), line + 1,
                    true);
  } else {
    made = Gathered(name, 0, rest, line, false);
    if (made.text.isEmpty()) return false;
  }
  chapter.text = DropTrailingBlankLines(text.first(cut)).toString();
  if (chapter.text.isEmpty()) chapter.text_line = 0;
  chapters->insert(chapters->begin() + static_cast<std::ptrdiff_t>(index) + 1, std::move(made));
  return true;
}

}  // namespace novel_import
