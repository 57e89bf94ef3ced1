#include "novel_import/window/import_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

#include "novel_import/text_counts.h"

namespace novel_import {

namespace {

constexpr int kNameColumn = 0;
constexpr int kFirstLineColumn = 1;
constexpr int kCountColumn = 2;
constexpr qsizetype kFirstLineShown = 30;
// The pause after the author stops typing a pattern before the file is cut by it: cutting a
// long novel takes a moment, which each key should not cost.
constexpr int kPatternPauseMs = 400;

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

QString SizeText(size_t bytes) {
  if (bytes < 1024) return QStringLiteral("%1 字节").arg(bytes);
  if (bytes < 1024 * 1024) return QStringLiteral("%1 KB").arg(bytes / 1024.0, 0, 'f', 1);
  return QStringLiteral("%1 MB").arg(bytes / (1024.0 * 1024.0), 0, 'f', 1);
}

// The first line of `text` that is not blank, trimmed and cut to kFirstLineShown characters.
QString FirstLine(QStringView text) {
  for (qsizetype start = 0; start < text.size();) {
    qsizetype end = text.indexOf(u'\n', start);
    if (end < 0) end = text.size();
    const QStringView line = TrimmedLine(text.mid(start, end - start));
    if (!line.isEmpty()) {
      if (line.size() <= kFirstLineShown) return line.toString();
      qsizetype cut = kFirstLineShown;
      if (line[cut - 1].isHighSurrogate()) --cut;
      return line.first(cut).toString() + QStringLiteral("…");
    }
    start = end + 1;
  }
  return QString();
}

QString WithoutExtension(const QString& file_name) {
  const qsizetype dot = file_name.lastIndexOf(u'.');
  return dot > 0 ? file_name.left(dot) : file_name;
}

}  // namespace

ImportWindow::ImportWindow(std::string bytes, const QString& file_name, QWidget* parent)
    : QDialog(parent),
      bytes_(std::move(bytes)),
      untitled_name_(WithoutExtension(file_name)),
      detection_(DetectEncoding(bytes_)) {
  setObjectName(QStringLiteral("novel_import"));
  setWindowTitle(QStringLiteral("导入小说"));
  auto* file = Named(
      new QLabel(QStringLiteral("%1（%2）").arg(file_name, SizeText(bytes_.size())), this), "file");
  file->setTextInteractionFlags(Qt::TextSelectableByMouse);
  encoding_ = Named(new QComboBox(this), "encoding");
  for (const Encoding encoding : kEncodings) {
    encoding_->addItem(EncodingName(encoding), static_cast<int>(encoding));
  }
  encoding_->setCurrentIndex(
      detection_.encoding ? encoding_->findData(static_cast<int>(*detection_.encoding)) : -1);
  encoding_->setEnabled(detection_.encoding || detection_.forcible);
  own_pattern_ = Named(new QLineEdit(this), "own_pattern");
  own_pattern_->setPlaceholderText(QStringLiteral("留空则只按常见的章节标题拆分，例如 第\\d+话.*"));
  pattern_error_ = Named(new QLabel(this), "pattern_error");
  pattern_error_->setStyleSheet(QStringLiteral("color:#a00000"));
  pattern_error_->setWordWrap(true);
  pattern_pause_ = new QTimer(this);
  pattern_pause_->setSingleShot(true);
  pattern_pause_->setInterval(kPatternPauseMs);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QStringLiteral("文件："), this), 0, 0);
  fields->addWidget(file, 0, 1);
  fields->addWidget(new QLabel(QStringLiteral("编码："), this), 1, 0);
  fields->addWidget(encoding_, 1, 1, Qt::AlignLeft);
  fields->addWidget(new QLabel(QStringLiteral("自定标题："), this), 2, 0);
  fields->addWidget(own_pattern_, 2, 1);
  fields->addWidget(pattern_error_, 3, 1);
  fields->setColumnStretch(1, 1);

  chapters_list_ = Named(new QTreeWidget(this), "chapters");
  chapters_list_->setColumnCount(3);
  chapters_list_->setHeaderLabels(
      {QStringLiteral("章节名"), QStringLiteral("第一行"), QStringLiteral("字数")});
  chapters_list_->setRootIsDecorated(false);
  chapters_list_->setUniformRowHeights(true);
  // The count stays in sight: the first line takes what room is left.
  chapters_list_->header()->setStretchLastSection(false);
  chapters_list_->header()->resizeSection(kNameColumn, 160);
  chapters_list_->header()->setSectionResizeMode(kFirstLineColumn, QHeaderView::Stretch);
  chapters_list_->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  text_view_ = Named(new QPlainTextEdit(this), "text");
  text_view_->setReadOnly(true);
  text_view_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text_view_->setPlaceholderText(QStringLiteral("在正文中点选一行，可从那一行拆分出新的一章。"));
  auto* panes = new QSplitter(Qt::Horizontal, this);
  panes->addWidget(chapters_list_);
  panes->addWidget(text_view_);
  panes->setStretchFactor(0, 3);
  panes->setStretchFactor(1, 2);

  auto* edits = new QHBoxLayout;
  merge_ = Named(new QPushButton(QStringLiteral("与下一章合并"), this), "merge");
  split_name_ = Named(new QLineEdit(this), "split_name");
  split_name_->setPlaceholderText(QStringLiteral("新章节名（留空则以所点的那一行为章节名）"));
  split_ = Named(new QPushButton(QStringLiteral("从此行拆分"), this), "split");
  edits->addWidget(merge_);
  edits->addStretch();
  edits->addWidget(split_name_, 1);
  edits->addWidget(split_);

  summary_ = Named(new QLabel(this), "summary");
  summary_->setWordWrap(true);
  ok_ = Named(new QPushButton(QStringLiteral("导入"), this), "ok");
  auto* cancel = Named(new QPushButton(QStringLiteral("取消"), this), "cancel");
  ok_->setDefault(true);
  for (QPushButton* button : {merge_, split_, cancel}) button->setAutoDefault(false);
  auto* closing = new QHBoxLayout;
  closing->addWidget(summary_, 1);
  closing->addWidget(ok_);
  closing->addWidget(cancel);

  auto* column = new QVBoxLayout(this);
  column->addLayout(fields);
  column->addWidget(panes, 1);
  column->addLayout(edits);
  column->addLayout(closing);
  resize(860, 560);

  connect(encoding_, &QComboBox::currentIndexChanged, this, [this] { Read(); });
  connect(own_pattern_, &QLineEdit::textChanged, this, [this] { TakePattern(); });
  connect(own_pattern_, &QLineEdit::returnPressed, this, [this] {
    // The author asked for it now: no pause.
    if (pattern_pause_->isActive()) {
      pattern_pause_->stop();
      Cut();
    }
  });
  connect(pattern_pause_, &QTimer::timeout, this, [this] { Cut(); });
  connect(chapters_list_, &QTreeWidget::currentItemChanged, this, [this] { ShowChosenText(); });
  connect(merge_, &QPushButton::clicked, this, [this] { MergeChosen(); });
  connect(split_, &QPushButton::clicked, this, [this] { SplitChosen(); });
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  Read();
}

