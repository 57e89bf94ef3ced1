#include "find_replace/window/find_window.h"

#include <QAbstractTextDocumentLayout>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <set>

#include "find_replace/replace_hits.h"

namespace find_replace {

namespace {

constexpr int kChapterColumn = 0;
constexpr int kContextColumn = 1;
// The context's parts, kept on the item for the painter.
constexpr int kBeforeRole = Qt::UserRole;
constexpr int kFoundRole = Qt::UserRole + 1;
constexpr int kAfterRole = Qt::UserRole + 2;
constexpr size_t kMostListed = 100000;

template <typename Control>
Control* Named(Control* control, const char* name) {
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

// Paints a hit's context with the found text marked, in one line.
class ContextDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (index.column() != kContextColumn) return QStyledItemDelegate::paint(painter, option, index);
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    plain.widget->style()->drawControl(QStyle::CE_ItemViewItem, &plain, painter, plain.widget);
    QTextDocument document;
    document.setDefaultFont(option.font);
    document.setDocumentMargin(1);
    document.setHtml(Html(index));
    painter->save();
    painter->translate(option.rect.left() + 2,
                       option.rect.top() + (option.rect.height() - document.size().height()) / 2);
    painter->setClipRect(QRect(0, 0, option.rect.width() - 2, option.rect.height()));
    document.drawContents(painter);
    painter->restore();
  }

 private:
  static QString Html(const QModelIndex& index) {
    const auto part = [&](int role) { return index.data(role).toString().toHtmlEscaped(); };
    return QStringLiteral(
               "<span style='white-space:pre'>%1<b "
               "style='background:#ffd966;color:#a00000'>%2</b>%3</span>")
        .arg(part(kBeforeRole), part(kFoundRole), part(kAfterRole));
  }
};

QString Flattened(QString text) {
  // A line break inside the context (a pattern may cross one) shows as a mark.
  return text.replace(u'\n', QChar(0x21B5))
      .replace(u'\r', QChar(0x21B5))
      .replace(QChar::LineSeparator, QChar(0x21B5));
}

}  // namespace

FindWindow::FindWindow(FindHost* host, QWidget* parent) : QDialog(parent), host_(host) {
  setObjectName(QStringLiteral("find_replace"));
  setWindowTitle(QStringLiteral("查找和替换"));
  setModal(false);
  find_text_ = Named(new QLineEdit(this), "find_text");
  replace_text_ = Named(new QLineEdit(this), "replace_text");
  pattern_ = Named(new QCheckBox(QStringLiteral("使用表达式"), this), "pattern");
  width_ = Named(new QCheckBox(QStringLiteral("全角半角视为相同"), this), "width");
  case_ = Named(new QCheckBox(QStringLiteral("区分大小写"), this), "case");
  names_ = Named(new QCheckBox(QStringLiteral("也查章节名"), this), "names");
  scope_chapter_ = Named(new QRadioButton(QStringLiteral("本章"), this), "scope_chapter");
  scope_novel_ = Named(new QRadioButton(QStringLiteral("全书"), this), "scope_novel");
  case_->setChecked(true);
  scope_chapter_->setChecked(true);

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel(QStringLiteral("查找："), this), 0, 0);
  fields->addWidget(find_text_, 0, 1);
  fields->addWidget(new QLabel(QStringLiteral("替换为："), this), 1, 0);
  fields->addWidget(replace_text_, 1, 1);
  auto* options = new QHBoxLayout;
  for (QWidget* option : std::initializer_list<QWidget*>{pattern_, width_, case_, names_}) {
    options->addWidget(option);
  }
  options->addStretch();
  options->addWidget(new QLabel(QStringLiteral("范围："), this));
  options->addWidget(scope_chapter_);
  options->addWidget(scope_novel_);

  auto* buttons = new QHBoxLayout;
  const auto button = [&](const char* name, const QString& text) {
    auto* made = Named(new QPushButton(text, this), name);
    made->setAutoDefault(false);
    buttons->addWidget(made);
    return made;
  };
  QPushButton* find_next = button("find_next", QStringLiteral("查找下一个"));
  QPushButton* find_all = button("find_all", QStringLiteral("全部查找"));
  QPushButton* replace_one = button("replace_one", QStringLiteral("替换"));
  QPushButton* replace_ticked = button("replace_ticked", QStringLiteral("替换勾选的"));
  QPushButton* replace_all = button("replace_all", QStringLiteral("全部替换"));
  undo_replace_ = button("undo_replace", QStringLiteral("撤销这次替换"));
  buttons->addStretch();
  QPushButton* close = button("close", QStringLiteral("关闭"));
  find_next->setDefault(true);
  undo_replace_->setEnabled(false);

  hits_ = Named(new QTreeWidget(this), "hits");
  hits_->setColumnCount(2);
  hits_->setHeaderLabels({QStringLiteral("章节"), QStringLiteral("上下文")});
  hits_->setRootIsDecorated(false);
  hits_->setUniformRowHeights(true);
  hits_->setItemDelegate(new ContextDelegate(hits_));
  hits_->header()->resizeSection(kChapterColumn, 200);
  summary_ = Named(new QLabel(this), "summary");

  auto* column = new QVBoxLayout(this);
  column->addLayout(fields);
  column->addLayout(options);
  column->addLayout(buttons);
  column->addWidget(hits_, 1);
  column->addWidget(summary_);
  resize(760, 460);

  connect(find_next, &QPushButton::clicked, this, [this] { FindNext(); });
  connect(find_text_, &QLineEdit::returnPressed, this, [this] { FindNext(); });
  connect(find_all, &QPushButton::clicked, this, [this] { FindAll(); });
  connect(replace_one, &QPushButton::clicked, this, [this] { ReplaceOne(); });
  connect(replace_ticked, &QPushButton::clicked, this, [this] { ReplaceListed(false); });
  connect(replace_all, &QPushButton::clicked, this, [this] { ReplaceListed(true); });
  connect(undo_replace_, &QPushButton::clicked, this, [this] { UndoReplace(); });
  connect(close, &QPushButton::clicked, this, &QDialog::close);
  connect(hits_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { OpenHit(item); });
  connect(hits_, &QTreeWidget::itemActivated, this,
          [this](QTreeWidgetItem* item) { OpenHit(item); });
}

