#include "tests/app/desk_test.h"

#include <QApplication>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <chrono>
#include <fstream>
#include <iterator>
#include <system_error>
#include <thread>

#include "database/checker.h"
#include "database/database.h"
#include "database/database_list.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "platform/gui/gbk_qstring.h"
#include "platform/gui/message_box.h"
#include "platform/gui/window_handles.h"
#include "runtime/user_interface.h"
#include "runtime/runtime_state.h"
#include "units/treebox/tree_box.h"
#include "units/treebox/tree_box_methods.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;

std::string Gbk(const std::string& utf8) { return platform::Utf8ToGbk(utf8); }
std::string Utf8(const std::string& gbk) { return platform::GbkToUtf8(gbk); }

}  // namespace

void TypeInto(QWidget* widget, const std::string& utf8) {
  for (const QChar character : QString::fromStdString(utf8)) {
    if (character.unicode() < 0x80) {
      QTest::keyClick(widget, character.toLatin1());
    } else {
      // A character no key names arrives as a key event carrying its text.
      QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(character), Qt::NoModifier);
    }
  }
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

fs::path MakeProgramFolder() {
  static int serial = 0;
  const fs::path folder =
      fs::temp_directory_path() / ("inkstone-desk-" + std::to_string(getpid()) + "-" + std::to_string(serial++));
  RemoveProgramFolder(folder);  // left by an earlier program with the same process number
  fs::create_directories(folder);
  fs::copy(fs::u8path(SHIPPED_DATABASE_FOLDER), folder / fs::u8path("小说数据"));
  return folder;
}