void ImportWindow::Read() {
  text_.clear();
  undecodable_ = 0;
  if (encoding_->currentIndex() >= 0) {
    text_ = Decode(bytes_, static_cast<Encoding>(encoding_->currentData().toInt()), &undecodable_);
  }
  Cut();
}

void ImportWindow::TakePattern() {
  QString error;
  std::optional<HeadingRules> rules = HeadingRules::Make(own_pattern_->text(), &error);
  pattern_error_->setText(error);
  if (!rules) {
    // The chapters stay as the last pattern that compiled cut them.
    pattern_pause_->stop();
    return;
  }
  rules_ = std::move(*rules);
  pattern_pause_->start();
}

void ImportWindow::Cut() {
  pattern_pause_->stop();
  chapters_ = SplitIntoChapters(text_, rules_, untitled_name_);
  List(0);
}

void ImportWindow::List(size_t current) {
  // The list is filled and its current item chosen before the text is shown once.
  const QSignalBlocker quiet(chapters_list_);
  chapters_list_->clear();
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(chapters_.size()));
  for (const ImportedChapter& chapter : chapters_) {
    auto* item = new QTreeWidgetItem;
    item->setText(kNameColumn, chapter.name);
    item->setText(kFirstLineColumn, FirstLine(chapter.text));
    item->setText(kCountColumn, QString::number(CharacterCount(chapter.text)));
    item->setTextAlignment(kCountColumn, Qt::AlignRight | Qt::AlignVCenter);
    item->setToolTip(kNameColumn, QStringLiteral("文件第 %1 行").arg(chapter.first_line));
    items.append(item);
  }
  chapters_list_->addTopLevelItems(items);
  if (current < chapters_.size()) {
    chapters_list_->setCurrentItem(chapters_list_->topLevelItem(static_cast<int>(current)));
  }
  ShowChosenText();
  Summarise(QString());
}