void FindWindow::Open(bool replace, const QString& what) {
  if (!what.isEmpty() && !what.contains(u'\n')) find_text_->setText(what);
  replace_text_->setEnabled(true);
  show();
  raise();
  activateWindow();
  (replace && !find_text_->text().isEmpty() ? replace_text_ : find_text_)->setFocus();
  find_text_->selectAll();
}

std::optional<Matcher> FindWindow::MakeMatcher() {
  QString error;
  std::optional<Matcher> matcher = Matcher::Make(find_text_->text(),
                                                 {.pattern = pattern_->isChecked(),
                                                  .width_insensitive = width_->isChecked(),
                                                  .case_sensitive = case_->isChecked()},
                                                 &error);
  if (!matcher) Say(error);
  return matcher;
}

bool FindWindow::WholeNovel() const { return scope_novel_->isChecked(); }

std::vector<ChapterText> FindWindow::Searched() { return host_->Chapters(!WholeNovel()); }

void FindWindow::Say(const QString& text) { summary_->setText(text); }

void FindWindow::FindNext() {
  const std::optional<Matcher> matcher = MakeMatcher();
  if (!matcher) return;
  const std::vector<ChapterText> chapters = Searched();
  const int64_t shown = host_->ShownChapter();
  const auto shown_at =
      std::find_if(chapters.begin(), chapters.end(),
                   [&](const ChapterText& chapter) { return chapter.id == shown; });
  if (shown_at == chapters.end()) return Say(QStringLiteral("没有打开的章节。"));
  qsizetype start = 0, end = 0;
  host_->ShownSelection(&start, &end);
  const std::vector<Hit> here = matcher->FindAll(shown_at->text);
  // After the caret (or the selected hit) in the chapter shown first.
  for (const Hit& hit : here) {
    if (hit.start >= end &&
        !(hit.start == start && hit.start + hit.length == end && hit.length > 0)) {
      host_->OpenAt(shown, false, hit);
      return Say(QString());
    }
  }
  // Then the chapters after it (names first where asked), coming round to the shown one.
  const size_t count = chapters.size();
  const size_t from = static_cast<size_t>(shown_at - chapters.begin());
  for (size_t step = 1; WholeNovel() && step < count; ++step) {
    const ChapterText& chapter = chapters[(from + step) % count];
    if (names_->isChecked()) {
      if (const std::vector<Hit> hits = matcher->FindAll(chapter.name); !hits.empty()) {
        host_->OpenAt(chapter.id, true, hits.front());
        return Say(QString());
      }
    }
    if (const std::vector<Hit> hits = matcher->FindAll(chapter.text); !hits.empty()) {
      host_->OpenAt(chapter.id, false, hits.front());
      return Say(QString());
    }
  }
  if (!here.empty()) {
    host_->OpenAt(shown, false, here.front());
    return Say(QStringLiteral("已从头查起。"));
  }
  Say(QStringLiteral("没有找到。"));
}

