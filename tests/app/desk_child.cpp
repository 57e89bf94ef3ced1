#include "tests/app/desk_child.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <fstream>
#include <memory>

#include "app/main_window_ids.h"
#include "app/novel_transfer.h"
#include "app/writing_desk.h"
#include "forms/forms_runtime.h"
#include "forms/runtime_application.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "platform/core/program_path.h"
#include "tests/app/desk_test.h"
#include "tests/support/message_box_answerer.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;

bool child_mode = false;
fs::path text_to_type;
long long full_after = -1;  // with "--full-after <n>": the program's disk fills after n keys
bool answer_no = false;     // with "--answer-no": a box without 确定 is answered 否
long long new_chapter_every = 0;  // with "--new-chapter-every <n>": a new chapter after n keys
fs::path novel_to_import;    // with "--import <file>": that novel imported once the window is up
long long exit_at_write = 0;  // with "--exit-at-write <n>": the import's n-th write ends the process

fs::path ProgramFile() { return fs::u8path(platform::NativePath(platform::ProgramFilePath())); }
fs::path ProgramFolder() { return ProgramFile().parent_path(); }

QWidget* UnitWidget(uint32_t unit) {
  gui::Window* window = forms::FormsRuntime::Instance().UnitWindow(app::kMainWindow, unit);
  return window == nullptr ? nullptr : window->Widget();
}

// Types the text one key at a time from the event loop, so that the desk's timers run
// between keys as they do between an author's keys.
class Typist : public QObject {
 public:
  explicit Typist(const fs::path& file) : log_(ProgramFolder() / "typed.log") {
    std::ifstream in(file, std::ios::binary);
    text_ = QString::fromStdString({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    QTimer::singleShot(20, this, [this] { WaitForWindow(); });
  }

 private:
  void WaitForWindow() {
    // An author types once the window is up and active: a key sent while the system still
    // activates it would land where the activation puts the focus back.
    QWidget* window = UnitWidget(0);
    if (window == nullptr || !window->isVisible() || !window->isActiveWindow()) {
      if (window != nullptr && window->isVisible()) window->activateWindow();
      QTimer::singleShot(20, this, [this] { WaitForWindow(); });
      return;
    }
    StartChapter();
    Next();
  }

  // The new chapter puts the focus into the name box, through the system on Windows: the
  // name is typed once it is there, the text once the text box has it.
  void StartChapter() {
    QTest::mouseClick(UnitWidget(app::unit::kNewChapterButton), Qt::LeftButton);
    QWidget* name_box = UnitWidget(app::unit::kNameBox);
    (void)QTest::qWaitFor([&] { return QApplication::focusWidget() == name_box; }, 5000);
    TypeInto(name_box, "第一章");
    QWidget* text_box = UnitWidget(app::unit::kTextBox);
    text_box->setFocus(Qt::MouseFocusReason);
    (void)QTest::qWaitFor([&] { return QApplication::focusWidget() == text_box; }, 5000);
  }

  void Next() {
    if (typed_ == text_.size()) {
      std::ofstream(ProgramFolder() / "done") << "done";
      return;
    }
    if (typed_ == full_after) platform::DeclareFolderFull(platform::GbkPathOf(ProgramFolder()));
    // An author waits for a message box to go and for the window to be back before typing on.
    if (QApplication::activeModalWidget() != nullptr || QApplication::focusWidget() == nullptr) {
      if (QApplication::activeModalWidget() == nullptr) UnitWidget(0)->activateWindow();
      QTimer::singleShot(3, this, [this] { Next(); });
      return;
    }
    if (new_chapter_every > 0 && typed_ > 0 && typed_ % new_chapter_every == 0) StartChapter();
    TypeInto(QApplication::focusWidget(), QString(text_[typed_]).toStdString());
    ++typed_;
    // One line per key, straight to the file: a kill right after it leaves it there.
    log_ << typed_ << ' ' << MonotonicMs() << '\n' << std::flush;
    QTimer::singleShot(3, this, [this] { Next(); });
  }

  QString text_;
  qsizetype typed_ = 0;
  std::ofstream log_;
};

// Imports a novel as the author does once the window is up: "导入小说…" with the file chosen,
// then 导入 in the preview; the chosen write of the import ends the process as a crash would.
// Writes "done" when the import has finished.
class Importer : public QObject {
 public:
  Importer() { QTimer::singleShot(20, this, [this] { WaitForWindow(); }); }

 private:
  void WaitForWindow() {
    QWidget* window = UnitWidget(0);
    if (window == nullptr || !window->isVisible() || !window->isActiveWindow()) {
      if (window != nullptr && window->isVisible()) window->activateWindow();
      QTimer::singleShot(20, this, [this] { WaitForWindow(); });
      return;
    }
    app::UseImportFileChooser([] { return QString::fromStdU16String(novel_to_import.u16string()); });
    QTimer* preview = new QTimer(this);
    connect(preview, &QTimer::timeout, this, [preview] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || modal->objectName() != "novel_import") return;
      preview->stop();
      if (exit_at_write > 0) platform::ArmFileFault(exit_at_write, platform::FaultAction::kExit);
      QTest::mouseClick(modal->findChild<QAbstractButton*>("ok"), Qt::LeftButton, {}, QPoint(5, 5));
    });
    preview->start(10);
    app::ImportNovel();
    platform::DisarmFileFault();
    std::ofstream(ProgramFolder() / "done") << "done";
  }
};

