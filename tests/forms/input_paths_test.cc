// Keys and mouse buttons through real widgets and the platform's input path, to the
// events of the one unit they are for: held keys, control characters, keys a box leaves
// alone, shortcut keys of hidden menus, and clicks on units of several classes.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>

#include "tests/forms/input_program.h"

namespace {

using namespace input_program;

// Content and SelText of an edit box (class index + 8).
constexpr int32_t kContent = 8, kSelText = 26;

// Closes any pop-up menu that opens while it lives (Qt's menus wait for a choice) and
// tells whether one did.
class MenuWatch {
 public:
  MenuWatch() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (QWidget* popup = QApplication::activePopupWidget()) {
        seen_ = true;
        popup->close();
      }
    });
    timer_.start(0);
  }
  bool Seen() const { return seen_; }

 private:
  QTimer timer_;
  bool seen_ = false;
};

class InputPaths : public InputForm {
 protected:
  void RightClick(uint32_t unit, QPoint point) {
    QTest::mousePress(TopWindow(), Qt::RightButton, {}, InWindow(unit, point));
    QTest::mouseRelease(TopWindow(), Qt::RightButton, {}, InWindow(unit, point));
  }
  // A key event as the platform reports it, to the widget with the focus.
  static void SendKey(QEvent::Type type, Qt::Key key, const QString& text, bool repeat) {
    QKeyEvent event(type, key, Qt::NoModifier, text, repeat);
    QCoreApplication::sendEvent(QApplication::focusWidget(), &event);
  }
};

TEST_F(InputPaths, AHeldKeyRepeatsKeyDownButSendsOneKeyUp) {
  Focus(kText);
  // Enter held for three repeats: Qt reports a release before every repeat.
  SendKey(QEvent::KeyPress, Qt::Key_Return, "\r", false);
  for (int i = 0; i < 3; ++i) {
    SendKey(QEvent::KeyRelease, Qt::Key_Return, "\r", true);
    SendKey(QEvent::KeyPress, Qt::Key_Return, "\r", true);
  }
  SendKey(QEvent::KeyRelease, Qt::Key_Return, "\r", false);
  EXPECT_EQ(Count("KeyDown text 13 0"), 4);
  EXPECT_EQ(Count("CharInput text 13"), 4);
  EXPECT_EQ(Count("KeyUp text 13 0"), 1);
  EXPECT_EQ(ReadText(kText, kContent), "\r\n\r\n\r\n\r\n天地玄黄");
  EXPECT_TRUE(EntriesOf("window").empty());
}

TEST_F(InputPaths, AKeyTheFocusedBoxLeavesAloneIsNoKeyOfTheWindow) {
  for (const auto& [unit, name] : {std::pair{kText, "text"}, std::pair{kLine, "line"}}) {
    Focus(unit);
    Log().clear();
    Type(Qt::Key_F5);
    EXPECT_EQ(EntriesOf(name), (std::vector<std::string>{std::string("KeyDown ") + name + " 116 0",
                                                         std::string("KeyUp ") + name + " 116 0"}));
    EXPECT_TRUE(EntriesOf("window").empty()) << name;
  }
}

TEST_F(InputPaths, CtrlWithALetterReportsTheKeyAndTypesItsControlCharacter) {
  for (const auto& [unit, name] : {std::pair{kText, "text"}, std::pair{kLine, "line"}}) {
    const std::string who = std::string(" ") + name;
    Focus(unit);
    Log().clear();
    // The key state is exactly Ctrl (1), and Ctrl+Shift (3); the key itself is "A".
    Type(Qt::Key_A, Qt::ControlModifier);
    Type(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Count("KeyDown" + who + " 65 1"), 1) << name;
    EXPECT_EQ(Count("KeyDown" + who + " 65 3"), 1) << name;
    EXPECT_EQ(Count("CharInput" + who + " 1"), 2) << name;
    // The box's own handling still runs: Ctrl+A selected everything, Ctrl+V pastes.
    EXPECT_EQ(ReadText(unit, kSelText), ReadText(unit, kContent)) << name;
    QGuiApplication::clipboard()->setText(QString::fromUtf8("第二卷"));
    Type(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Count("CharInput" + who + " 22"), 1) << name;
    EXPECT_EQ(ReadText(unit, kContent), "第二卷") << name;
    EXPECT_TRUE(EntriesOf("window").empty()) << name;
  }
}

TEST_F(InputPaths, DiscardingAControlCharacterCancelsWhatItsKeyDoes) {
  Focus(kLine);
  QGuiApplication::clipboard()->setText(QString::fromUtf8("第二卷"));
  DiscardedCharacter() = 0x16;
  Type(Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Count("CharInput line 22"), 1);
  EXPECT_EQ(ReadText(kLine, kContent), "第一章");
}

TEST_F(InputPaths, AShortcutOfAHiddenMenuWorksFromAMultiLineBox) {
  Focus(kText);
  Type(Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Count("Selected"), 1);
  // The shortcut took the key: no control character, and the text stays.
  EXPECT_EQ(Count("CharInput text 2"), 0);
  EXPECT_EQ(ReadText(kText, kContent), "天地玄黄");
}

TEST_F(InputPaths, MouseButtonsAreEventsOfTheUnitUnderThemInItsCoordinates) {
  struct Case {
    uint32_t unit;
    const char* name;
    QPoint point;  // the window's own is on its client area, clear of every unit
  };
  const Case cases[] = {{kText, "text", {31, 17}},  {kLine, "line", {31, 17}},
                        {kTree, "tree", {31, 17}},  {kLabel, "label", {31, 17}},
                        {0, "window", {400, 300}}};
  for (const Case& c : cases) {
    Log().clear();
    Click(c.unit, c.point);
    RightClick(c.unit, c.point);
    const std::string at = std::string(" ") + c.name + " " + std::to_string(c.point.x()) + " " +
                           std::to_string(c.point.y()) + " 0";
    EXPECT_EQ(Log(), (std::vector<std::string>{"MouseLeftUp" + at, "MouseRightDown" + at,
                                               "MouseRightUp" + at}))
        << c.name;
  }
}

TEST_F(InputPaths, ARightClickInAnEditBoxOpensNoMenuOfTheBoxsOwn) {
  for (const uint32_t unit : {kText, kLine}) {
    MenuWatch watch;
    RightClick(unit, QPoint(20, 8));
    EXPECT_FALSE(watch.Seen()) << std::hex << unit;
  }
  EXPECT_EQ(Count("MouseRightDown text 20 8 0"), 1);
  EXPECT_EQ(Count("MouseRightUp line 20 8 0"), 1);
}

}  // namespace
