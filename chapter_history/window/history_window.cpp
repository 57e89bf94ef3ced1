#include "chapter_history/window/history_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>
#include <string>
#include <utility>

#include "chapter_history/text_diff.h"

namespace chapter_history {

namespace {

// Taken out since the version: struck through on red; put in since: on green.
QTextCharFormat RemovedFormat() {
  QTextCharFormat format;
  format.setBackground(QColor(0xF6, 0xC9, 0xC9));
  format.setFontStrikeOut(true);
  return format;
}

QTextCharFormat AddedFormat() {
  QTextCharFormat format;
  format.setBackground(QColor(0xC4, 0xEC, 0xC4));
  return format;
}

QString Slice(const std::u32string& text, size_t from, size_t length) {
  return QString::fromUcs4(text.data() + from, static_cast<qsizetype>(length));
}

std::u32string CodePoints(const QString& text) {
  const QList<uint> ucs4 = text.toUcs4();
  return std::u32string(ucs4.begin(), ucs4.end());
}

QTextEdit* MakePane(QWidget* parent, const QString& name) {
  auto* pane = new QTextEdit(parent);
  pane->setObjectName(name);
  pane->setReadOnly(true);
  pane->setAcceptRichText(false);
  return pane;
}

}  // namespace

HistoryWindow::HistoryWindow(Mode mode, QString title, std::vector<HistoryChapter> chapters,
                             QString current_text, HistorySource* source, QWidget* parent)
    : QDialog(parent),
      mode_(mode),
      chapters_(std::move(chapters)),
      current_text_(std::move(current_text)),
      source_(source) {
  setWindowTitle(title);
  setObjectName(QStringLiteral("chapter_history"));
  auto* layout = new QVBoxLayout(this);
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  auto* lists = new QWidget(splitter);
  auto* lists_layout = new QVBoxLayout(lists);
  lists_layout->setContentsMargins(0, 0, 0, 0);
  if (mode_ == Mode::kDeletedChapters) {
    lists_layout->addWidget(new QLabel(QStringLiteral("已删除的章节"), lists));
    chapter_list_ = new QListWidget(lists);
    chapter_list_->setObjectName(QStringLiteral("deleted_chapters"));
    for (const HistoryChapter& chapter : chapters_) chapter_list_->addItem(chapter.title);
    lists_layout->addWidget(chapter_list_, 1);
    connect(chapter_list_, &QListWidget::currentRowChanged, this,
            [this](int row) { ShowChapter(row); });
  }
  lists_layout->addWidget(new QLabel(QStringLiteral("历史版本（新的在上）"), lists));
  version_list_ = new QListWidget(lists);
  version_list_->setObjectName(QStringLiteral("versions"));
  lists_layout->addWidget(version_list_, 2);
  connect(version_list_, &QListWidget::currentRowChanged, this,
          [this](int row) { ShowVersion(row); });

  auto* texts = new QWidget(splitter);
  auto* texts_layout = new QVBoxLayout(texts);
  texts_layout->setContentsMargins(0, 0, 0, 0);
  summary_ = new QLabel(texts);
  summary_->setObjectName(QStringLiteral("summary"));
  texts_layout->addWidget(summary_);
  auto* panes = new QHBoxLayout;
  auto* version_column = new QVBoxLayout;
  version_column->addWidget(new QLabel(mode_ == Mode::kChapter
                                           ? QStringLiteral("所选版本（红色删除线：此后删去的）")
                                           : QStringLiteral("所选版本"),
                                       texts));
  version_pane_ = MakePane(texts, QStringLiteral("version_text"));
  version_column->addWidget(version_pane_, 1);
  panes->addLayout(version_column, 1);
  if (mode_ == Mode::kChapter) {
    auto* current_column = new QVBoxLayout;
    current_column->addWidget(new QLabel(QStringLiteral("当前正文（绿色：此后加入的）"), texts));
    current_pane_ = MakePane(texts, QStringLiteral("current_text"));
    current_column->addWidget(current_pane_, 1);
    panes->addLayout(current_column, 1);
  }
  texts_layout->addLayout(panes, 1);
  splitter->addWidget(lists);
  splitter->addWidget(texts);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 740});
  layout->addWidget(splitter, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  restore_ = new QPushButton(
      mode_ == Mode::kChapter ? QStringLiteral("恢复此版本") : QStringLiteral("恢复为新章节"),
      this);
  restore_->setObjectName(QStringLiteral("restore"));
  copy_ = new QPushButton(QStringLiteral("复制全文"), this);
  copy_->setObjectName(QStringLiteral("copy"));
  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  close->setObjectName(QStringLiteral("close"));
  for (QPushButton* button : {restore_, copy_, close}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  layout->addLayout(buttons);
  connect(restore_, &QPushButton::clicked, this, &QDialog::accept);
  connect(copy_, &QPushButton::clicked, this, [this] { CopyWholeText(); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);

  resize(1040, 620);
  if (chapter_list_ != nullptr && !chapters_.empty()) {
    chapter_list_->setCurrentRow(0);
  } else {
    ShowChapter(chapters_.empty() ? -1 : 0);
  }
}

void HistoryWindow::ShowChapter(int chapter) {
  chapter_ = chapter;
  version_list_->clear();
  if (chapter >= 0 && static_cast<size_t>(chapter) < chapters_.size()) {
    for (const QString& line : chapters_[static_cast<size_t>(chapter)].versions) {
      version_list_->addItem(line);
    }
  }
  if (version_list_->count() > 0) {
    version_list_->setCurrentRow(0);
  } else {
    ShowVersion(-1);
  }
}

void HistoryWindow::ShowVersion(int version) {
  version_ = version;
  version_text_.clear();
  version_pane_->clear();
  QString name;
  const bool read = version >= 0 && chapter_ >= 0 &&
                    source_->ReadVersion(chapter_, version, &name, &version_text_);
  restore_->setEnabled(read);
  copy_->setEnabled(read);
  if (current_pane_ != nullptr) current_pane_->setPlainText(current_text_);
  if (version < 0) {
    summary_->setText(QStringLiteral(
        "还没有历史版本：离开章节、编辑满十分钟或大段改动之前，都会自动保留一个版本。"));
    return;
  }
  if (!read) {
    summary_->setText(QStringLiteral("这个版本无法读出。"));
    return;
  }
  if (current_pane_ == nullptr) {
    summary_->setText(QStringLiteral("章节名：") + name);
    version_pane_->setPlainText(version_text_);
    return;
  }
  // Both panes are written piece by piece, the changed pieces marked.
  const std::u32string old_text = CodePoints(version_text_);
  const std::u32string new_text = CodePoints(current_text_);
  const std::vector<DiffPiece> pieces = DiffTexts(old_text, new_text);
  current_pane_->clear();
  QTextCursor old_cursor(version_pane_->document());
  QTextCursor new_cursor(current_pane_->document());
  const QTextCharFormat plain;
  size_t removed = 0;
  size_t added = 0;
  int first_change = -1;
  for (const DiffPiece& piece : pieces) {
    switch (piece.kind) {
      case DiffPiece::Kind::kSame:
        old_cursor.insertText(Slice(old_text, piece.from, piece.length), plain);
        new_cursor.insertText(Slice(new_text, piece.new_from, piece.length), plain);
        break;
      case DiffPiece::Kind::kRemoved:
        if (first_change < 0) first_change = old_cursor.position();
        old_cursor.insertText(Slice(old_text, piece.from, piece.length), RemovedFormat());
        removed += piece.length;
        break;
      case DiffPiece::Kind::kAdded:
        new_cursor.insertText(Slice(new_text, piece.from, piece.length), AddedFormat());
        added += piece.length;
        break;
    }
  }
  summary_->setText(pieces.empty() || (removed == 0 && added == 0)
                        ? QStringLiteral("章节名：%1　　与当前正文相同").arg(name)
                        : QStringLiteral("章节名：%1　　与当前正文相比，此后删去 %2 字，加入 %3 字")
                              .arg(name)
                              .arg(removed)
                              .arg(added));
  // The first change in view.
  if (first_change >= 0) {
    QTextCursor at(version_pane_->document());
    at.setPosition(first_change);
    version_pane_->setTextCursor(at);
    version_pane_->ensureCursorVisible();
  }
}

void HistoryWindow::CopyWholeText() { QApplication::clipboard()->setText(version_text_); }

}  // namespace chapter_history
