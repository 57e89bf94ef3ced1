#include "app/chapter_history_window.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <algorithm>
#include <string>
#include <vector>

#include "app/chapter_versions.h"
#include "app/chapters.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "chapter_history/window/history_window.h"
#include "platform/core/code_page.h"
#include "writing_history/figure_text.h"

namespace app {

namespace {

using chapter_history::ChapterId;
using chapter_history::HistoryWindow;
using chapter_history::VersionInfo;
using chapter_history::VersionReason;
using chapter_history::VersionStore;

QString FromGbk(std::string_view gbk) {
  // A record's text ends at its first zero byte.
  return QString::fromStdString(platform::GbkToUtf8(gbk.substr(0, gbk.find('\0'))));
}

QString When(int64_t time) {
  return QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

QString ReasonText(VersionReason reason) {
  switch (reason) {
    case VersionReason::kLeft:
      return QStringLiteral("离开章节");
    case VersionReason::kWhileEditing:
      return QStringLiteral("编辑满十分钟");
    case VersionReason::kBeforeBigChange:
      return QStringLiteral("大段改动之前");
    case VersionReason::kBeforeDelete:
      return QStringLiteral("删除之前");
    case VersionReason::kBeforeRestore:
      return QStringLiteral("恢复旧版本之前");
    case VersionReason::kBeforeReplace:
      return QStringLiteral("替换、排版或导入之前");
  }
  return {};
}

// "2026-12-10 11:35　离开章节　3,204 字（+120）", newest first.
std::vector<QString> VersionLines(const std::vector<VersionInfo>& versions) {
  std::vector<QString> lines;
  for (size_t i = versions.size(); i-- > 0;) {
    const VersionInfo& version = versions[i];
    QString line = When(version.time) + QStringLiteral("　") + ReasonText(version.reason) +
                   QStringLiteral("　") +
                   QString::fromStdString(writing_history::Grouped(version.characters)) +
                   QStringLiteral(" 字");
    if (i > 0) {
      const int64_t change = version.characters - versions[i - 1].characters;
      line += change >= 0 ? QStringLiteral("（+%1）").arg(change)
                          : QStringLiteral("（%1）").arg(change);
    }
    lines.push_back(line);
  }
  return lines;
}

// Reads the versions of the listed chapters (by their ids) from the store, newest first, each
// read under the store's lock.
class StoreSource : public chapter_history::HistorySource {
 public:
  explicit StoreSource(std::vector<ChapterId> chapters) : chapters_(std::move(chapters)) {}

  bool ReadVersion(int chapter, int version, QString* name, QString* text) override {
    chapter_history::VersionText read;
    if (!Read(chapter, version, &read)) return false;
    *name = FromGbk(read.name);
    *text = FromGbk(read.text);
    return true;
  }

  bool Read(int chapter, int version, chapter_history::VersionText* read) {
    if (chapter < 0 || static_cast<size_t>(chapter) >= chapters_.size()) return false;
    const ChapterId id = chapters_[static_cast<size_t>(chapter)];
    const LockedVersions versions = ChapterVersionsForReading();
    if (versions.store == nullptr) return false;
    const size_t count = versions.store->Versions(id).size();
    if (version < 0 || static_cast<size_t>(version) >= count) return false;
    return versions.store->Read({id, count - 1 - static_cast<size_t>(version)}, read);
  }

 private:
  std::vector<ChapterId> chapters_;
};

void TellNoHistory() {
  QMessageBox::information(QApplication::activeWindow(), QStringLiteral("章节历史"),
                           QStringLiteral("章节历史文件无法打开，没有可查看的历史版本。"));
}

void TellNotRead() {
  QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("章节历史"),
                       QStringLiteral("这个版本无法读出，没有恢复。"));
}

}  // namespace

void ShowShownChapterHistory() {
  const ChapterId id = ShownChapterId();
  std::vector<VersionInfo> infos;
  {
    const LockedVersions versions = ChapterVersionsForReading();
    if (versions.store == nullptr) return TellNoHistory();
    infos = versions.store->Versions(id);
  }
  const runtime::Text current = ReadText(unit::kTextBox, property::kContent);
  const runtime::Text name = ReadText(unit::kNameBox, property::kContent);
  std::vector<chapter_history::HistoryChapter> chapters = {
      {FromGbk(name.View()), VersionLines(infos)}};
  StoreSource source({id});
  HistoryWindow window(HistoryWindow::Mode::kChapter,
                       QStringLiteral("章节历史 - ") + FromGbk(name.View()), std::move(chapters),
                       FromGbk(current.View()), &source, QApplication::activeWindow());
  if (window.exec() != QDialog::Accepted || id == 0) return;
  chapter_history::VersionText chosen;
  if (!source.Read(0, window.chosen_version(), &chosen)) return TellNotRead();
  // A chapter shown read-only (its record cannot be read whole) is never written over: the
  // version becomes a new chapter instead.
  if (ShownChapterUnreadable()) {
    if (ShowNewBlankChapter()) PutVersionIntoBoxes(chosen.name, chosen.text);
    return;
  }
  // The current text becomes a version first: a restore can itself be taken back.
  KeepShownChapterVersion(VersionReason::kBeforeRestore);
  PutVersionIntoBoxes(chosen.name, chosen.text);
}

void ShowDeletedChapters() {
  LockedVersions locked = ChapterVersionsForReading();
  VersionStore* store = locked.store;
  if (store == nullptr) return TellNoHistory();
  const std::vector<int32_t>& listed = ListedChapterIds();
  // The chapters with versions that the list no longer has, the latest deleted first.
  std::vector<std::pair<int64_t, ChapterId>> deleted;
  for (const ChapterId id : store->Chapters()) {
    if (std::find(listed.begin(), listed.end(), id) != listed.end()) continue;
    deleted.emplace_back(store->Versions(id).back().time, id);
  }
  std::sort(deleted.rbegin(), deleted.rend());
  std::vector<chapter_history::HistoryChapter> chapters;
  std::vector<ChapterId> ids;
  for (const auto& [time, id] : deleted) {
    const std::vector<VersionInfo> versions = store->Versions(id);
    chapter_history::VersionText newest;
    const QString name = store->Read({id, versions.size() - 1}, &newest) && !newest.name.empty()
                             ? FromGbk(newest.name)
                             : QStringLiteral("（无名章节）");
    chapters.push_back({name + QStringLiteral("　") +
                            (versions.back().reason == VersionReason::kBeforeDelete
                                 ? QStringLiteral("删除于 ")
                                 : QStringLiteral("最后的版本 ")) +
                            When(time),
                        VersionLines(versions)});
    ids.push_back(id);
  }
  locked.lock.unlock();
  StoreSource source(ids);
  HistoryWindow window(HistoryWindow::Mode::kDeletedChapters, QStringLiteral("已删除的章节"),
                       std::move(chapters), QString(), &source, QApplication::activeWindow());
  if (window.exec() != QDialog::Accepted) return;
  chapter_history::VersionText chosen;
  if (!source.Read(window.chosen_chapter(), window.chosen_version(), &chosen)) return TellNotRead();
  const ChapterId from = ids[static_cast<size_t>(window.chosen_chapter())];
  if (!ShowNewBlankChapter()) return;
  // Handed before the text goes in, so the new chapter's first version follows the old ones.
  MoveChapterVersions(from, ShownChapterId());
  PutVersionIntoBoxes(chosen.name, chosen.text);
}

}  // namespace app
