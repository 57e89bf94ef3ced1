#include "tools/database_tool/novel_commands.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <span>
#include <vector>

#include "commands/file_replacement.h"
#include "commands/gbk_text.h"
#include "database/append_all_or_none.h"
#include "database/database.h"
#include "database/database_list.h"
#include "database/error_codes.h"
#include "novel_export/epub_export.h"
#include "novel_export/txt_export.h"
#include "novel_import/chapter_split.h"
#include "novel_import/encoding.h"
#include "novel_import/headings.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"

namespace novel_commands {

namespace {

constexpr qint64 kLargestImport = 50 * 1024 * 1024;

int Fail(const QString& message) {
  std::fprintf(stderr, "database_tool: %s\n", message.toStdString().c_str());
  return 2;
}

int FailCode(const QString& what, int32_t code) {
  return Fail(what + QStringLiteral(": ") +
              QString::fromStdString(platform::GbkToUtf8(database::ErrorText(code))));
}

QString FromUtf8(const std::string& utf8) { return QString::fromStdString(utf8); }

// A chapter text as the desk stores it: CR LF breaks, GBK (GB18030 beyond it), no leading blanks.
std::string StoredText(const QString& text) {
  QString crlf = text;
  crlf.replace(u'\n', QStringLiteral("\r\n"));
  return std::string(commands::TrimLeadingSpaces(platform::Utf16ToGbk(crlf.toStdU16String())));
}

QString ReadableText(std::string gbk) {
  gbk.resize(std::min(gbk.find('\0'), gbk.size()));
  return QString::fromStdU16String(platform::GbkToUtf16(gbk))
      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
  const std::span<const uint8_t> piece(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                       static_cast<size_t>(bytes.size()));
  const std::span<const uint8_t> pieces[] = {piece};
  return commands::ReplaceFileContent(platform::GbkPath(path.toStdString()), pieces);
}

std::optional<novel_import::Encoding> EncodingNamed(const std::string& name) {
  if (name == "utf-8") return novel_import::Encoding::kUtf8;
  if (name == "utf-8-bom") return novel_import::Encoding::kUtf8Bom;
  if (name == "utf-16le") return novel_import::Encoding::kUtf16Le;
  if (name == "utf-16be") return novel_import::Encoding::kUtf16Be;
  if (name == "gbk") return novel_import::Encoding::kGb18030;
  return std::nullopt;
}

}  // namespace

int Import(const ImportArguments& arguments) {
  QFile file(FromUtf8(arguments.file));
  if (!file.open(QIODevice::ReadOnly))
    return Fail(QStringLiteral("cannot read ") + file.fileName());
  if (file.size() > kLargestImport) return Fail(QStringLiteral("the file is larger than 50 MB"));
  const QByteArray bytes = file.readAll();
  const std::string_view view(bytes.constData(), static_cast<size_t>(bytes.size()));
  std::optional<novel_import::Encoding> encoding;
  if (!arguments.encoding.empty()) {
    encoding = EncodingNamed(arguments.encoding);
    if (!encoding) return Fail(QStringLiteral("unknown encoding ") + FromUtf8(arguments.encoding));
  } else {
    const novel_import::Detection detection = novel_import::DetectEncoding(view);
    if (!detection.encoding) return Fail(detection.refusal);
    encoding = detection.encoding;
  }
  QString pattern_error;
  const std::optional<novel_import::HeadingRules> rules =
      novel_import::HeadingRules::Make(FromUtf8(arguments.pattern), &pattern_error);
  if (!rules) return Fail(pattern_error);
  int64_t undecodable = 0;
  const QString text = novel_import::Decode(view, *encoding, &undecodable);
  const std::vector<novel_import::ImportedChapter> chapters =
      novel_import::SplitIntoChapters(text, *rules, QFileInfo(file.fileName()).completeBaseName());

  database::OpenOptions open;
  open.path = arguments.database;
  open.share_mode = 3;  // exclusive: never beside a running desk
  database::DatabaseList& list = database::DatabaseList::Instance();
  if (const int32_t result = list.Open(open))
    return FailCode(QStringLiteral("cannot open the database"), result);
  std::vector<runtime::Text> names;
  std::vector<runtime::ByteSet> texts;
  std::vector<std::vector<database::FieldUpdate>> records;
  names.reserve(chapters.size());
  texts.reserve(chapters.size());
  for (const novel_import::ImportedChapter& chapter : chapters) {
    names.emplace_back(platform::Utf16ToGbk(chapter.name.toStdU16String()));
    const std::string stored = StoredText(chapter.text);
    texts.emplace_back(
        std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(stored.data()), stored.size()));
    records.push_back(
        {{runtime::Gbk("姓名"), names.back().Arg()}, {runtime::Gbk("学号"), texts.back().Arg()}});
  }
  database::AppendedRecords made;
  const int32_t code = database::AppendAllOrNone(*list.Current(), records, &made);
  if (code != database::code::kOk) {
    return FailCode(QStringLiteral("the import stopped; %1 of %2 chapters were added")
                        .arg(made.live)
                        .arg(records.size()),
                    code);
  }
  std::printf("%zu chapters imported (%s%s)\n", records.size(),
              novel_import::EncodingName(*encoding).toStdString().c_str(),
              undecodable > 0 ? (", " + std::to_string(undecodable) + " undecodable").c_str() : "");
  return 0;
}

