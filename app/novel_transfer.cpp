#include "app/novel_transfer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <span>
#include <string>
#include <vector>

#include "app/chapters.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "commands/file_replacement.h"
#include "commands/gbk_text.h"
#include "database/error_codes.h"
#include "forms/forms_runtime.h"
#include "novel_export/window/export_window.h"
#include "novel_import/text_counts.h"
#include "novel_import/window/import_window.h"
#include "platform/core/native_path.h"
#include "platform/gui/gbk_qstring.h"
#include "platform/gui/window.h"
#include "units/editbox/gbk_positions.h"
#include "writing_history/figure_text.h"

namespace app {

namespace {

// The boxes' own forms: the text box gives CR LF back as "\n", the name box holds one line.
constexpr units::GbkPositions kTextForm{.crlf_lines = true};
constexpr units::GbkPositions kNameForm{};
// A larger file is no novel to split by hand: refused before it is read.
constexpr qint64 kLargestImport = 50 * 1024 * 1024;

QString last_folder;  // where the author last imported from or exported to
ImportFileChooser import_file_chooser;

QWidget* DeskWidget() {
  gui::Window* desk = forms::FormsRuntime::Instance().UnitWindow(kMainWindow, 0);
  return desk != nullptr ? desk->Widget() : QApplication::activeWindow();
}

void Tell(const QString& text, bool warning) {
  const runtime::Text gbk(gui::GbkOfQString(text));
  const runtime::Text caption(warning ? texts::kWarningCaption : texts::kNovelTransferCaption);
  Core(libraries::kMessageBox,
       {gbk.Arg(), runtime::ArgCell::Int(warning ? 0x30 : 0x40), caption.Arg()});
}

QString Grouped(int64_t number) { return QString::fromStdString(writing_history::Grouped(number)); }

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
  const std::span<const uint8_t> piece(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                       static_cast<size_t>(bytes.size()));
  const std::span<const uint8_t> pieces[] = {piece};
  return commands::ReplaceFileContent(platform::GbkPath(path.toStdString()), pieces);
}

// The file the author picks: Qt's own dialog, the same on every system.
QString ChooseFileToImport() {
  QFileDialog chooser(DeskWidget(), QStringLiteral("导入小说"), last_folder,
                      QStringLiteral("文本文件 (*.txt);;所有文件 (*)"));
  chooser.setObjectName(QStringLiteral("import_chooser"));
  chooser.setOption(QFileDialog::DontUseNativeDialog);
  chooser.setFileMode(QFileDialog::ExistingFile);
  if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return {};
  return chooser.selectedFiles().front();
}

std::vector<novel_export::ExportChapter> ListedChaptersForExport(size_t first, size_t last) {
  std::vector<ListedChapter> listed = ReadListedChapters();
  std::vector<novel_export::ExportChapter> chapters;
  for (size_t i = first; i <= last && i < listed.size(); ++i) {
    chapters.push_back({kNameForm.Decode(listed[i].name), kTextForm.Decode(listed[i].text)});
    std::string().swap(listed[i].text);
  }
  return chapters;
}

}  // namespace

void UseImportFileChooser(ImportFileChooser chooser) { import_file_chooser = std::move(chooser); }

void ImportNovel() {
  if (!ChapterDatabaseOpen()) return;
  const QString path = import_file_chooser ? import_file_chooser() : ChooseFileToImport();
  if (path.isEmpty()) return;
  last_folder = QFileInfo(path).absolutePath();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return Tell(QStringLiteral("无法打开文件：%1（%2）")
                    .arg(QDir::toNativeSeparators(path), file.errorString()),
                true);
  }
  if (file.size() > kLargestImport) {
    return Tell(QStringLiteral("文件超过 50 MB，无法导入：%1").arg(QDir::toNativeSeparators(path)),
                true);
  }
  const QByteArray bytes = file.readAll();
  if (bytes.size() != file.size()) {
    return Tell(QStringLiteral("文件没能读完：%1（%2）")
                    .arg(QDir::toNativeSeparators(path), file.errorString()),
                true);
  }
  novel_import::ImportWindow preview(bytes.toStdString(), QFileInfo(path).completeBaseName(),
                                     DeskWidget());
  if (preview.exec() != QDialog::Accepted || preview.Chosen().empty()) return;
  std::vector<ChapterToAppend> chapters;
  int64_t characters = 0;
  for (const novel_import::ImportedChapter& chapter : preview.Chosen()) {
    // Saved as the desk saves a chapter typed in: the text without its leading blanks.
    chapters.push_back({kNameForm.Encode(chapter.name),
                        std::string(commands::TrimLeadingSpaces(kTextForm.Encode(chapter.text)))});
    characters += novel_import::CharacterCount(chapter.text);
  }
  const int32_t code = AppendChapters(chapters);
  if (code != database::code::kOk) {
    return Tell(QStringLiteral(
                    "导入没有完成，没有加入任何章节（已写入的部分不会出现在章节列表中）。原因：") +
                    gui::QStringOfGbk(database::ErrorText(code)),
                true);
  }
  Tell(QStringLiteral("已导入 %1 章，共 %2 字，在章节列表的最后。")
           .arg(Grouped(static_cast<int64_t>(chapters.size())), Grouped(characters)),
       false);
}

void ExportNovel() {
  if (!ChapterDatabaseOpen()) return;
  novel_export::ExportStart start;
  for (const ListedChapter& chapter : ReadListedChapters())
    start.chapter_names << kNameForm.Decode(chapter.name);
  if (start.chapter_names.isEmpty())
    return Tell(QStringLiteral("还没有章节，没有可导出的内容。"), true);
  start.title = QStringLiteral("我的小说");
  start.folder = last_folder.isEmpty() ? QDir::homePath() : last_folder;
  novel_export::ExportWindow window(start, DeskWidget());
  if (window.exec() != QDialog::Accepted) return;
  const novel_export::ExportChoice choice = window.Chosen();
  const std::vector<novel_export::ExportChapter> chapters =
      ListedChaptersForExport(choice.first, choice.last);
  const QString shown_path = QDir::toNativeSeparators(choice.destination);
  last_folder = QFileInfo(choice.destination).absolutePath();
  bool written = false;
  QString error;
  switch (choice.format) {
    case novel_export::ExportFormat::kTxt:
      written = WriteWholeFile(choice.destination, novel_export::NovelAsTxt(chapters, choice.txt));
      break;
    case novel_export::ExportFormat::kEpub: {
      const QByteArray book = novel_export::NovelAsEpub(chapters, choice.book, &error);
      written = !book.isEmpty() && WriteWholeFile(choice.destination, book);
      break;
    }
    case novel_export::ExportFormat::kTxtFiles: {
      last_folder = choice.destination;
      written = QDir().mkpath(choice.destination);
      for (const novel_export::NamedFile& file :
           novel_export::ChaptersAsTxtFiles(chapters, choice.txt)) {
        if (!written) break;
        written = WriteWholeFile(QDir(choice.destination).filePath(file.name), file.bytes);
      }
      break;
    }
  }
  if (!written) {
    return Tell(
        QStringLiteral("导出失败：无法写入 %1%2")
            .arg(shown_path, error.isEmpty() ? QString() : QStringLiteral("（%1）").arg(error)),
        true);
  }
  Tell(QStringLiteral("已导出 %1 章到 %2")
           .arg(Grouped(static_cast<int64_t>(chapters.size())), shown_path),
       false);
}

}  // namespace app
