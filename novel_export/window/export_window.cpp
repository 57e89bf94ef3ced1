#include "novel_export/window/export_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "novel_export/file_names.h"

namespace novel_export {

namespace {

// A cover larger than this is surely not a picture for a book (a phone photo is a few MB).
constexpr qint64 kLargestCover = 50 << 20;

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

}  // namespace

QString ChoosePathWithFileDialog(QWidget* parent, PathQuestion question, const QString& start) {
  switch (question) {
    case PathQuestion::kCover:
      return QFileDialog::getOpenFileName(parent, QStringLiteral("选择封面图片"), start,
                                          QStringLiteral("图片 (*.jpg *.jpeg *.png)"));
    case PathQuestion::kSaveTxt:
      return QFileDialog::getSaveFileName(parent, QStringLiteral("导出到"), start,
                                          QStringLiteral("文本文件 (*.txt)"));
    case PathQuestion::kSaveEpub:
      return QFileDialog::getSaveFileName(parent, QStringLiteral("导出到"), start,
                                          QStringLiteral("EPUB 电子书 (*.epub)"));
    case PathQuestion::kFolder:
      return QFileDialog::getExistingDirectory(parent, QStringLiteral("选择放章节文件的文件夹"),
                                               start);
  }
  return {};
}

ExportWindow::ExportWindow(const ExportStart& start, QWidget* parent, PathChooser choose_path)
    : QDialog(parent), start_(start), choose_path_(std::move(choose_path)) {
  setObjectName(QStringLiteral("novel_export"));
  setWindowTitle(QStringLiteral("导出小说"));
  const int count = static_cast<int>(start_.chapter_names.size());

  auto* range = new QGroupBox(QStringLiteral("章节"), this);
  range_all_ =
      Named(new QRadioButton(QStringLiteral("全部（共 %1 章）").arg(count), range), "range_all");
  range_some_ = Named(new QRadioButton(QStringLiteral("从"), range), "range_some");
  from_ = Named(new QSpinBox(range), "from");
  to_ = Named(new QSpinBox(range), "to");
  for (QSpinBox* box : {from_, to_}) box->setRange(std::min(1, count), count);
  from_->setValue(std::min(1, count));
  to_->setValue(count);
  from_name_ = Named(new QLabel(range), "from_name");
  to_name_ = Named(new QLabel(range), "to_name");
  range_all_->setChecked(true);
  auto* range_grid = new QGridLayout(range);
  range_grid->addWidget(range_all_, 0, 0, 1, 3);
  range_grid->addWidget(range_some_, 1, 0);
  range_grid->addWidget(from_, 1, 1);
  range_grid->addWidget(from_name_, 1, 2);
  range_grid->addWidget(new QLabel(QStringLiteral("到"), range), 2, 0, Qt::AlignRight);
  range_grid->addWidget(to_, 2, 1);
  range_grid->addWidget(to_name_, 2, 2);
  range_grid->setColumnStretch(2, 1);

  auto* format = new QGroupBox(QStringLiteral("格式"), this);
  format_txt_ = Named(new QRadioButton(QStringLiteral("一个 TXT 文件"), format), "format_txt");
  format_txt_files_ =
      Named(new QRadioButton(QStringLiteral("每章一个 TXT 文件（放进一个文件夹）"), format),
            "format_txt_files");
  format_epub_ = Named(new QRadioButton(QStringLiteral("EPUB 电子书"), format), "format_epub");
  format_txt_->setChecked(true);
  auto* format_column = new QVBoxLayout(format);
  for (QRadioButton* button : {format_txt_, format_txt_files_, format_epub_}) {
    format_column->addWidget(button);
  }

  txt_options_ = Named(new QGroupBox(QStringLiteral("TXT 选项"), this), "txt_options");
  encoding_ = Named(new QComboBox(txt_options_), "encoding");
  encoding_->addItem(QStringLiteral("UTF-8"), static_cast<int>(TxtOptions::Encoding::kUtf8));
  encoding_->addItem(QStringLiteral("UTF-8 带 BOM"),
                     static_cast<int>(TxtOptions::Encoding::kUtf8Bom));
  encoding_->addItem(QStringLiteral("GBK"), static_cast<int>(TxtOptions::Encoding::kGbk));
  line_breaks_ = Named(new QComboBox(txt_options_), "line_breaks");
  line_breaks_->addItem(QStringLiteral("CR LF（Windows）"), true);
  line_breaks_->addItem(QStringLiteral("LF（Linux、macOS、手机）"), false);
  headings_ = Named(new QCheckBox(QStringLiteral("每章前写章节名"), txt_options_), "headings");
  indent_ = Named(new QCheckBox(QStringLiteral("段首空两格"), txt_options_), "indent");
  const TxtOptions txt_defaults;
  headings_->setChecked(txt_defaults.headings);
  indent_->setChecked(txt_defaults.indent);
  line_breaks_->setCurrentIndex(txt_defaults.crlf ? 0 : 1);
  auto* txt_form = new QFormLayout(txt_options_);
  txt_form->addRow(QStringLiteral("编码："), encoding_);
  txt_form->addRow(QStringLiteral("换行："), line_breaks_);
  txt_form->addRow(headings_);
  txt_form->addRow(indent_);

  epub_options_ = Named(new QGroupBox(QStringLiteral("EPUB 选项"), this), "epub_options");
  title_ = Named(new QLineEdit(start_.title, epub_options_), "title");
  author_ = Named(new QLineEdit(start_.author, epub_options_), "author");
  auto* cover = Named(new QPushButton(QStringLiteral("选择封面…"), epub_options_), "cover");
  cover_clear_ = Named(new QPushButton(QStringLiteral("不用封面"), epub_options_), "cover_clear");
  cover_label_ = Named(new QLabel(QStringLiteral("无封面"), epub_options_), "cover_label");
  cover_clear_->setEnabled(false);
  auto* cover_row = new QHBoxLayout;
  cover_row->addWidget(cover);
  cover_row->addWidget(cover_clear_);
  cover_row->addWidget(cover_label_, 1);
  auto* epub_form = new QFormLayout(epub_options_);
  epub_form->addRow(QStringLiteral("书名："), title_);
  epub_form->addRow(QStringLiteral("作者："), author_);
  epub_form->addRow(QStringLiteral("封面："), cover_row);

  destination_ = Named(new QLineEdit(this), "destination");
  auto* browse = Named(new QPushButton(QStringLiteral("浏览…"), this), "browse");
  auto* destination_row = new QHBoxLayout;
  destination_row->addWidget(new QLabel(QStringLiteral("保存到："), this));
  destination_row->addWidget(destination_, 1);
  destination_row->addWidget(browse);

  message_ = Named(new QLabel(this), "message");
  message_->setWordWrap(true);
  ok_ = Named(new QPushButton(QStringLiteral("导出"), this), "ok");
  auto* cancel = Named(new QPushButton(QStringLiteral("取消"), this), "cancel");
  ok_->setDefault(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);

  auto* choices = new QGridLayout;
  choices->addWidget(range, 0, 0);
  choices->addWidget(format, 0, 1);
  choices->addWidget(txt_options_, 1, 0);
  choices->addWidget(epub_options_, 1, 1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(choices);
  column->addLayout(destination_row);
  column->addWidget(message_);
  column->addLayout(buttons);

  for (QRadioButton* button : {range_all_, range_some_}) {
    connect(button, &QRadioButton::toggled, this, [this] { RangeChanged(); });
  }
  connect(from_, &QSpinBox::valueChanged, this, [this](int value) {
    if (to_->value() < value) to_->setValue(value);
    RangeChanged();
  });
  connect(to_, &QSpinBox::valueChanged, this, [this](int value) {
    if (from_->value() > value) from_->setValue(value);
    RangeChanged();
  });
  for (QRadioButton* button : {format_txt_, format_txt_files_, format_epub_}) {
    connect(button, &QRadioButton::toggled, this, [this](bool on) {
      if (on) FormatChanged();
    });
  }
  connect(title_, &QLineEdit::textEdited, this, [this] { FormatChanged(); });
  connect(cover, &QPushButton::clicked, this, [this] { ChooseCover(); });
  connect(cover_clear_, &QPushButton::clicked, this, [this] { SetCover(QString()); });
  connect(browse, &QPushButton::clicked, this, [this] { ChooseDestination(); });
  connect(ok_, &QPushButton::clicked, this, [this] { TryAccept(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  RangeChanged();
  FormatChanged();
  if (count == 0) {
    range->setEnabled(false);
    ok_->setEnabled(false);
    Say(QStringLiteral("没有章节可导出。"));
  }
}

ExportChoice ExportWindow::Chosen() const {
  ExportChoice choice;
  const auto count = static_cast<size_t>(start_.chapter_names.size());
  if (range_some_->isChecked()) {
    choice.first = static_cast<size_t>(std::max(1, from_->value()) - 1);
    choice.last = static_cast<size_t>(std::max(1, to_->value()) - 1);
  } else {
    choice.last = count > 0 ? count - 1 : 0;
  }
  choice.format = Format();
  choice.txt.encoding = static_cast<TxtOptions::Encoding>(encoding_->currentData().toInt());
  choice.txt.crlf = line_breaks_->currentData().toBool();
  choice.txt.headings = headings_->isChecked();
  choice.txt.indent = indent_->isChecked();
  choice.book.title = title_->text().trimmed();
  choice.book.author = author_->text().trimmed();
  choice.book.cover = cover_;
  choice.destination = destination_->text().trimmed();
  return choice;
}

ExportFormat ExportWindow::Format() const {
  if (format_txt_files_->isChecked()) return ExportFormat::kTxtFiles;
  if (format_epub_->isChecked()) return ExportFormat::kEpub;
  return ExportFormat::kTxt;
}

void ExportWindow::FormatChanged() {
  const bool epub = Format() == ExportFormat::kEpub;
  txt_options_->setEnabled(!epub);
  epub_options_->setEnabled(epub);
  if (destination_->text() == suggested_) {
    suggested_ = SuggestedDestination();
    destination_->setText(suggested_);
  }
}

void ExportWindow::RangeChanged() {
  const bool some = range_some_->isChecked();
  from_->setEnabled(some);
  to_->setEnabled(some);
  const auto name_at = [&](int number) {
    return number >= 1 && number <= start_.chapter_names.size() ? start_.chapter_names[number - 1]
                                                                : QString();
  };
  from_name_->setText(name_at(from_->value()));
  to_name_->setText(name_at(to_->value()));
}

void ExportWindow::ChooseCover() {
  const QString path = choose_path_(this, PathQuestion::kCover, start_.folder);
  if (!path.isEmpty()) SetCover(path);
}

void ExportWindow::SetCover(const QString& path) {
  if (path.isEmpty()) {
    cover_.clear();
    cover_label_->setText(QStringLiteral("无封面"));
    cover_clear_->setEnabled(false);
    return;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    return Say(QStringLiteral("封面读不出来：%1").arg(file.errorString()));
  }
  if (file.size() > kLargestCover) return Say(QStringLiteral("封面图片太大（超过 50 MB）。"));
  const QByteArray bytes = file.readAll();
  if (!IsCoverPicture(bytes)) return Say(QStringLiteral("封面只能是 JPEG 或 PNG 图片。"));
  cover_ = bytes;
  cover_label_->setText(QFileInfo(path).fileName());
  cover_clear_->setEnabled(true);
  Say(QString());
}

void ExportWindow::ChooseDestination() {
  const ExportFormat format = Format();
  const PathQuestion question = format == ExportFormat::kTxtFiles ? PathQuestion::kFolder
                                : format == ExportFormat::kEpub   ? PathQuestion::kSaveEpub
                                                                  : PathQuestion::kSaveTxt;
  QString path = choose_path_(this, question, destination_->text());
  if (path.isEmpty()) return;
  // Not every system's chooser adds the format's suffix to a name typed without one.
  const QString suffix = question == PathQuestion::kSaveEpub  ? QStringLiteral(".epub")
                         : question == PathQuestion::kSaveTxt ? QStringLiteral(".txt")
                                                              : QString();
  if (!suffix.isEmpty() && !path.endsWith(suffix, Qt::CaseInsensitive)) path += suffix;
  destination_->setText(QDir::toNativeSeparators(path));
}

QString ExportWindow::SuggestedDestination() const {
  QString stem = SafeFileStem(title_->text());
  if (stem.isEmpty()) stem = QStringLiteral("小说");
  const QString folder = start_.folder.isEmpty() ? QDir::homePath() : start_.folder;
  switch (Format()) {
    case ExportFormat::kTxt:
      stem += QStringLiteral(".txt");
      break;
    case ExportFormat::kEpub:
      stem += QStringLiteral(".epub");
      break;
    case ExportFormat::kTxtFiles:
      break;  // a folder of the novel's name
  }
  return QDir::toNativeSeparators(QDir(folder).filePath(stem));
}

void ExportWindow::TryAccept() {
  const QString destination = destination_->text().trimmed();
  if (destination.isEmpty()) return Say(QStringLiteral("请选择导出到哪里。"));
  const QFileInfo where(destination);
  if (Format() == ExportFormat::kTxtFiles) {
    if (where.exists() && !where.isDir()) {
      return Say(QStringLiteral("“%1”是一个文件，每章一个文件要放进文件夹。").arg(destination));
    }
  } else if (where.isDir()) {
    return Say(QStringLiteral("“%1”是一个文件夹，请写上文件名。").arg(destination));
  }
  accept();
}

void ExportWindow::Say(const QString& text) { message_->setText(text); }

}  // namespace novel_export
