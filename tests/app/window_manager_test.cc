// The writing desk under a real window manager: openbox on a virtual X server of this program's
// own, set up as a 1366 x 768 laptop at 125 % with a 40-pixel task bar along the bottom (free
// area 1093 x 582 logical pixels). The window manager gives the window its frame, resizes it,
// maximises and restores it at the requests a user's keys and a task bar send; the desk's
// layout must hold through all of it. Skips, saying why, where Xvfb, openbox, xdotool or wmctrl
// are missing or the server does not start.
#ifndef _WIN32

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QProcess>
#include <chrono>
#include <thread>
#include <QScreen>
#include <QStandardPaths>
#include <QWindow>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/layout.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "tests/app/desk_test.h"
#include "tests/app/layout_checks.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;
using namespace app;

constexpr double kScale = 1.25;

// openbox as the test needs it: a 40-pixel strip reserved at the bottom as a task bar would
// reserve it, undecorated windows keep their border (the default), and Super+Up toggles
// maximisation as on a common desktop.
constexpr const char* kOpenboxConfig = R"(<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme><name>Clearlooks</name><keepBorder>yes</keepBorder><animateIconify>no</animateIconify></theme>
  <margins><top>0</top><bottom>40</bottom><left>0</left><right>0</right></margins>
  <desktops><number>1</number></desktops>
  <focus><focusNew>yes</focusNew></focus>
  <placement><policy>Smart</policy></placement>
  <keyboard>
    <keybind key="W-Up"><action name="ToggleMaximize"/></keybind>
  </keyboard>
  <mouse/>
</openbox_config>
)";

