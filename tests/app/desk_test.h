// The writing desk as an author meets it, inside the test process: the real program image
// (its routines and its compiled window) on a fresh runtime whose program folder is a new
// temporary folder holding a copy of the shipped, empty chapter database. Input goes through
// the top-level window as the platform's input does; results are read from the files.
#pragma once

#include <gtest/gtest.h>

#include <QStringList>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_window_ids.h"
#include "app/writing_desk.h"
#include "tests/support/message_box_answerer.h"
#include "tests/support/unit_form_test.h"

namespace desk_tests {

// The variables naming the author's home folder (where the desk puts rescue copies) and data
// folder (where an installed desk keeps the chapters, in a folder of its own).
#ifdef _WIN32
constexpr const char* kHomeVariable = "USERPROFILE";
constexpr const char* kDataHomeVariable = "APPDATA";
constexpr const char* kDeskFolderName = "Inkstone";
#else
constexpr const char* kHomeVariable = "HOME";
constexpr const char* kDataHomeVariable = "XDG_DATA_HOME";
constexpr const char* kDeskFolderName = "inkstone";
#endif

// One chapter record as the database holds it (UTF-8).
struct ChapterRecord {
  std::string name;
  std::string text;
  bool deleted = false;
};

// Every record of the chapter database in `folder`: through the desk's own open while this
// process has it open (the desk keeps it to itself), else by an open of its own.
std::vector<ChapterRecord> ReadChapterRecords(const std::filesystem::path& folder);

// The check of the chapter database: empty when it is sound (leaked blocks are allowed).
std::vector<std::string> DatabaseFaults(const std::filesystem::path& folder);

std::string ReadFileBytes(const std::filesystem::path& path);

// Types `utf8` into `widget` key by key; a character without a key of its own comes as a key
// event carrying the character, as an input method's keyboard would send it.
void TypeInto(QWidget* widget, const std::string& utf8);

// A message box as the author saw it.
struct SeenBox {
  std::string caption;
  std::string text;
};

// A fresh folder with a copy of the shipped chapter database (小说数据).
std::filesystem::path MakeProgramFolder();

// Removes a program folder whose program may have ended a moment ago: Windows (and Wine's server
// more so) may hold the ended program's image file a little longer, so a refusal is tried again
// for up to ten seconds.
void RemoveProgramFolder(const std::filesystem::path& folder);

// Makes `folder` the program's folder of the running runtime (GetProgramDirectory).
void UseProgramFolder(const std::filesystem::path& folder);

class DeskTest : public unit_tests::FormTest {
 protected:
  DeskTest() : FormTest(app::WritingDeskImage(), app::kMainWindow) {}

  void SetUp() override;
  void TearDown() override;

  // Loads the writing window (its start-up runs) and waits until it is on the screen.
  void StartDesk();
  // Gives the unit's widget the focus by a click at its middle.
  void ClickInto(uint32_t unit);
  void RightClick(uint32_t unit, QPoint point);
  // Clicks the chapter list's item `index`.
  void ClickItem(int32_t index);
  void Type(const std::string& utf8);
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
  // New chapter by the button, then a name and a text typed in.
  void AddChapter(const std::string& name, const std::string& text);
  // Waits for `condition`, letting timers run.
  bool WaitFor(const std::function<bool()>& condition, int timeout_ms = 3000);
  // While the author types the autosave file is rewritten at most every five seconds.
  static constexpr int kAutosaveWaitMs = 8000;
  // Lets the desk's timers run for more than a second, measured by the desk's own clock
  // (its seconds label changes twice), so that every timer of a second or less has ticked
  // however loaded the machine is. For checks that something did not happen.
  void LetTimersRun();

  std::vector<std::string> ItemTexts();
  int32_t CurrentItem() { return ReadInt(app::unit::kChapterList, app::property::kCurrentItem); }
  std::string NameBox() { return ReadText(app::unit::kNameBox, app::property::kContent); }
  std::string TextBox() { return ReadText(app::unit::kTextBox, app::property::kContent); }
  std::filesystem::path Path(const std::string& utf8) { return folder_ / std::filesystem::u8path(utf8); }
  // Message boxes are answered with `button` ("确定" or "取消") and remembered.
  void AnswerBoxesWith(const char* button);

  std::filesystem::path folder_;
  std::vector<SeenBox> boxes_;
  std::unique_ptr<test_support::MessageBoxAnswerer> answerer_;
};

}  // namespace desk_tests
