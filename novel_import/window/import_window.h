#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "novel_import/chapter_split.h"
#include "novel_import/encoding.h"
#include "novel_import/headings.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class QTreeWidget;

namespace novel_import {

// "导入小说": the chapters a TXT file would make, shown before anything is written. The file is
// read in the encoding DetectEncoding tells (the author may choose another, which reads it
// again) and cut at the built-in headings and the author's own pattern; the author corrects the
// cut by merging a chapter with the next or splitting one at a line of its text. Reading the
// file again or changing the pattern cuts it afresh, so earlier corrections are gone.
//
// A file DetectEncoding refuses shows the reason; when the refusal is forcible the author may
// still choose an encoding. The window writes nothing: after exec() returns Accepted the caller
// takes Chosen() and stores the chapters itself.
//
// Object names for tests: "file", "encoding", "own_pattern", "pattern_error", "chapters",
// "text" (the chosen chapter's text; the split is at its cursor's line), "split_name",
// "merge", "split", "summary", "ok", "cancel".
class ImportWindow : public QDialog {
 public:
  // `bytes`: the whole file; `file_name`: its name as the author knows it (without its
  // extension it names the one chapter of a file without headings).
  ImportWindow(std::string bytes, const QString& file_name, QWidget* parent);

  // The chapters as the list shows them.
  const std::vector<ImportedChapter>& Chosen() const { return chapters_; }

 private:
  // Reads the file in the chosen encoding and cuts it.
  void Read();
  // Cuts the text read at the headings of rules_.
  void Cut();
  // Takes the pattern typed so far, when it compiles.
  void TakePattern();
  // Lists the chapters and chooses chapter `current`.
  void List(size_t current);
  void ShowChosenText();
  void MergeChosen();
  void SplitChosen();
  void Summarise(const QString& notice);
  // The chosen chapter's index; chapters_.size() for none.
  size_t ChosenIndex() const;

  std::string bytes_;
  QString untitled_name_;
  Detection detection_;
  QString text_;  // the file as read in the chosen encoding
  int64_t undecodable_ = 0;
  HeadingRules rules_;
  std::vector<ImportedChapter> chapters_;

  QComboBox* encoding_;
  QLineEdit* own_pattern_;
  QLabel* pattern_error_;
  QTimer* pattern_pause_;
  QTreeWidget* chapters_list_;
  QPlainTextEdit* text_view_;
  QLineEdit* split_name_;
  QPushButton* merge_;
  QPushButton* split_;
  QLabel* summary_;
  QPushButton* ok_;
};

}  // namespace novel_import
