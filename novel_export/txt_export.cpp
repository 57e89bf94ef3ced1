#include "novel_export/txt_export.h"

#include <string>

#include "novel_export/file_names.h"
#include "platform/core/code_page.h"

namespace novel_export {
namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';

// Appends the block of `chapter` to `text`, after a blank line when `text` already holds one.
void AppendChapter(const ExportChapter& chapter, const TxtOptions& options, QString& text) {
  const QStringView end_of_line = options.crlf ? QStringView(u"\r\n") : QStringView(u"\n");
  const QString name = options.headings ? NameLine(chapter.name) : QString();
  const bool heading = !name.isEmpty();
  const std::vector<QStringView> lines = ContentLines(chapter.text);
  if (!heading && lines.empty()) return;
  if (!text.isEmpty()) text += end_of_line;
  if (heading) {
    text += name;
    text += end_of_line;
    if (!lines.empty()) text += end_of_line;
  }
  for (const QStringView line : lines) {
    if (options.indent) {
      const QStringView paragraph = WithoutLeadingBlanks(line);
      if (!paragraph.isEmpty()) {
        text += kIdeographicSpace;
        text += kIdeographicSpace;
        text += paragraph;
      }
    } else {
      text += line;
    }
    text += end_of_line;
  }
}

QByteArray Encoded(const QString& text, TxtOptions::Encoding encoding) {
  switch (encoding) {
    case TxtOptions::Encoding::kUtf8:
      return text.toUtf8();
    case TxtOptions::Encoding::kUtf8Bom:
      return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
    case TxtOptions::Encoding::kGbk: {
      const std::string gbk = platform::Utf16ToGbk(std::u16string_view(
          reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())));
      return QByteArray(gbk.data(), static_cast<qsizetype>(gbk.size()));
    }
  }
  return {};
}

}  // namespace

QByteArray NovelAsTxt(std::span<const ExportChapter> chapters, const TxtOptions& options) {
  qsizetype size = 0;
  for (const ExportChapter& chapter : chapters) size += chapter.name.size() + chapter.text.size();
  QString text;
  // Room for the breaks turned into CR LF and the indents, so the text is not copied as it grows.
  text.reserve(size + size / 8);
  for (const ExportChapter& chapter : chapters) AppendChapter(chapter, options, text);
  return Encoded(text, options.encoding);
}

std::vector<NamedFile> ChaptersAsTxtFiles(std::span<const ExportChapter> chapters,
                                          const TxtOptions& options) {
  std::vector<NamedFile> files;
  files.reserve(chapters.size());
  for (size_t i = 0; i < chapters.size(); ++i) {
    QString text;
    AppendChapter(chapters[i], options, text);
    files.push_back({NumberedFileName(i, chapters.size(), chapters[i].name, u".txt"),
                     Encoded(text, options.encoding)});
  }
  return files;
}

}  // namespace novel_export
