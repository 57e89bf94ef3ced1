#pragma once

#include <QDialog>
#include <QString>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;
class QTextEdit;

// The window that shows a chapter's earlier versions (or the deleted chapters' versions): the
// versions newest first, the chosen one beside the current text with what changed marked by
// characters, and the buttons that bring one back or copy it. It reads the versions through a
// HistorySource and only says what the author chose: the desk does the restoring.
namespace chapter_history {

struct HistoryChapter {
  QString title;                  // a deleted chapter's line in the list of deleted chapters
  std::vector<QString> versions;  // one line per version, newest first
};

class HistorySource {
 public:
  virtual ~HistorySource() = default;
  // The name and text of version `version` (newest first) of chapter `chapter`; false when it
  // cannot be read back.
  virtual bool ReadVersion(int chapter, int version, QString* name, QString* text) = 0;
};

class HistoryWindow : public QDialog {
 public:
  enum class Mode {
    kChapter,          // one chapter, compared with its current text; "恢复此版本"
    kDeletedChapters,  // the deleted chapters; "恢复为新章节"
  };

  HistoryWindow(Mode mode, QString title, std::vector<HistoryChapter> chapters,
                QString current_text, HistorySource* source, QWidget* parent);

  // Accepted: the author chose to bring back this version of this chapter.
  int chosen_chapter() const { return chapter_; }
  int chosen_version() const { return version_; }

 private:
  void ShowChapter(int chapter);
  void ShowVersion(int version);
  void CopyWholeText();

  Mode mode_;
  std::vector<HistoryChapter> chapters_;
  QString current_text_;
  HistorySource* source_;
  int chapter_ = -1;
  int version_ = -1;
  QString version_text_;
  QListWidget* chapter_list_ = nullptr;
  QListWidget* version_list_ = nullptr;
  QLabel* summary_ = nullptr;
  QTextEdit* version_pane_ = nullptr;
  QTextEdit* current_pane_ = nullptr;
  QPushButton* restore_ = nullptr;
  QPushButton* copy_ = nullptr;
};

}  // namespace chapter_history
