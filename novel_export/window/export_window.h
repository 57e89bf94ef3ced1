#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>

#include "novel_export/epub_export.h"
#include "novel_export/txt_export.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace novel_export {

enum class ExportFormat {
  kTxt,       // the chosen chapters in one TXT file (NovelAsTxt)
  kTxtFiles,  // one TXT file per chapter, into a folder (ChaptersAsTxtFiles)
  kEpub,      // an EPUB book (NovelAsEpub)
};

// Everything the author chose, for the desk to export.
struct ExportChoice {
  // The chapters, 0-based indices into the list the window was given, both included.
  size_t first = 0;
  size_t last = 0;
  ExportFormat format = ExportFormat::kTxt;
  TxtOptions txt;  // for kTxt and kTxtFiles
  // For kEpub: title, author and cover (its bytes, read when chosen). The identifier and the
  // time are left blank for NovelAsEpub to make.
  EpubBook book;
  // The file to write for kTxt and kEpub, which may exist (the system's save chooser has asked
  // the author about that, a typed path has not); for kTxtFiles the folder the files go into,
  // which may not exist yet (the desk makes it).
  QString destination;
};

// What the window starts from.
struct ExportStart {
  QStringList chapter_names;  // every chapter of the novel, in list order
  QString title;              // the novel's: the book's title and the file's suggested name
  QString author;
  QString folder;  // where the suggested destination lies (the last folder exported to)
};

// What the window asks the author for with a file chooser.
enum class PathQuestion {
  kCover,     // an existing JPEG or PNG picture
  kSaveTxt,   // a TXT file to write
  kSaveEpub,  // an EPUB file to write
  kFolder,    // an existing folder for the chapters' files
};
// Asks `question` over `parent`, starting at `start` (the path in the box); the chosen path, or
// empty when the author cancels.
using PathChooser =
    std::function<QString(QWidget* parent, PathQuestion question, const QString& start)>;
// The system's file choosers (Qt's own where the system has none).
QString ChoosePathWithFileDialog(QWidget* parent, PathQuestion question, const QString& start);

// "导出小说": which chapters (all, or a range by chapter number from 1, the chapters' names shown
// beside the numbers), the format (one TXT file, one TXT file per chapter, EPUB) and its
// options, and where to. The suggested destination follows the format until the author edits
// it. 导出 accepts only with a destination and at least one chapter; the window writes nothing.
// Modal: run it with exec() and read Chosen() after Accepted.
//
// Object names for tests: "range_all", "range_some", "from", "to", "from_name", "to_name",
// "format_txt", "format_txt_files", "format_epub", "txt_options", "encoding", "line_breaks",
// "headings", "indent", "epub_options", "title", "author", "cover", "cover_clear",
// "cover_label", "destination", "browse", "message", "ok", "cancel".
class ExportWindow : public QDialog {
 public:
  // `choose_path` asks for the cover and the destination (tests answer in its place).
  ExportWindow(const ExportStart& start, QWidget* parent,
               PathChooser choose_path = ChoosePathWithFileDialog);

  // What was chosen. Meaningful after exec() returned Accepted.
  ExportChoice Chosen() const;

 private:
  ExportFormat Format() const;
  void FormatChanged();
  void RangeChanged();
  void ChooseCover();
  void SetCover(const QString& path);
  void ChooseDestination();
  QString SuggestedDestination() const;
  void TryAccept();
  void Say(const QString& text);

  ExportStart start_;
  PathChooser choose_path_;
  QRadioButton* range_all_;
  QRadioButton* range_some_;
  QSpinBox* from_;
  QSpinBox* to_;
  QLabel* from_name_;
  QLabel* to_name_;
  QRadioButton* format_txt_;
  QRadioButton* format_txt_files_;
  QRadioButton* format_epub_;
  QGroupBox* txt_options_;
  QComboBox* encoding_;
  QComboBox* line_breaks_;
  QCheckBox* headings_;
  QCheckBox* indent_;
  QGroupBox* epub_options_;
  QLineEdit* title_;
  QLineEdit* author_;
  QLabel* cover_label_;
  QPushButton* cover_clear_;
  QLineEdit* destination_;
  QLabel* message_;
  QPushButton* ok_;
  QByteArray cover_;
  // The destination as last suggested: while the box still holds it, a change of format or
  // title suggests anew.
  QString suggested_;
};

}  // namespace novel_export