void FindWindow::FindAll() {
  const std::optional<Matcher> matcher = MakeMatcher();
  if (!matcher) return;
  const std::vector<ChapterText> chapters = Searched();
  ShowHits(chapters, SearchNovel(chapters, *matcher, names_->isChecked(), kMostListed));
}

void FindWindow::ShowHits(const std::vector<ChapterText>& chapters, const NovelSearch& search) {
  hits_->clear();
  listed_.clear();
  std::set<size_t> chapters_hit;
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(search.hits.size()));
  for (const NovelHit& hit : search.hits) {
    const ChapterText& chapter = chapters[hit.chapter];
    chapters_hit.insert(hit.chapter);
    auto* item = new QTreeWidgetItem;
    item->setText(kChapterColumn,
                  hit.in_name ? chapter.name + QStringLiteral("（章节名）") : chapter.name);
    item->setData(kContextColumn, kBeforeRole, Flattened(hit.before));
    item->setData(kContextColumn, kFoundRole, Flattened(hit.found));
    item->setData(kContextColumn, kAfterRole, Flattened(hit.after));
    item->setToolTip(kContextColumn, hit.before + hit.found + hit.after);
    item->setCheckState(kChapterColumn, Qt::Checked);
    items.append(item);
    listed_.push_back({chapter.id, hit.in_name, hit.hit});
  }
  hits_->addTopLevelItems(items);
  QString summary = search.hits.empty() ? QStringLiteral("没有找到。")
                                        : QStringLiteral("共 %1 处，在 %2 章中。")
                                              .arg(search.hits.size())
                                              .arg(chapters_hit.size());
  if (search.cut_short) summary += QStringLiteral("（只列出前 %1 处）").arg(search.hits.size());
  Say(summary);
}

void FindWindow::OpenHit(QTreeWidgetItem* item) {
  const int index = hits_->indexOfTopLevelItem(item);
  if (index < 0 || static_cast<size_t>(index) >= listed_.size()) return;
  const Listed& listed = listed_[static_cast<size_t>(index)];
  if (!host_->OpenAt(listed.id, listed.in_name, listed.hit)) {
    Say(QStringLiteral("这一章已不在章节列表中。"));
  }
}

void FindWindow::ReplaceOne() {
  const std::optional<Matcher> matcher = MakeMatcher();
  if (!matcher) return;
  const std::vector<ChapterText> chapters = host_->Chapters(true);
  qsizetype start = 0, end = 0;
  host_->ShownSelection(&start, &end);
  if (!chapters.empty() && end > start) {
    const ChapterText& shown = chapters.front();
    for (const Hit& hit : matcher->FindAll(shown.text)) {
      if (hit.start != start || hit.start + hit.length != end) continue;
      const Hit chosen[] = {hit};
      std::vector<Hit> placed;
      const QString text =
          ReplaceHits(shown.text, *matcher, chosen, replace_text_->text(), &placed);
      if (host_->Apply({{shown.id, shown.name, text}}) == 0 && !placed.empty()) {
        host_->OpenAt(shown.id, false, {placed.front().start + placed.front().length, 0});
      }
      break;
    }
  }
  FindNext();
}