bool RunTool(const QString& program, const QStringList& arguments) {
  QProcess tool;
  tool.start(program, arguments);
  return tool.waitForFinished(10000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

pid_t Spawn(const std::vector<std::string>& line, int keep_fd = -1) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (keep_fd >= 0) dup2(keep_fd, 3);
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, 1);
  dup2(null, 2);
  std::vector<char*> argv;
  for (const std::string& word : line) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

void End(pid_t& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  pid = -1;
}

// Xvfb and openbox for the whole program, started before the first window: the platform
// (xcb) and the scale are chosen once, when the application object is made.
class LaptopScreen {
 public:
  static LaptopScreen& Get() {
    static LaptopScreen screen;
    return screen;
  }
  const std::string& Unavailable() const { return unavailable_; }
  ~LaptopScreen() {
    End(window_manager_);
    End(server_);
    fs::remove_all(config_folder_);
  }

 private:
  LaptopScreen() {
    for (const char* tool : {"Xvfb", "openbox", "xdotool", "wmctrl"}) {
      if (QStandardPaths::findExecutable(tool).isEmpty()) {
        unavailable_ = std::string(tool) + " is not installed";
        return;
      }
    }
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
      unavailable_ = "no pipe for Xvfb";
      return;
    }
    // -displayfd: the server writes its display number once it listens.
    server_ = Spawn({"Xvfb", "-displayfd", "3", "-screen", "0", "1366x768x24", "-nolisten", "tcp"}, ready[1]);
    close(ready[1]);
    std::string number;
    char c = 0;
    while (read(ready[0], &c, 1) == 1 && c != '\n') number += c;
    close(ready[0]);
    if (number.empty()) {
      unavailable_ = "Xvfb did not start";
      return;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    config_folder_ = fs::temp_directory_path() / ("inkstone-openbox-" + std::to_string(getpid()));
    fs::create_directories(config_folder_);
    const fs::path config = config_folder_ / "rc.xml";
    std::ofstream(config) << kOpenboxConfig;
    window_manager_ = Spawn({"openbox", "--sm-disable", "--config-file", config.string()});
    // Managing once it answers as the window manager (wmctrl reads its name from the root).
    bool managing = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!(managing = RunTool("wmctrl", {"-m"})) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (!managing) {
      unavailable_ = "openbox did not start managing the virtual screen";
      return;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("QT_SCALE_FACTOR", "1.25", 1);
  }

  std::string unavailable_;
  pid_t server_ = -1;
  pid_t window_manager_ = -1;
  fs::path config_folder_;
};

class UnderWindowManager : public DeskTest {
 protected:
  static void SetUpTestSuite() { LaptopScreen::Get(); }

  void SetUp() override {
    if (!LaptopScreen::Get().Unavailable().empty()) GTEST_SKIP() << LaptopScreen::Get().Unavailable();
    DeskTest::SetUp();
  }
  void TearDown() override {
    platform::DeclareEveryFolderFree();
    if (LaptopScreen::Get().Unavailable().empty()) DeskTest::TearDown();
  }

  QWidget* Window() { return Unit(0)->Widget(); }
  // Active, asked of the window manager as well: on a loaded machine a window manager just
  // started may map the window before it gives new windows the focus.
  bool Activated() {
    for (int attempt = 0; attempt < 3; ++attempt) {
      Window()->activateWindow();
      RunTool("wmctrl", {"-i", "-a", WindowId()});
      if (QTest::qWaitForWindowActive(Window(), 5000)) return true;
    }
    return false;
  }
  QString WindowId() { return QString::number(Window()->winId()); }
  QSize Inside() { return Window()->size(); }
  QRect FreeArea() { return Window()->screen()->availableGeometry(); }

  // Shown and active. The desk as it ships has no title bar, and openbox honours that with no
  // frame at all; with `title_bar` the window gets a caption, and openbox a title bar and a
  // border: a frame far thicker at the top than at the sides.
  void StartUnderWindowManager(bool title_bar) {
    ASSERT_TRUE(Load());
    ASSERT_TRUE(Activated());
    if (!title_bar) return;
    WriteText(unit::kWindow, property::kCaption, "写作台");
    ASSERT_TRUE(WaitFor([&] { return Window()->frameGeometry().height() - Inside().height() > 10; }, 10000))
        << "openbox gave the window no title bar";
    ASSERT_GT(Window()->frameGeometry().width(), Inside().width()) << "nor a border";
    ASSERT_TRUE(Activated());
  }

  // Laid out for the inside once the close button stands 60 pixels before its right edge; the
  // window manager's requests arrive in their own time, so the size is waited for first.
  bool SettlesAt(const std::function<bool()>& reached) {
    return WaitFor(reached, 10000) &&
           WaitFor([&] { return ReadInt(unit::kCloseButton, property::kLeft) == Window()->width() - 60; });
  }

  // The window manager resizes the window (a request as any client or pager sends it), in the
  // screen's device pixels.
  bool AskForSize(int device_width, int device_height) {
    return RunTool("xdotool", {"windowsize", WindowId(), QString::number(device_width),
                               QString::number(device_height)});
  }

  // The window as the test sees it, for a failure.
  std::string Describe() {
    const QRect outer = Window()->frameGeometry();
    return std::string(Window()->isMaximized() ? "maximised" : "normal") + ", inside " +
           std::to_string(Inside().width()) + "x" + std::to_string(Inside().height()) + ", frame " +
           std::to_string(outer.x()) + "," + std::to_string(outer.y()) + " " + std::to_string(outer.width()) + "x" +
           std::to_string(outer.height());
  }

  void ExpectAllHolds(const std::string& when, bool warning) {
    ExpectNothingOverlapsOrIsCut(*Unit(0), when);
    ExpectTheFiguresKeepTheirPlace(*Unit(0), when);
    if (warning) ExpectTheWarningLineInside(*Unit(0), when);
    // On the screen, within its free area.
    const QRect inside = Window()->geometry();
    EXPECT_TRUE(FreeArea().contains(inside) || Inside() == QSize(kSmallestInnerWidth, kSmallestInnerHeight))
        << when << ": " << Describe() << ", leaves the free area";
  }

  // Resizes, the smallest size and maximise/restore cycles (by Super+Up and by a task bar's
  // request in turn), with the layout checked after each.
  void CycleThroughTheWindowManager(bool warning) {
    const struct {
      int width, height;
    } sizes[] = {{1300, 700}, {200, 200}, {1150, 690}, {1000, 620}};
    for (int cycle = 0; cycle < 4; ++cycle) {
      for (const auto& size : sizes) {
        const QSize before = Inside();
        ASSERT_TRUE(AskForSize(size.width, size.height));
        // Logical pixels, within the scale's rounding; never below the smallest.
        const QSize wanted(std::max(qRound(size.width / kScale), kSmallestInnerWidth),
                           std::max(qRound(size.height / kScale), kSmallestInnerHeight));
        ASSERT_TRUE(SettlesAt([&] {
          return std::abs(Inside().width() - wanted.width()) <= 1 && std::abs(Inside().height() - wanted.height()) <= 1;
        })) << "asked " << size.width << "x" << size.height << ", has " << Inside().width() << "x"
            << Inside().height() << " (was " << before.width() << "x" << before.height() << ")";
        ExpectAllHolds("cycle " + std::to_string(cycle) + " at " + std::to_string(Inside().width()) + "x" +
                           std::to_string(Inside().height()),
                       warning);
      }
      const QSize restored = Inside();
      if (cycle % 2 == 0) {
        ASSERT_TRUE(RunTool("xdotool", {"key", "--clearmodifiers", "super+Up"}));
      } else {
        ASSERT_TRUE(RunTool("wmctrl", {"-i", "-r", WindowId(), "-b", "add,maximized_vert,maximized_horz"}));
      }
      // The state may be told before the new size, and the size before the new place. (Qt may
      // keep the frame's old margins once openbox drops the sides of a maximised window's
      // frame: the inside is what is checked.)
      ASSERT_TRUE(SettlesAt([&] {
        return Window()->isMaximized() && Inside().width() > restored.width() &&
               FreeArea().contains(Window()->geometry());
      })) << "cycle " << cycle << ": " << Describe();
      ExpectAllHolds("maximised, cycle " + std::to_string(cycle), warning);
      if (cycle % 2 == 0) {
        ASSERT_TRUE(RunTool("xdotool", {"key", "--clearmodifiers", "super+Up"}));
      } else {
        ASSERT_TRUE(RunTool("wmctrl", {"-i", "-r", WindowId(), "-b", "remove,maximized_vert,maximized_horz"}));
      }
      ASSERT_TRUE(SettlesAt([&] { return !Window()->isMaximized() && Inside() == restored; }))
          << "cycle " << cycle << ": " << Describe();
      ExpectAllHolds("restored, cycle " + std::to_string(cycle), warning);
      if (HasFailure()) return;
    }
  }
};

TEST_F(UnderWindowManager, TheDeskStartsWithinALaptopsFreeAreaAndShrinksToItsSmallest) {
  StartUnderWindowManager(false);
  const QRect area = FreeArea();
  // The free area of the laptop's screen: 1366 x 728 device pixels at 125 %.
  EXPECT_LE(std::abs(area.width() - 1093), 1);
  EXPECT_LE(std::abs(area.height() - 582), 1);
  // The form's size has room there (moved up to stay clear of the task bar).
  ASSERT_TRUE(WaitFor([&] { return area.contains(Window()->frameGeometry()); })) << Describe();
  EXPECT_EQ(Window()->frameGeometry().size(), QSize(960, 580)) << Describe();
  ASSERT_TRUE(AskForSize(100, 100));
  ASSERT_TRUE(SettlesAt([&] { return Inside() == QSize(kSmallestInnerWidth, kSmallestInnerHeight); }))
      << Inside().width() << "x" << Inside().height();
  WriteText(unit::kCountLabel, property::kCaption, "1234567");
  WriteText(unit::kHours, property::kCaption, "0.000833333333333333");
  ExpectAllHolds("smallest", false);
  // The smallest window, frame and all, fits the laptop's free area with room to spare.
  const QRect outer = Window()->frameGeometry();
  EXPECT_LE(outer.width(), area.width());
  EXPECT_LE(outer.height(), area.height());
}

// The warning line through it all, in a frame thicker at the top than at the sides.
TEST_F(UnderWindowManager, TheLayoutHoldsThroughResizesAndMaximiseRestoreCyclesInAFrame) {
  AnswerBoxesWith("确定");
  StartUnderWindowManager(true);
  AddChapter("第一章", "写好的");
  platform::DeclareFolderFull(platform::GbkPathOf(folder_));
  Type("满了");
  ASSERT_TRUE(WaitFor([&] { return ReadText(unit::kForumLabel, property::kCaption).starts_with("章节未能保存"); }));
  ASSERT_TRUE(Activated());
  CycleThroughTheWindowManager(true);
}

// The desk as it ships: no title bar and, under openbox, no frame.
TEST_F(UnderWindowManager, TheLayoutHoldsThroughResizesAndMaximiseRestoreCyclesWithoutTitleBar) {
  StartUnderWindowManager(false);
  CycleThroughTheWindowManager(false);
}

}  // namespace

}  // namespace desk_tests

#endif
