#include "novel_export/chapter_text.h"

namespace novel_export {

std::vector<QStringView> TextLines(const QString& text) {
  std::vector<QStringView> lines;
  const QStringView all(text);
  qsizetype start = 0;
  for (qsizetype at = 0; at < all.size(); ++at) {
    const QChar c = all[at];
    if (c != u'\n' && c != u'\r') continue;
    lines.push_back(all.sliced(start, at - start));
    if (c == u'\r' && at + 1 < all.size() && all[at + 1] == u'\n') ++at;
    start = at + 1;
  }
  if (start < all.size()) lines.push_back(all.sliced(start));
  return lines;
}

bool IsBlank(QStringView line) { return WithoutLeadingBlanks(line).isEmpty(); }

QStringView WithoutLeadingBlanks(QStringView line) {
  qsizetype at = 0;
  while (at < line.size() && line[at].isSpace()) ++at;
  return line.sliced(at);
}

std::vector<QStringView> ContentLines(const QString& text) {
  std::vector<QStringView> lines = TextLines(text);
  while (!lines.empty() && IsBlank(lines.back())) lines.pop_back();
  size_t first = 0;
  while (first < lines.size() && IsBlank(lines[first])) ++first;
  lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(first));
  return lines;
}

QString NameLine(const QString& name) {
  QString line = name;
  line.replace(u'\r', u' ').replace(u'\n', u' ');
  return line.trimmed();
}

}  // namespace novel_export
