// The chapter text survives what only seems to move the focus away from it — the text
// box's pop-up menu, another window in front for a while — and a held Enter gives one
// new paragraph under a real X server, however loaded the machine is.
#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/app/desk_test.h"
#include "tests/support/child_process.h"
#include "tests/support/popup_menu_watch.h"
#include "tests/support/test_application.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;
using namespace app;

constexpr int32_t kSelStart = 24;
constexpr int32_t kSelLength = 25;

const std::string kChapterText = "夜色渐深，山风吹过竹林。";

class FocusAndKeys : public DeskTest {
 protected:
  // A chapter holding kChapterText, typed in; the caret is at its end.
  void ChapterWithText() {
    StartDesk();
    AddChapter("第一章", kChapterText);
    ASSERT_EQ(TextBox(), kChapterText);
  }
  bool RecordHolds(const std::string& text) {
    return WaitFor([&] {
      const std::vector<ChapterRecord> records = ReadChapterRecords(folder_);
      return records.size() == 1 && records[0].text == text;
    });
  }
  // A right click in the text opens the desk's menu, which waits for a choice; `close`
  // runs on the open menu.
  void RightClickAndThen(const std::function<void(QMenu&)>& close) {
    ASSERT_TRUE(test_support::WithPopupMenu([&] { RightClick(unit::kTextBox, QPoint(40, 30)); }, close));
  }
};

TEST_F(FocusAndKeys, ClosingTheTextMenuKeepsTheChapterAndTheNextKeyGoesInAtTheCaret) {
  ChapterWithText();
  // Esc, and the choice "停止计时", both close the menu.
  RightClickAndThen([](QMenu& menu) { QTest::keyClick(&menu, Qt::Key_Escape); });
  Type("甲");
  RightClickAndThen([](QMenu& menu) {
    QTest::mouseClick(&menu, Qt::LeftButton, {},
                      menu.actionGeometry(menu.actions().at(0)).center());
  });
  Type("乙");
  EXPECT_EQ(TextBox(), kChapterText + "甲乙");
  EXPECT_TRUE(RecordHolds(kChapterText + "甲乙"));
}

TEST_F(FocusAndKeys, AnotherWindowInFrontForAWhileLeavesTheCaretAndSelectionAsTheyWere) {
  ChapterWithText();
  // The author selects the last two characters (4 GBK bytes), switches to another window
  // and back: the selection is still there, so a key replaces just those two.
  Key(Qt::Key_Left, Qt::ShiftModifier);
  Key(Qt::Key_Left, Qt::ShiftModifier);
  const int32_t start = ReadInt(unit::kTextBox, kSelStart);
  ASSERT_EQ(ReadInt(unit::kTextBox, kSelLength), 4);
  QWidget other;
  other.resize(200, 100);
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  QWidget* desk = Unit(0)->Widget();
  desk->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(desk));
  EXPECT_EQ(ReadInt(unit::kTextBox, kSelStart), start);
  EXPECT_EQ(ReadInt(unit::kTextBox, kSelLength), 4);
  Type("丙");
  const std::string expected = QString::fromStdString(kChapterText).chopped(2).toStdString() + "丙";
  EXPECT_EQ(TextBox(), expected);
  EXPECT_TRUE(RecordHolds(expected));
}

// Ctrl+A, a key, Enter: the desk's own line break and indent go in like typed text, so
// undo walks back through them to the whole chapter.
TEST_F(FocusAndKeys, UndoAfterEnterBringsBackAChapterReplacedByMistake) {
  ChapterWithText();
  Key(Qt::Key_A, Qt::ControlModifier);
  Type("x");
  Key(Qt::Key_Return);
  ASSERT_EQ(TextBox(), "x\r\n\r\n    ");
  for (int i = 0; i < 10 && TextBox() != kChapterText; ++i) Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(TextBox(), kChapterText);
  EXPECT_TRUE(RecordHolds(kChapterText));
}

// A loaded chapter starts a history of its own: undo never brings the chapter shown before
// into it, even where one text begins with the other.
TEST_F(FocusAndKeys, UndoAfterASwitchNeverBringsBackTheChapterBefore) {
  StartDesk();
  AddChapter("第一章", "甲");
  AddChapter("第二章", "甲乙");
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return TextBox() == "甲"; }));
  ClickItem(1);
  ASSERT_TRUE(WaitFor([&] { return TextBox() == "甲乙"; }));
  ClickInto(unit::kTextBox);
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(TextBox(), "甲乙");
}

// ---- A held Enter under a real X server, with both cores busy ----------------------------
#ifndef _WIN32

// Counts the releases of Enter that the window system hands to the program's windows.
class EnterReleases : public QObject {
 public:
  int count = 0;
  bool eventFilter(QObject* receiver, QEvent* event) override {
    if (event->type() == QEvent::KeyRelease && receiver->isWindowType() &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Return) {
      ++count;
    }
    return false;
  }
};