void RemoveProgramFolder(const fs::path& folder) {
  std::error_code error;
  for (int tries = 0; fs::remove_all(folder, error), error && tries < 100; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  if (error) throw fs::filesystem_error("cannot remove the program folder", folder, error);
}

void UseProgramFolder(const fs::path& folder) {
  runtime::RuntimeState& state = runtime::Runtime();
  state.program_directory = platform::GbkPathOf(folder);
  state.program_directory_slash = state.program_directory + "\\";
}

namespace {

std::vector<ChapterRecord> ReadAllRecords(database::Database& db) {
  std::vector<ChapterRecord> records;
  const int32_t name_field = db.FieldByName(Gbk("姓名"));
  const int32_t text_field = db.FieldByName(Gbk("学号"));
  db.GoFirst();
  for (bool after = false; db.IsAfterLast(&after) == 0 && !after; db.Skip(1)) {
    ChapterRecord record;
    std::string bytes;
    db.ReadField(name_field, &bytes);
    record.name = Utf8(bytes);
    db.ReadField(text_field, &bytes);
    record.text = Utf8(bytes);
    db.IsDeleted(&record.deleted);
    records.push_back(record);
  }
  return records;
}

}  // namespace

std::vector<ChapterRecord> ReadChapterRecords(const fs::path& folder) {
  const std::string path = platform::GbkPathOf(folder / fs::u8path("小说数据/data.edb"));
  // The desk keeps its database to itself: while it has it open, read through its open
  // (the record pointer is put back where the desk left it).
  database::DatabaseList& list = database::DatabaseList::Instance();
  for (int32_t k = 0; k < list.size(); ++k) {
    database::Database& db = *list.At(k);
    if (db.full_path() != database::ResolveDatabasePath(path)) continue;
    const int32_t pointer = db.record_pointer();
    std::vector<ChapterRecord> records = ReadAllRecords(db);
    db.GoFirst();
    db.Skip(pointer);
    return records;
  }
  database::OpenOptions options;
  options.path = path;
  options.read_only = true;
  std::unique_ptr<database::Database> db;
  if (database::Database::Open(options, &db) != 0) return {};
  return ReadAllRecords(*db);
}

std::vector<std::string> DatabaseFaults(const fs::path& folder) {
  database::CheckReport report;
  const int32_t result =
      database::CheckDatabase(platform::GbkPathOf(folder / fs::u8path("小说数据/data.edb")), {}, false, &report);
  if (result != 0) report.faults.push_back("check failed with " + std::to_string(result));
  return report.faults;
}

namespace {

// The window system's part that the desk's routines reach inside a test: real message
// boxes (answered by the test's answerer); the loop is the test's own.
class DeskUserInterface : public runtime::UserInterface {
 public:
  int32_t ShowMessageBox(std::string_view text, std::string_view caption, uint32_t style) override {
    return gui::ShowMessageBox(gui::QStringOfGbk(text), gui::QStringOfGbk(caption), style);
  }
  void RunMessageLoop() override {}
  void PumpWaitingMessages() override { QApplication::processEvents(); }
  void PostQuitMessage(int32_t) override {}
  void CreateRequestWindow() override {}
  void DestroyRequestWindow() override {}
  void PostEndRequest(int32_t) override {}
  bool IsWindowAlive(intptr_t window) override {
    return window > 0 && window <= INT32_MAX && gui::IsWindowAlive(static_cast<gui::WindowHandle>(window));
  }
};

}  // namespace

void DeskTest::SetUp() {
  static DeskUserInterface user_interface;
  ui_ = &user_interface;
  FormTest::SetUp();
  folder_ = MakeProgramFolder();
  UseProgramFolder(folder_);
}

void DeskTest::TearDown() {
  // A window still open is closed as at the end of the program; its exit boxes are answered.
  AnswerBoxesWith("确定");
  FormTest::TearDown();
  answerer_.reset();
  database::DatabaseList::Instance().CloseAll();
  fs::remove_all(folder_);
}

void DeskTest::StartDesk() {
  ASSERT_TRUE(Load());
  QWidget* window = Unit(0)->Widget();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

bool DeskTest::WaitFor(const std::function<bool()>& condition, int timeout_ms) {
  return QTest::qWaitFor(condition, timeout_ms);
}

void DeskTest::LetTimersRun() {
  for (int change = 0; change < 2; ++change) {
    const std::string second = ReadText(app::unit::kSecondLabel, app::property::kCaption);
    ASSERT_TRUE(WaitFor([&] { return ReadText(app::unit::kSecondLabel, app::property::kCaption) != second; }));
  }
}

void DeskTest::ClickInto(uint32_t unit) {
  QWidget* widget = Unit(unit)->Widget();
  Click(unit, QPoint(widget->width() / 2, widget->height() / 2));
}

void DeskTest::RightClick(uint32_t unit, QPoint point) {
  QTest::mouseClick(TopWindow(), Qt::RightButton, {}, InWindow(unit, point));
}

void DeskTest::ClickItem(int32_t index) {
  auto* tree = UnitAs<units::TreeBox>(app::unit::kChapterList);
  auto* widget = qobject_cast<QTreeWidget*>(tree->Widget());
  const QPoint center = widget->visualItemRect(tree->ItemAt(index)).center();
  QTest::mouseClick(TopWindow(), Qt::LeftButton, {}, widget->viewport()->mapTo(widget->window(), center));
}

void DeskTest::Type(const std::string& utf8) { TypeInto(QApplication::focusWidget(), utf8); }

void DeskTest::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) { QTest::keyClick(TopWindow(), key, modifiers); }

void DeskTest::AddChapter(const std::string& name, const std::string& text) {
  ClickInto(app::unit::kNewChapterButton);
  Type(name);
  ClickInto(app::unit::kTextBox);
  Type(text);
}

std::vector<std::string> DeskTest::ItemTexts() {
  std::vector<std::string> texts;
  auto* tree = UnitAs<units::TreeBox>(app::unit::kChapterList);
  const int32_t count = units::TreeBoxGetItemCount(Form(), app::unit::kChapterList);
  for (int32_t i = 0; i < count; ++i) texts.push_back(tree->ItemAt(i)->text(0).toStdString());
  return texts;
}

void DeskTest::AnswerBoxesWith(const char* button) {
  answerer_ = std::make_unique<test_support::MessageBoxAnswerer>(
      QString::fromUtf8(button), [this](const QString& caption, const QString& text, const QStringList&) {
        boxes_.push_back({caption.toStdString(), text.toStdString()});
      });
}

}  // namespace desk_tests