// Kept until the process ends; held here so that they stay reachable.
std::unique_ptr<std::ofstream> boxes;
std::unique_ptr<test_support::MessageBoxAnswerer> answerer;
std::unique_ptr<test_support::MessageBoxAnswerer> other_answerer;
std::unique_ptr<Typist> typist;
std::unique_ptr<Importer> importer;

void InstallChildHelpers() {
  if (!child_mode) return;
  boxes = std::make_unique<std::ofstream>(ProgramFolder() / "boxes.log", std::ios::app | std::ios::binary);
  answerer = std::make_unique<test_support::MessageBoxAnswerer>(
      QString::fromUtf8("确定"), [](const QString& caption, const QString& text, const QStringList&) {
        *boxes << caption.toStdString() << '\t' << text.toStdString() << '\n' << std::flush;
      });
  // Logged by the first answerer; this one only presses its button.
  if (answer_no) other_answerer = std::make_unique<test_support::MessageBoxAnswerer>(QString::fromUtf8("否"), [](const QString&, const QString&, const QStringList& l) {
        std::ofstream(ProgramFolder() / "dbg.log", std::ios::app) << l.join("|").toStdString() << " n=" << other_answerer->answered() << "\n";
      });
  if (!text_to_type.empty()) typist = std::make_unique<Typist>(text_to_type);
  if (!novel_to_import.empty()) importer = std::make_unique<Importer>();
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallChildHelpers)

long long MonotonicMs() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

int RunDeskChild(int argc, char** argv) {
  child_mode = true;
  for (int i = 2; i < argc; ++i) {
    if (std::string(argv[i]) == "--answer-no") answer_no = true;
    if (i + 1 == argc) break;
    if (std::string(argv[i]) == "--type") text_to_type = argv[i + 1];
    if (std::string(argv[i]) == "--full-after") full_after = std::stoll(argv[i + 1]);
    if (std::string(argv[i]) == "--new-chapter-every") new_chapter_every = std::stoll(argv[i + 1]);
    if (std::string(argv[i]) == "--import") novel_to_import = fs::path(argv[i + 1]);
    if (std::string(argv[i]) == "--exit-at-write") exit_at_write = std::stoll(argv[i + 1]);
  }
  return forms::RunProgram(argc, argv, app::WritingDeskImage(), &app::WritingDeskEntry);
}

std::unique_ptr<test_support::ProgramProcess> StartDeskChild(const fs::path& folder,
                                                             const std::vector<std::string>& arguments) {
  const fs::path program = folder / fs::path("inkstone").replace_extension(ProgramFile().extension());
  if (!fs::exists(program)) {
    std::error_code error;
#ifdef _WIN32
    // Windows refuses to delete any name of a running program's image: a link to this running
    // test program would keep the folder until the test ends.
    error = std::make_error_code(std::errc::not_supported);
#else
    fs::create_hard_link(ProgramFile(), program, error);
#endif
    if (error) fs::copy_file(ProgramFile(), program);
  }
  std::vector<std::string> words = {"--desk"};
  words.insert(words.end(), arguments.begin(), arguments.end());
  return std::make_unique<test_support::ProgramProcess>(program, words);
}

}  // namespace desk_tests
