// The program of the input path tests: a window with a multi-line and a single-line edit
// box, a tree box and a transparent label, whose routines log the input events they
// hear, and a hidden menu whose only item has the shortcut Ctrl+B.
#pragma once

#include <QApplication>
#include <QTest>
#include <cstdint>
#include <string>

#include "tests/support/routine_log.h"
#include "tests/support/unit_form_test.h"

namespace input_program {

const runtime::ProgramImage& Image();

inline constexpr uint32_t kForm = 0x52010041;
inline constexpr uint32_t kText = 0x16010040;   // multi-line, 260 x 180 at (10, 10)
inline constexpr uint32_t kLine = 0x16010041;   // single line, 200 x 24 at (10, 200)
inline constexpr uint32_t kTree = 0x16010042;   // 170 x 180 at (290, 10)
inline constexpr uint32_t kLabel = 0x16010043;  // transparent, 170 x 40 at (290, 200)

// Log entries: the event, the unit ("window", "text", "line", "tree", "label") and the
// event's arguments, as "KeyDown text 65 1" or "MouseRightUp tree 30 40 0"; a menu item
// logs "Selected".
using unit_tests::Log;
int Count(const std::string& entry);
// The entries of one unit, in order.
std::vector<std::string> EntriesOf(const std::string& unit);
// CharInput discards this character (returns 0); 0 discards none.
int32_t& DiscardedCharacter();

// The window loaded, on screen and active; the log empty.
class InputForm : public unit_tests::FormTest {
 protected:
  InputForm() : FormTest(Image(), kForm) {}

  void SetUp() override {
    FormTest::SetUp();
    Log().clear();
    DiscardedCharacter() = 0;
    ASSERT_TRUE(Load());
    QWidget* window = Unit(0)->Widget();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    Log().clear();
  }

  // Puts the keyboard focus into `unit`.
  void Focus(uint32_t unit) {
    Unit(unit)->SetFocus();
    ASSERT_TRUE(Unit(unit)->Widget()->hasFocus());
  }
  // A key typed through the window, as the platform delivers it: to the focus.
  void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(TopWindow(), key, modifiers);
  }
};

}  // namespace input_program
