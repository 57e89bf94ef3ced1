// Focus events of edit boxes in a loaded window: a pop-up menu and another active window
// take nothing from the box that has the focus (no FocusLost, no FocusGained, the caret and
// selection as they were); a click, Tab and SetFocus still move it, one FocusLost and one
// FocusGained each.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <functional>

#include "tests/support/popup_menu_watch.h"
#include "tests/support/unit_form_test.h"
#include "tests/units/editbox/edit_box_program.h"
#include "units/base/unit_methods.h"
#include "units/editbox/edit_box_unit.h"
#include "units/window/popup_menu.h"

namespace {

using namespace edit_box_program;

constexpr int32_t kSelStart = 24, kSelLength = 25;
constexpr uint32_t kMenu = 0x26010030;  // hidden; its one item logs "Clicked"
constexpr uint32_t kMenuItem = 0x26010031;

std::string Entry(const char* name, uint32_t unit) {
  char text[48];
  std::snprintf(text, sizeof text, "%s %08X", name, unit);
  return text;
}

class EditBoxFocus : public unit_tests::FormTest {
 protected:
  EditBoxFocus() : FormTest(Image(), kForm) {}

  void SetUp() override {
    FormTest::SetUp();
    OnContentChanged() = nullptr;
    OnFocusLost() = nullptr;
    ASSERT_TRUE(Load());
    Activate(Window());
  }

  QWidget* Window() { return Unit(0)->Widget(); }
  static void Activate(QWidget* window) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }
  // The focus events heard since the log was last emptied.
  static std::vector<std::string> FocusLog() {
    std::vector<std::string> entries;
    for (const std::string& entry : Log()) {
      if (entry.starts_with("Focus")) entries.push_back(entry);
    }
    return entries;
  }
  // Gives `unit` the focus and selects its bytes [from, to); the log starts empty.
  void FocusAndSelect(uint32_t unit, int32_t from, int32_t to) {
    units::SetFocus(kForm, unit);
    ASSERT_TRUE(Unit(unit)->Widget()->hasFocus());
    units::SendUnitMessage(kForm, unit, units::kSelectRangeMessage, static_cast<uint64_t>(from),
                           to);
    Log().clear();
  }
  std::pair<int32_t, int32_t> Selection(uint32_t unit) {
    return {ReadInt(unit, kSelStart), ReadInt(unit, kSelLength)};
  }
  // Pops the hidden menu up, as a right-click handler does; `close` runs on the open menu,
  // which waits for a choice.
  void PopUpAndThen(const std::function<void(QMenu&)>& close) {
    ASSERT_TRUE(test_support::WithPopupMenu([] { units::PopupMenu(kForm, kMenu); }, close));
  }
};

TEST_F(EditBoxFocus, APopUpMenuOpenedAndClosedIsNoChangeOfFocus) {
  for (const uint32_t unit : {kText, kName}) {
    SCOPED_TRACE(Entry("box", unit));
    const uint32_t other = unit == kText ? kName : kText;
    FocusAndSelect(unit, 2, 6);
    PopUpAndThen([](QMenu& menu) { QTest::keyClick(&menu, Qt::Key_Escape); });
    PopUpAndThen([](QMenu& menu) {
      QTest::mouseClick(&menu, Qt::LeftButton, {},
                        menu.actionGeometry(menu.actions().at(0)).center());
    });
    EXPECT_EQ(Count(Entry("Clicked", kMenuItem)), 1);
    EXPECT_EQ(FocusLog(), std::vector<std::string>{});
    EXPECT_TRUE(Unit(unit)->Widget()->hasFocus());
    EXPECT_EQ(Selection(unit), (std::pair{2, 4}));
    // A click moves the focus as ever: the box that kept it loses it, once.
    Click(other, QPoint(20, 10));
    EXPECT_EQ(FocusLog(),
              (std::vector<std::string>{Entry("FocusLost", unit), Entry("FocusGained", other)}));
  }
}

TEST_F(EditBoxFocus, AnotherActiveWindowTakesNothingAndGivesNothingBack) {
  QWidget other;
  other.resize(200, 100);
  other.show();
  FocusAndSelect(kText, 4, 10);
  Activate(&other);
  Activate(Window());
  EXPECT_EQ(FocusLog(), std::vector<std::string>{});
  EXPECT_TRUE(Unit(kText)->Widget()->hasFocus());
  EXPECT_EQ(Selection(kText), (std::pair{4, 6}));

  // SetFocus and Tab move it as ever.
  units::SetFocus(kForm, kName);
  EXPECT_EQ(FocusLog(),
            (std::vector<std::string>{Entry("FocusLost", kText), Entry("FocusGained", kName)}));
  Log().clear();
  QTest::keyClick(Window()->windowHandle(), Qt::Key_Tab);
  ASSERT_TRUE(Unit(kText)->Widget()->hasFocus());
  EXPECT_EQ(FocusLog(),
            (std::vector<std::string>{Entry("FocusLost", kName), Entry("FocusGained", kText)}));

  // The program moves the focus while the window is inactive: the move is told when the
  // window is active again, the old box first.
  Activate(&other);
  units::SetFocus(kForm, kName);
  Log().clear();
  Activate(Window());
  ASSERT_TRUE(Unit(kName)->Widget()->hasFocus());
  EXPECT_EQ(FocusLog(),
            (std::vector<std::string>{Entry("FocusLost", kText), Entry("FocusGained", kName)}));
}

}  // namespace