void FindWindow::ReplaceListed(bool all) {
  const std::optional<Matcher> matcher = MakeMatcher();
  if (!matcher) return;
  const std::vector<ChapterText> chapters = Searched();
  // The hits to replace, by chapter id: every hit there is, or the ticked ones of the list that
  // are still where it says (a chapter changed since keeps only those).
  std::map<int64_t, std::pair<std::vector<Hit>, std::vector<Hit>>> chosen;  // name's, text's
  int stale = 0;
  if (all) {
    for (const NovelHit& hit :
         SearchNovel(chapters, *matcher, names_->isChecked(), SIZE_MAX).hits) {
      auto& [in_name, in_text] = chosen[chapters[hit.chapter].id];
      (hit.in_name ? in_name : in_text).push_back(hit.hit);
    }
  } else {
    for (int index = 0; index < hits_->topLevelItemCount(); ++index) {
      if (hits_->topLevelItem(index)->checkState(kChapterColumn) != Qt::Checked) continue;
      const Listed& listed = listed_[static_cast<size_t>(index)];
      auto& [in_name, in_text] = chosen[listed.id];
      (listed.in_name ? in_name : in_text).push_back(listed.hit);
    }
  }
  std::vector<ChapterChange> changes, before;
  size_t replaced = 0;
  for (const ChapterText& chapter : chapters) {
    const auto found = chosen.find(chapter.id);
    if (found == chosen.end()) continue;
    auto [in_name, in_text] = found->second;
    if (!all) {
      // Only hits that the chapter still has, exactly there.
      const auto still = [&](std::vector<Hit>& hits, const QString& text) {
        const std::vector<Hit> now = matcher->FindAll(text);
        const auto kept = std::remove_if(hits.begin(), hits.end(), [&](const Hit& hit) {
          return std::find(now.begin(), now.end(), hit) == now.end();
        });
        stale += static_cast<int>(hits.end() - kept);
        hits.erase(kept, hits.end());
        std::sort(hits.begin(), hits.end(),
                  [](const Hit& a, const Hit& b) { return a.start < b.start; });
      };
      still(in_name, chapter.name);
      still(in_text, chapter.text);
    }
    if (in_name.empty() && in_text.empty()) continue;
    const QString with = replace_text_->text();
    ChapterChange change{chapter.id, chapter.name, chapter.text};
    if (!in_name.empty()) change.name = ReplaceHits(chapter.name, *matcher, in_name, with);
    if (!in_text.empty()) change.text = ReplaceHits(chapter.text, *matcher, in_text, with);
    replaced += in_name.size() + in_text.size();
    before.push_back({chapter.id, chapter.name, chapter.text});
    changes.push_back(std::move(change));
  }
  if (changes.empty()) {
    Say(stale > 0 ? QStringLiteral("勾选的地方都已改动，请重新查找。")
                  : QStringLiteral("没有可替换的地方。"));
    return;
  }
  if (changes.size() > 1) {
    QMessageBox ask(QMessageBox::Question, windowTitle(),
                    QStringLiteral("将在 %1 章中替换 %2 处。每章替换前的内容都存入章节历史，"
                                   "也可以用“撤销这次替换”一次撤回。要替换吗？")
                        .arg(changes.size())
                        .arg(replaced),
                    QMessageBox::NoButton, this);
    QPushButton* go = ask.addButton(QStringLiteral("替换"), QMessageBox::AcceptRole);
    ask.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
    ask.exec();
    if (ask.clickedButton() != go) return;
  }
  const int failed = host_->Apply(changes);
  before_replace_ = std::move(before);
  after_replace_ = std::move(changes);
  undo_replace_->setEnabled(true);
  FindAll();
  QString said =
      QStringLiteral("已替换 %1 处，共 %2 章。").arg(replaced).arg(after_replace_.size());
  if (failed > 0) said += QStringLiteral("其中 %1 章未能写入。").arg(failed);
  if (stale > 0) said += QStringLiteral("另有 %1 处已改动，没有替换。").arg(stale);
  Say(said);
}

void FindWindow::UndoReplace() {
  undo_replace_->setEnabled(false);
  const std::vector<ChapterText> chapters = host_->Chapters(false);
  std::vector<ChapterChange> back;
  int changed_since = 0;
  for (size_t i = 0; i < after_replace_.size(); ++i) {
    const ChapterChange& after = after_replace_[i];
    const auto now =
        std::find_if(chapters.begin(), chapters.end(),
                     [&](const ChapterText& chapter) { return chapter.id == after.id; });
    if (now == chapters.end()) continue;
    // A chapter written on after the replace keeps its text: its versions still hold the one
    // from before.
    if (now->name != after.name || now->text != after.text) {
      ++changed_since;
      continue;
    }
    back.push_back(before_replace_[i]);
  }
  const int failed = back.empty() ? 0 : host_->Apply(back);
  before_replace_.clear();
  after_replace_.clear();
  QString said =
      QStringLiteral("已撤销这次替换：%1 章恢复原样。").arg(static_cast<int>(back.size()) - failed);
  if (changed_since > 0) {
    said += QStringLiteral("%1 章替换后又改过，没有撤销（替换前的内容在章节历史中）。")
                .arg(changed_since);
  }
  if (failed > 0) said += QStringLiteral("%1 章未能写入。").arg(failed);
  FindAll();
  Say(said);
}

}  // namespace find_replace