int Export(const ExportArguments& arguments) {
  database::OpenOptions open;
  open.path = arguments.database;
  open.read_only = true;
  database::DatabaseList& list = database::DatabaseList::Instance();
  if (const int32_t result = list.Open(open))
    return FailCode(QStringLiteral("cannot open the database"), result);
  database::Database& db = *list.Current();
  const int32_t name_field = db.FieldByName(runtime::Gbk("姓名"));
  const int32_t text_field = db.FieldByName(runtime::Gbk("学号"));
  if (name_field < 0 || text_field < 0)
    return Fail(QStringLiteral("the database is no chapter database"));
  std::vector<novel_export::ExportChapter> chapters;
  int number = 0;
  db.GoFirst();
  for (bool after = false; db.IsAfterLast(&after) == database::code::kOk && !after; db.Skip(1)) {
    bool deleted = true;
    if (db.IsDeleted(&deleted) != database::code::kOk || deleted) continue;
    ++number;
    if ((arguments.from > 0 && number < arguments.from) ||
        (arguments.to > 0 && number > arguments.to))
      continue;
    std::string name, text;
    if (db.ReadField(name_field, &name) != database::code::kOk ||
        db.ReadField(text_field, &text) != database::code::kOk) {
      return Fail(QStringLiteral("chapter %1 cannot be read whole").arg(number));
    }
    chapters.push_back({ReadableText(name), ReadableText(text)});
  }
  if (chapters.empty()) return Fail(QStringLiteral("no chapters to export"));
  novel_export::TxtOptions txt;
  txt.encoding = arguments.encoding == "gbk"         ? novel_export::TxtOptions::Encoding::kGbk
                 : arguments.encoding == "utf-8-bom" ? novel_export::TxtOptions::Encoding::kUtf8Bom
                                                     : novel_export::TxtOptions::Encoding::kUtf8;
  txt.crlf = !arguments.lf;
  txt.indent = arguments.indent;
  txt.headings = arguments.headings;
  const QString out = FromUtf8(arguments.out);
  bool written = false;
  if (arguments.format == "txt") {
    written = WriteWholeFile(out, novel_export::NovelAsTxt(chapters, txt));
  } else if (arguments.format == "txt-files") {
    written = QDir().mkpath(out);
    for (const novel_export::NamedFile& file : novel_export::ChaptersAsTxtFiles(chapters, txt)) {
      written = written && WriteWholeFile(QDir(out).filePath(file.name), file.bytes);
    }
  } else if (arguments.format == "epub") {
    novel_export::EpubBook book;
    book.title = FromUtf8(arguments.title);
    book.author = FromUtf8(arguments.author);
    if (!arguments.cover.empty()) {
      QFile cover(FromUtf8(arguments.cover));
      if (!cover.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read ") + cover.fileName());
      book.cover = cover.readAll();
    }
    QString error;
    const QByteArray epub = novel_export::NovelAsEpub(chapters, book, &error);
    if (epub.isEmpty()) return Fail(error);
    written = WriteWholeFile(out, epub);
  } else {
    return Fail(QStringLiteral("unknown format ") + FromUtf8(arguments.format));
  }
  if (!written) return Fail(QStringLiteral("cannot write ") + out);
  std::printf("%zu chapters exported to %s\n", chapters.size(), arguments.out.c_str());
  return 0;
}

}  // namespace novel_commands
