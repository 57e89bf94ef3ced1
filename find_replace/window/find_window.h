#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <vector>

#include "find_replace/matcher.h"
#include "find_replace/novel_search.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace find_replace {

// One chapter's new name and text after a replace.
struct ChapterChange {
  int64_t id;
  QString name;
  QString text;
};

// What the find window asks of the desk. Texts are in the text box's form (its line breaks).
class FindHost {
 public:
  virtual ~FindHost() = default;
  // Every chapter in list order (or the shown one alone), the shown one as its boxes hold it.
  virtual std::vector<ChapterText> Chapters(bool shown_only) = 0;
  // The shown chapter's id (0 for none), and its caret or selection in its text.
  virtual int64_t ShownChapter() = 0;
  virtual void ShownSelection(qsizetype* start, qsizetype* end) = 0;
  // Shows chapter `id` (switching to it if need be) with `hit` selected in its name or text;
  // false when it is no longer listed.
  virtual bool OpenAt(int64_t id, bool in_name, Hit hit) = 0;
  // Writes the changes, each chapter's earlier version kept first; the shown chapter's text as
  // one edit that undo takes back. Returns how many could not be written (told by the host).
  virtual int Apply(const std::vector<ChapterChange>& changes) = 0;
};

// "查找和替换": in the shown chapter or the whole novel, plain text or a pattern, full- and
// half-width letters and digits alike on request, names too on request. The hit list shows
// every hit with its chapter and context; a click opens the chapter at the hit; ticked hits or
// all of them are replaced. A replace across the novel can be taken back whole ("撤销这次替换")
// while each changed chapter still holds what it put there. Modeless: the author writes on
// while it is open. Object names for tests: "find_text", "replace_text", "pattern", "width",
// "case", "names", "scope_chapter", "scope_novel", "find_next", "find_all", "replace_one",
// "replace_ticked", "replace_all", "undo_replace", "close", "hits", "summary".
class FindWindow : public QDialog {
 public:
  FindWindow(FindHost* host, QWidget* parent);

  // Brought up for finding or replacing, `what` (a selection) put in the find box.
  void Open(bool replace, const QString& what);

 private:
  std::optional<Matcher> MakeMatcher();
  bool WholeNovel() const;
  std::vector<ChapterText> Searched();
  void FindNext();
  void FindAll();
  void ShowHits(const std::vector<ChapterText>& chapters, const NovelSearch& search);
  void OpenHit(QTreeWidgetItem* item);
  void ReplaceOne();
  // Replaces the ticked hits (or every hit with `all`) that are still where the list says.
  void ReplaceListed(bool all);
  void UndoReplace();
  void Say(const QString& text);

  FindHost* host_;
  QLineEdit* find_text_;
  QLineEdit* replace_text_;
  QCheckBox* pattern_;
  QCheckBox* width_;
  QCheckBox* case_;
  QCheckBox* names_;
  QRadioButton* scope_chapter_;
  QRadioButton* scope_novel_;
  QPushButton* undo_replace_;
  QTreeWidget* hits_;
  QLabel* summary_;
  // The hits listed: the chapter's id and the hit, by item.
  struct Listed {
    int64_t id;
    bool in_name;
    Hit hit;
  };
  std::vector<Listed> listed_;
  // The last replace across chapters, for taking it back: each chapter as it was and as the
  // replace left it.
  std::vector<ChapterChange> before_replace_;
  std::vector<ChapterChange> after_replace_;
};

}  // namespace find_replace
