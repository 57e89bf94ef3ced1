// The application object over Qt's loop: idle counting, the quit message, the modal loop,
// pumping, and the real message box answered as a user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <thread>
#include <vector>

#include "platform/gui/application.h"
#include "platform/gui/message_box.h"
#include "platform/gui/request_window.h"
#include "platform/gui/window_handles.h"
#include "tests/support/message_box_answerer.h"

namespace gui {
namespace {

// Records the idle counts the loop hands out; `more_until` says up to which count it asks
// for more idle work.
class RecordingApplication : public Application {
 public:
  using Application::Application;
  std::vector<int32_t> idle_counts;
  int32_t more_until = 2;

 protected:
  bool InitInstance() override { return true; }
  bool OnIdle(int32_t idle_count) override {
    idle_counts.push_back(idle_count);
    return idle_count < more_until;
  }
};

int argc = 1;
char arg0[] = "application_test";
char* argv[] = {arg0, nullptr};

RecordingApplication& App() {
  static RecordingApplication application(argc, argv);
  return application;
}

// The application object installs Qt's Chinese translations (the test machine has Qt's
// translations installed, as the desk's set-up does): Qt's dialogs and buttons speak Chinese.
TEST(ApplicationLanguage, QtsOwnTextsAreChinese) {
  App();
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("取消"));
  EXPECT_EQ(QCoreApplication::translate("QFontDialog", "Select Font"), QString::fromUtf8("选择字体"));
}

// Each test ends its loop by posting the quit message from a timer or a thread.
TEST(ApplicationLoop, IdleCountsRiseWhileMoreIsAskedThenRestartAfterAMessage) {
  RecordingApplication& app = App();
  app.idle_counts.clear();
  QTimer::singleShot(50, [&] { app.idle_counts.push_back(-1); });  // a message arrives
  QTimer::singleShot(100, [&] { app.PostQuitMessage(5); });
  app.RunLoop();
  EXPECT_FALSE(app.QuitPosted());  // taken by the loop
  EXPECT_EQ(app.QuitCode(), 5);
  // 0, 1, 2 then sleep; the timer's message; 0, 1, 2 again.
  const std::vector<int32_t> first(app.idle_counts.begin(), app.idle_counts.begin() + 3);
  EXPECT_EQ(first, (std::vector<int32_t>{0, 1, 2}));
  const auto message = std::find(app.idle_counts.begin(), app.idle_counts.end(), -1);
  ASSERT_NE(message, app.idle_counts.end());
  EXPECT_EQ(std::vector<int32_t>(message + 1, message + 4), (std::vector<int32_t>{0, 1, 2}));
  // The loop slept between idle passes instead of spinning.
  EXPECT_LT(app.idle_counts.size(), 40u);
}

TEST(ApplicationLoop, AQuitPostedFromAnotherThreadWakesTheLoop) {
  RecordingApplication& app = App();
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    app.PostQuitMessage(9);
  });
  app.RunLoop();
  poster.join();
  EXPECT_EQ(app.QuitCode(), 9);
}

TEST(ApplicationLoop, ModalLoopEndsWhenNoLongerModalAndQuitEndsEveryLoop) {
  RecordingApplication& app = App();
  bool modal = true;
  QTimer::singleShot(30, [&] { modal = false; });
  app.RunModalLoop([&] { return modal; });
  EXPECT_FALSE(modal);

  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (++ticks == 3) app.PostQuitMessage(0);
  });
  timer.start(10);
  app.RunModalLoop([] { return true; });
  EXPECT_EQ(ticks, 3);
  // The quit stays posted: the loop outside ends as well and takes it.
  EXPECT_TRUE(app.QuitPosted());
  app.RunLoop();
  EXPECT_FALSE(app.QuitPosted());
}

TEST(WindowHandles, AHandleOutlivesItsWindowSafely) {
  App();
  auto* widget = new QWidget;
  auto* owner = reinterpret_cast<Window*>(widget);  // only compared, never used
  const WindowHandle handle = RegisterWindow(widget, owner);
  EXPECT_EQ(FindWindow(handle), widget);
  EXPECT_EQ(FindWindowObject(handle), owner);
  delete widget;
  EXPECT_FALSE(IsWindowAlive(handle));
  EXPECT_EQ(FindWindowObject(handle), nullptr);
  EXPECT_FALSE(IsWindowAlive(0));
  EXPECT_FALSE(IsWindowAlive(-3));
  const WindowHandle next = RegisterWindow(new QWidget, nullptr);
  EXPECT_NE(next, handle);  // never reused
  delete FindWindow(next);
}

TEST(RequestWindow, AnEndRequestFromAWorkerRunsOnTheMainThread) {
  App();
  std::thread::id ran_on;
  int32_t code = 0;
  RequestWindow::Create([&](int32_t exit_code) {
    ran_on = std::this_thread::get_id();
    code = exit_code;
  });
  std::thread([] { RequestWindow::PostEndRequest(42); }).join();
  QApplication::processEvents();
  EXPECT_EQ(ran_on, std::this_thread::get_id());
  EXPECT_EQ(code, 42);
  RequestWindow::Destroy();
  RequestWindow::PostEndRequest(1);  // gone: nothing happens
  QApplication::processEvents();
  EXPECT_EQ(code, 42);
}

struct BoxCase {
  uint32_t style;
  const char* press;
  int32_t expected_id;
  QStringList buttons;
};

TEST(MessageBox, ButtonSetsAndResultsFollowTheStyle) {
  App();
  const BoxCase cases[] = {
      {0x00, "确定", 1, {"确定"}},
      {0x31, "取消", 2, {"确定", "取消"}},
      {0x31, "确定", 1, {"确定", "取消"}},
      {0x02, "重试", 4, {"中止", "重试", "忽略"}},
      {0x23, "否", 7, {"是", "否", "取消"}},
      {0x04, "是", 6, {"是", "否"}},
      {0x05, "取消", 2, {"重试", "取消"}},
  };
  for (const BoxCase& c : cases) {
    QString caption, text;
    QStringList buttons;
    test_support::MessageBoxAnswerer answerer(
        QString::fromUtf8(c.press),
        [&](const QString& seen_caption, const QString& seen_text, const QStringList& labels) {
          caption = seen_caption;
          text = seen_text;
          buttons = labels;
        });
    EXPECT_EQ(ShowMessageBox("第一行\r\n第二行", "信息：", c.style), c.expected_id) << c.style;
    EXPECT_EQ(answerer.answered(), 1);
    EXPECT_EQ(caption, QString::fromUtf8("信息："));
    EXPECT_EQ(text, QString::fromUtf8("第一行\n第二行"));
    QStringList expected = c.buttons;
    expected.sort();  // the box lays buttons out by role, so compare the sets
    buttons.sort();
    EXPECT_EQ(buttons, expected) << c.style;
  }
}

TEST(MessageBox, TimersKeepTickingWhileTheBoxIsOpen) {
  App();
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(10);
  test_support::MessageBoxAnswerer* answerer = nullptr;
  QTimer::singleShot(200, [&] {
    answerer = new test_support::MessageBoxAnswerer(QString::fromUtf8("确定"));
  });
  ShowMessageBox("wait", "caption", 0);
  delete answerer;
  EXPECT_GE(ticks, 5);
}

}  // namespace
}  // namespace gui