// The X server's input reaches the desk of a child process (the platform of this process is
// offscreen); arguments: the display, the file for the result once the key is up. The child
// tells the parent when the text box has the focus, holding "ab" with the caret at its end;
// when the parent says the key is up, it writes the number of releases of Enter that reached
// it, a line break, and the text box's text.
class DeskUnderX : public DeskTest {
 public:
  void TestBody() override {}
  int Run(const std::string& result_file) {
    SetUp();
    StartDesk();
    AddChapter("第一章", "ab");
    if (TextBox() != "ab" || !Unit(unit::kTextBox)->Widget()->hasFocus()) return 2;
    EnterReleases releases;
    QApplication::instance()->installEventFilter(&releases);
    test_support::SignalParent();
    // The desk stays responsive while the parent holds the key.
    while (!ParentSaidGo()) QTest::qWait(10);
    // The release may still be on its way through a loaded machine.
    WaitFor([&] { return TextBox().ends_with("    "); }, 10000);
    // Any stray release would come within the desk's next ticks: more than a second of them,
    // measured on the desk's own clock.
    LetTimersRun();
    std::ofstream(result_file, std::ios::binary) << releases.count << "\n" << TextBox();
    fs::remove_all(folder_);
    return 0;
  }

 private:
  static bool ParentSaidGo() {
    pollfd input{0, POLLIN, 0};
    if (poll(&input, 1, 0) <= 0) return false;
    char byte = 0;
    return read(0, &byte, 1) >= 0;
  }
};

INKSTONE_CHILD_MODE(DeskOnXServer) {
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  setenv("DISPLAY", arguments.at(0).c_str(), 1);
  unit_tests::App();
  DeskUnderX desk;
  const int code = desk.Run(arguments.at(1));
  std::fflush(nullptr);
  std::_Exit(code);  // no exit work: the parent has what it needs
}

// A virtual X server of its own, on the first free display.
class XServer {
 public:
  XServer() {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(ready[1], 3);  // -displayfd: the server writes its display number here once it listens
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 2);
      execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(ready[1]);
    std::string number;
    char c = 0;
    while (read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (!number.empty()) display_ = ":" + number;
  }
  ~XServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;  // empty when the server did not start
};

// Processes that keep every core busy while they live.
class CpuLoad {
 public:
  explicit CpuLoad(int processes) {
    for (int i = 0; i < processes; ++i) {
      const pid_t pid = fork();
      if (pid == 0) {
        volatile uint64_t spin = 0;
        for (;;) spin = spin + 1;
      }
      pids_.push_back(pid);
    }
  }
  ~CpuLoad() {
    for (const pid_t pid : pids_) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }

 private:
  std::vector<pid_t> pids_;
};

bool XdoTool(const std::string& display, const QStringList& arguments) {
  QProcess tool;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("DISPLAY", QString::fromStdString(display));
  tool.setProcessEnvironment(environment);
  tool.start("xdotool", arguments);
  return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit &&
         tool.exitCode() == 0;
}

size_t Occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
    ++count;
  return count;
}

// "ab", at least `breaks` line breaks and nothing else, then the four-space indent.
bool IsBreaksThenIndent(std::string text, size_t breaks) {
  if (!text.starts_with("ab") || !text.ends_with("    ")) return false;
  text = text.substr(2, text.size() - 6);
  return text.size() >= 2 * breaks && Occurrences(text, "\r\n") * 2 == text.size();
}

TEST(HeldEnterUnderX, OneNewParagraphHoweverLoadedTheMachine) {
  for (const char* tool : {"xdotool", "Xvfb"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " is not installed";
  }
  XServer server;
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  const fs::path result =
      fs::temp_directory_path() / ("inkstone-held-enter-" + std::to_string(getpid()));
  test_support::Child desk("DeskOnXServer", {server.Display(), result.string()});
  ASSERT_TRUE(desk.WaitReady());
  {
    // More spinning processes than cores: the desk's reading of X events falls behind.
    CpuLoad load(2 * static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
    ASSERT_TRUE(XdoTool(server.Display(), {"keydown", "Return"}));
    // The server's first repeat comes after 660 ms, then one every 40 ms.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_TRUE(XdoTool(server.Display(), {"keyup", "Return"}));
    desk.Go();
    ASSERT_EQ(desk.Wait(), 0);
  }
  const std::string written = ReadFileBytes(result);
  fs::remove(result);
  const size_t line_end = written.find('\n');
  ASSERT_NE(line_end, std::string::npos) << written;
  const std::string text = written.substr(line_end + 1);
  // The server sent one release, at the physical one: none before the repeats that a busy
  // program could take for real.
  EXPECT_EQ(written.substr(0, line_end), "1");
  // Every press of the held key broke the line; the one release added a blank line and the
  // indent, once.
  EXPECT_TRUE(IsBreaksThenIndent(text, 3)) << text;
  EXPECT_EQ(Occurrences(text, "    "), 1u) << text;
}
#endif

}  // namespace

}  // namespace desk_tests
