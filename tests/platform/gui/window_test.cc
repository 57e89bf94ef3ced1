// Window objects over real widgets: input becomes messages, pre-translation and the
// window procedure decide what the widget sees, and handles stay safe across destruction.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <string>
#include <vector>

#include "platform/gui/frame_window.h"
#include "platform/gui/virtual_keys.h"
#include "platform/gui/window.h"
#include "tests/support/test_application.h"

namespace gui {
namespace {

using unit_tests::App;

// A window over a line edit that records its messages; `on_message` may change or discard.
class RecordingWindow : public Window {
 public:
  explicit RecordingWindow(QWidget* widget = new QLineEdit) : Window(widget) {}
  std::vector<Message> seen;
  std::function<bool(Message&)> on_message;  // false: no default processing

  int64_t WindowProc(Message& message) override {
    seen.push_back(message);
    if (on_message && !on_message(message)) return 42;
    return DefaultProc(message);
  }
  std::vector<Message> Of(uint32_t id) const {
    std::vector<Message> out;
    for (const Message& m : seen) {
      if (m.id == id) out.push_back(m);
    }
    return out;
  }
  QLineEdit* Edit() const { return static_cast<QLineEdit*>(Widget()); }
};

TEST(WindowMessages, TypedKeysBecomeKeyAndCharacterMessages) {
  App();
  auto* window = new RecordingWindow;
  QTest::keyClick(window->Widget(), Qt::Key_A);
  ASSERT_EQ(window->Of(msg::kKeyDown).size(), 1u);
  EXPECT_EQ(window->Of(msg::kKeyDown)[0].wparam, 0x41u);
  ASSERT_EQ(window->Of(msg::kChar).size(), 1u);
  EXPECT_EQ(window->Of(msg::kChar)[0].wparam, uint64_t{'a'});
  EXPECT_EQ(window->Of(msg::kKeyUp).size(), 1u);
  EXPECT_EQ(window->Edit()->text(), "a");
  window->Destroy();
}

TEST(WindowMessages, ACharacterCanBeReplacedOrDiscarded) {
  App();
  auto* window = new RecordingWindow;
  window->on_message = [](Message& m) {
    if (m.id == msg::kChar && m.wparam == 'a') m.wparam = 'A';
    return !(m.id == msg::kChar && m.wparam == 'x');
  };
  QTest::keyClicks(window->Widget(), "abxa");
  EXPECT_EQ(window->Edit()->text(), "AbA");
  window->Destroy();
}

TEST(WindowMessages, ADiscardedKeyDownTypesNothing) {
  App();
  auto* window = new RecordingWindow;
  window->on_message = [](Message& m) { return m.id != msg::kKeyDown; };
  QTest::keyClick(window->Widget(), Qt::Key_B);
  EXPECT_EQ(window->Edit()->text(), "");
  EXPECT_TRUE(window->Of(msg::kChar).empty());
  window->Destroy();
}

TEST(WindowMessages, InputMethodTextArrivesAsGbkCharacters) {
  App();
  auto* window = new RecordingWindow;
  window->Widget()->setAttribute(Qt::WA_InputMethodEnabled);
  QInputMethodEvent commit;
  commit.setCommitString(QString::fromUtf8("中文"));
  QApplication::sendEvent(window->Widget(), &commit);
  const auto chars = window->Of(msg::kChar);
  ASSERT_EQ(chars.size(), 2u);
  EXPECT_EQ(chars[0].wparam, 0xD6D0u);  // 中
  EXPECT_EQ(chars[1].wparam, 0xCEC4u);  // 文
  EXPECT_EQ(window->Edit()->text(), QString::fromUtf8("中文"));
  window->Destroy();
}

TEST(WindowMessages, KeypadAndModifierKeysAreNormalised) {
  EXPECT_EQ(VirtualKeyOf(Qt::Key_5, Qt::KeypadModifier), 0x65);
  EXPECT_EQ(NormalizeKeyCode(0x65), '5');
  EXPECT_EQ(NormalizeKeyCode(VirtualKeyOf(Qt::Key_Minus, Qt::KeypadModifier)), 189);
  EXPECT_EQ(NormalizeKeyCode(VirtualKeyOf(Qt::Key_Period, Qt::KeypadModifier)), 190);
  EXPECT_EQ(NormalizeKeyCode(VirtualKeyOf(Qt::Key_Slash, Qt::KeypadModifier)), 191);
  EXPECT_EQ(KeyStateForKey(vk::kControl, Qt::ControlModifier | Qt::ShiftModifier), 2);
  EXPECT_EQ(KeyStateOf(Qt::ControlModifier | Qt::AltModifier), 5);
  EXPECT_EQ(VirtualKeyOf(Qt::Key_F5, Qt::NoModifier), 0x74);
  EXPECT_EQ(QtKeyOf(vk::kReturn), Qt::Key_Return);
}

TEST(WindowMessages, ParentsPreTranslateBeforeTheTarget) {
  App();
  struct Parent : RecordingWindow {
    Parent() : RecordingWindow(new QWidget) {}
    bool PreTranslateMessage(Message& m) override { return m.id == msg::kChar && m.wparam == 'q'; }
  };
  auto* parent = new Parent;
  auto* child = new RecordingWindow;
  child->SetParentWindow(parent);
  parent->Show(ShowMode::kNoActivate);
  QTest::keyClicks(child->Widget(), "pq");
  EXPECT_EQ(child->Edit()->text(), "p");
  parent->Destroy();
  EXPECT_FALSE(IsWindowAlive(child->Handle()));
}

TEST(WindowMessages, MouseMessagesCarryClientCoordinatesOfTheTarget) {
  App();
  auto* window = new RecordingWindow(new QWidget);
  window->SetRect(QRect(0, 0, 200, 100));
  window->Show(ShowMode::kNoActivate);
  QTest::mouseClick(window->Widget(), Qt::LeftButton, Qt::ShiftModifier, QPoint(30, 40));
  const auto downs = window->Of(msg::kLeftButtonDown);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(PointX(downs[0].lparam), 30);
  EXPECT_EQ(PointY(downs[0].lparam), 40);
  EXPECT_EQ(downs[0].wparam & 0x04, 0x04u);  // Shift held
  EXPECT_EQ(window->Of(msg::kLeftButtonUp).size(), 1u);
  window->Destroy();
}

TEST(WindowLifetime, AHandlerMayDestroyItsOwnWindow) {
  App();
  auto* window = new RecordingWindow;
  const WindowHandle handle = window->Handle();
  window->on_message = [window](Message& m) {
    if (m.id == msg::kChar) window->Destroy();
    return true;
  };
  QTest::keyClick(window->Widget(), Qt::Key_C);  // no use after free under the sanitizer
  EXPECT_FALSE(IsWindowAlive(handle));
  EXPECT_EQ(Window::FromHandle(handle), nullptr);
  QApplication::processEvents();
  QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The platform's order: the parent hears kDestroy while its children still exist, then
// the children go, then the parent's kFinalDestroy.
TEST(WindowLifetime, DestroyTellsTheParentFirstAndFinishesItLast) {
  App();
  std::vector<std::string> order;
  auto* parent = new RecordingWindow(new QWidget);
  auto* child = new RecordingWindow;
  child->SetParentWindow(parent);
  const WindowHandle child_handle = child->Handle();
  parent->on_message = [&](Message& m) {
    if (m.id == msg::kDestroy) {
      order.push_back(IsWindowAlive(child_handle) ? "parent destroy, child alive" : "late");
    }
    if (m.id == msg::kFinalDestroy) order.push_back("parent final");
    return true;
  };
  child->on_message = [&](Message& m) {
    if (m.id == msg::kDestroy) order.push_back("child destroy");
    if (m.id == msg::kFinalDestroy) order.push_back("child final");
    return true;
  };
  parent->Destroy();
  parent->Destroy();
  EXPECT_EQ(order, (std::vector<std::string>{"parent destroy, child alive", "child destroy",
                                              "child final", "parent final"}));
  EXPECT_FALSE(IsWindowAlive(child_handle));
  QApplication::processEvents();
}

TEST(WindowMessages, SendIsSynchronousAndPostGoesThroughTheLoop) {
  App();
  auto* window = new RecordingWindow;
  window->on_message = [](Message& m) { return m.id != 0x8075; };
  EXPECT_EQ(window->Send(0x8075, 1, 2), 42);
  window->Post(0x8076, 3, 4);
  EXPECT_TRUE(window->Of(0x8076).empty());
  QApplication::processEvents();
  ASSERT_EQ(window->Of(0x8076).size(), 1u);
  EXPECT_EQ(window->Of(0x8076)[0].lparam, 4);
  window->Destroy();
}

TEST(WindowTimers, TickAtTheirIntervalAndStopWhenKilled) {
  App();
  auto* window = new RecordingWindow;
  QElapsedTimer clock;
  clock.start();
  window->SetTimer(7, 1);  // granted as 10 ms
  QTest::qWait(100);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->Of(msg::kTimer).size() >= 2; }, 10000));
  const size_t ticks = window->Of(msg::kTimer).size();
  // Never more often than every 10 ms, however long the wait really took.
  EXPECT_LE(ticks, static_cast<size_t>(clock.elapsed() / 10 + 1));
  EXPECT_EQ(window->Of(msg::kTimer)[0].wparam, 7u);
  window->KillTimer(7);
  QTest::qWait(50);
  EXPECT_EQ(window->Of(msg::kTimer).size(), ticks);
  window->Destroy();
}

TEST(FrameWindow, AcceleratorsTurnKeysIntoCommands) {
  App();
  struct Frame : FrameWindow {
    std::vector<uint64_t> commands;
    bool PreTranslateMessage(Message& m) override { return TranslateAccelerator(m); }
    int64_t WindowProc(Message& m) override {
      if (m.id == msg::kCommand) commands.push_back(m.wparam);
      return DefaultProc(m);
    }
  };
  auto* frame = new Frame;
  frame->SetAccelerators({{0x08, 'B', 20003}});
  auto* edit = new RecordingWindow;
  edit->SetParentWindow(frame);
  QTest::keyClick(edit->Widget(), Qt::Key_B, Qt::ControlModifier);
  QTest::keyClick(edit->Widget(), Qt::Key_B);
  EXPECT_EQ(frame->commands, std::vector<uint64_t>{20003});
  EXPECT_EQ(edit->Edit()->text(), "b");
  frame->Destroy();
}

}  // namespace
}  // namespace gui