size_t ImportWindow::ChosenIndex() const {
  const int index = chapters_list_->indexOfTopLevelItem(chapters_list_->currentItem());
  return index < 0 ? chapters_.size() : static_cast<size_t>(index);
}

void ImportWindow::ShowChosenText() {
  const size_t index = ChosenIndex();
  text_view_->setPlainText(index < chapters_.size() ? chapters_[index].text : QString());
  merge_->setEnabled(index + 1 < chapters_.size());
  split_->setEnabled(index < chapters_.size() && !chapters_[index].text.isEmpty());
}

void ImportWindow::MergeChosen() {
  const size_t index = ChosenIndex();
  if (MergeWithNext(&chapters_, index)) List(index);
}

void ImportWindow::SplitChosen() {
  const size_t index = ChosenIndex();
  const int64_t line = text_view_->textCursor().block().blockNumber() + 1;
  const QString name = split_name_->text().trimmed();
  if (!SplitAt(&chapters_, index, line, name)) {
    return Summarise(
        name.isEmpty()
            ? QStringLiteral("所点的是空行，不能作为章节名；请点选标题所在的行，或填写新章节名。")
            : QStringLiteral("所点的行之后没有文字，无法拆分。"));
  }
  split_name_->clear();
  List(index + 1);
}

void ImportWindow::Summarise(const QString& notice) {
  ok_->setEnabled(!chapters_.empty());
  QString said;
  if (!detection_.encoding && encoding_->currentIndex() < 0) {
    said = detection_.refusal;
  } else if (chapters_.empty()) {
    said = QStringLiteral("文件中没有文字。");
  } else {
    int64_t characters = 0, outside = 0;
    for (const ImportedChapter& chapter : chapters_) {
      characters += CharacterCount(chapter.text);
      outside += OutsideGbk(chapter.name) + OutsideGbk(chapter.text);
    }
    said = QStringLiteral("共 %1 章，%2 字").arg(chapters_.size()).arg(characters);
    if (outside > 0) {
      said += QStringLiteral("；%1 个字符不在 GBK 中，将按 GB18030 四字节保存").arg(outside);
    }
    if (undecodable_ > 0) {
      said += QStringLiteral("；%1 处无法按 %2 解码，已换成 \uFFFD")
                  .arg(undecodable_)
                  .arg(encoding_->currentText());
    }
    if (!detection_.encoding) said = detection_.refusal + QStringLiteral("\n") + said;
  }
  if (!notice.isEmpty()) said = notice + QStringLiteral("\n") + said;
  summary_->setText(said);
}

}  // namespace novel_import
