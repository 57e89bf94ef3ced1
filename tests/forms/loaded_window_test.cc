// A window loaded from a compiled form file, driven in-process through real widgets:
// the loader's order of work, property access, the window's keyboard handling and its
// events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <cstring>

#include "forms/forms_runtime.h"
#include "forms/menu_builder.h"
#include "platform/core/code_page.h"
#include "platform/gui/message.h"
#include "platform/gui/window_handles.h"
#include "runtime/blocks.h"
#include "runtime/owned_blocks.h"
#include "runtime/runtime_state.h"
#include "tests/forms/fixture_units.h"
#include "tests/forms/test_program.h"
#include "tests/support/unit_form_test.h"
#include "units/base/unit_methods.h"
#include "units/window/popup_menu.h"
#include "units/window/window_shapes.h"
#include "units/window/window_unit.h"

namespace {

using namespace test_program;
using forms::FormsRuntime;
using runtime::ArgCell;

class LoadedWindow : public unit_tests::FormTest {
 protected:
  LoadedWindow() : FormTest(Image(), kForm) {}

  void SetUp() override {
    FormTest::SetUp();
    Log().clear();
    Answer() = {};
  }

  units::WindowUnit* Window() { return UnitAs<units::WindowUnit>(0); }
};

TEST_F(LoadedWindow, FirstEventsComeInOrderAfterEveryUnitExists) {
  ASSERT_TRUE(Load());
  ASSERT_GE(Log().size(), 3u);
  EXPECT_EQ(std::vector<std::string>(Log().begin(), Log().begin() + 3),
            (std::vector<std::string>{"Created", "Moved", "Resized"}));
  EXPECT_TRUE(Window()->IsVisible());
  EXPECT_EQ(Window()->Widget()->windowTitle(), QString::fromUtf8("测试窗口"));
  // The ticker was created early in the load but its events wait for the window.
  EXPECT_TRUE(QTest::qWaitFor([] { return Count("Tick") >= 1; }, 10000));
  EXPECT_EQ(Log()[0], "Created");
}

TEST_F(LoadedWindow, ControlIdsFollowCreationFromTheLastRecordDown) {
  const size_t before = fixtures::CreatedControlIds().size();
  ASSERT_TRUE(Load());
  const std::vector<int32_t> ids(
      fixtures::CreatedControlIds().begin() + static_cast<ptrdiff_t>(before),
      fixtures::CreatedControlIds().end());
  // Ticker, second-page box, first-page box, panel, button, box.
  EXPECT_EQ(ids, (std::vector<int32_t>{100, 110, 120, 130, 140, 150}));
}

TEST_F(LoadedWindow, UnitsLiveInTheirContainersAndLaterPagesStartHidden) {
  ASSERT_TRUE(Load());
  EXPECT_EQ(Unit(kFirstPageBox)->Parent(), Unit(kPanel));
  EXPECT_TRUE(Unit(kFirstPageBox)->IsVisible());
  EXPECT_FALSE(Unit(kSecondPageBox)->IsVisible());
  // Moving the container moves what it holds.
  const QPoint before = Unit(kFirstPageBox)->Widget()->mapToGlobal(QPoint(0, 0));
  Write(kPanel, 0, ArgCell::Int(250));
  const QPoint after = Unit(kFirstPageBox)->Widget()->mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(after.x() - before.x(), 30);
}

TEST_F(LoadedWindow, BasePropertiesClampAndComeFromTheRecordWhileNotLoaded) {
  EXPECT_EQ(ReadInt(kBox, 2), 200);  // the record's width before any load
  EXPECT_EQ(ReadText(kBox, 4), "编辑");
  Write(kBox, 0, ArgCell::Int(40000));
  EXPECT_EQ(ReadInt(kBox, 0), 32627);
  ASSERT_TRUE(Load());
  EXPECT_EQ(ReadInt(kBox, 0), 32627);  // the load used the stored value
  Write(kBox, 2, ArgCell::Int(-5));
  EXPECT_EQ(ReadInt(kBox, 2), 0);
  Write(kBox, 0, ArgCell::Int(-40000));
  EXPECT_EQ(ReadInt(kBox, 0), -32627);
  Write(kBox, 5, ArgCell::Logical(false));
  EXPECT_FALSE(Unit(kBox)->IsVisible());
  Write(kBox, 6, ArgCell::Logical(true));
  EXPECT_EQ(ReadInt(kBox, 6), 1);
  EXPECT_FALSE(Unit(kBox)->IsEnabled());
}

TEST_F(LoadedWindow, AnUnloadedWindowStartsAgainFromTheBlockValues) {
  ASSERT_TRUE(Load());
  Write(kBox, 2, ArgCell::Int(33));
  Unit(0)->Destroy();
  EXPECT_EQ(ReadInt(kBox, 2), 200);
}

TEST_F(LoadedWindow, FontFieldsAreWrittenOneByOne) {
  ASSERT_TRUE(Load());
  constexpr int32_t kFont = 9;
  Write(kBox, kFont, ArgCell::Int(-900), 0);
  EXPECT_EQ(ReadInt(kBox, kFont, 0), 2700);
  Write(kBox, kFont, ArgCell::Int(4000), 0);
  EXPECT_EQ(ReadInt(kBox, kFont, 0), 400);
  Write(kBox, kFont, ArgCell::Logical(true), 1);
  EXPECT_EQ(ReadInt(kBox, kFont, 1), 1);
  Write(kBox, kFont, ArgCell::Int(16), 5);
  EXPECT_EQ(ReadInt(kBox, kFont, 5), 16);
  runtime::Text face("Noto Sans CJK SC");
  Write(kBox, kFont, face.Arg(), 6);
  EXPECT_EQ(ReadText(kBox, kFont, 6), "Noto Sans CJK SC");
  Write(kBox, kFont, ArgCell::Text(""), 6);
  EXPECT_EQ(ReadText(kBox, kFont, 6), "宋体");
  runtime::Text long_face(std::string(32, 'F'));
  Write(kBox, kFont, long_face.Arg(), 6);
  EXPECT_EQ(ReadText(kBox, kFont, 6), "宋体");
  EXPECT_EQ(ReadInt(kBox, kFont, 0), 400);  // the other fields stayed
}

TEST_F(LoadedWindow, CursorsTravelAsIndexesAndAreStoredAsIdentifiers) {
  ASSERT_TRUE(Load());
  runtime::ByteSet hand = runtime::ByteSet::FromResult(Read(kButton, 7));
  ASSERT_EQ(hand.Bytes().size(), 4u);
  EXPECT_EQ(hand.Bytes()[0], 14);  // stored 32649, read as the hand's index
  EXPECT_EQ(Unit(kButton)->Widget()->cursor().shape(), Qt::PointingHandCursor);
  const uint8_t ibeam[] = {3, 0, 0, 0};
  Write(kBox, 7, runtime::ByteSet(ibeam).Arg());
  const forms::UnitRecord* record =
      FormsRuntime::Instance().Templates().Find(kForm)->FindUnit(kBox);
  int32_t stored;
  std::memcpy(&stored, record->Unit().mouse_pointer.data(), 4);
  EXPECT_EQ(stored, 32513);
  EXPECT_EQ(runtime::ByteSet::FromResult(Read(kBox, 7)).Bytes()[0], 3);
  EXPECT_EQ(Unit(kBox)->Widget()->cursor().shape(), Qt::IBeamCursor);
}

TEST_F(LoadedWindow, CharInputCanSwallowOrReplaceACharacter) {
  ASSERT_TRUE(Load());
  QTest::keyClicks(Unit(kBox)->Widget(), "axb");
  EXPECT_EQ(static_cast<QLineEdit*>(Unit(kBox)->Widget())->text(), "Ab");
  EXPECT_EQ(Count("CharInput"), 3);
  // Key codes are normalised: keypad 5 comes as "5".
  QTest::keyClick(Unit(kBox)->Widget(), Qt::Key_5, Qt::KeypadModifier);
  EXPECT_EQ(Count("KeyDown 53 0"), 1);
}

TEST_F(LoadedWindow, TabMovesFocusAndEnterPressesTheDefaultButton) {
  ASSERT_TRUE(Load());
  Window()->Widget()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Window()->Widget()));
  Unit(kBox)->SetFocus();
  ASSERT_EQ(QApplication::focusWidget(), Unit(kBox)->Widget());
  QTest::keyClick(Unit(kBox)->Widget(), Qt::Key_Return);
  EXPECT_EQ(Count("Clicked"), 1);
  QWidget* before = QApplication::focusWidget();
  QTest::keyClick(before, Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), before);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), before);
  QTest::keyClick(Unit(kBox)->Widget(), Qt::Key_G, Qt::AltModifier);  // "&Go"
  EXPECT_EQ(Count("Clicked"), 2);
}

TEST_F(LoadedWindow, ShortcutKeysAndHiddenItemsKeepTheirCommands) {
  ASSERT_TRUE(Load());
  const forms::WindowTemplate& window = *FormsRuntime::Instance().Templates().Find(kForm);
  const forms::BuiltMenu menu = forms::BuildMenuBar(window);
  ASSERT_EQ(menu.bar.size(), 1u);  // "菜单" is hidden
  const std::vector<gui::MenuEntry>& items = menu.bar[0].entries;
  ASSERT_EQ(items.size(), 3u);  // the hidden item is left out
  EXPECT_EQ(items[0].caption, QString::fromUtf8("停止计时\tCtrl+B"));
  EXPECT_EQ(items[0].command, 20003u);
  EXPECT_TRUE(items[1].separator);
  EXPECT_EQ(items[2].command, 20006u);
  EXPECT_EQ(forms::MenuRecordOfCommand(window, 20005), 12);
  ASSERT_EQ(menu.accelerators.size(), 1u);
  QTest::keyClick(Unit(kBox)->Widget(), Qt::Key_B, Qt::ControlModifier);
  EXPECT_EQ(Count("Selected 26010076"), 1);
}

TEST_F(LoadedWindow, MenuItemPropertiesChangeOnlyWhenTheyDiffer) {
  ASSERT_TRUE(Load());
  constexpr uint32_t kLast = 0x26010079;
  Write(kLast, 3, ArgCell::Logical(false));
  EXPECT_EQ(ReadInt(kLast, 3), 0);
  const forms::BuiltMenu menu =
      forms::BuildMenuBar(*FormsRuntime::Instance().Templates().Find(kForm));
  EXPECT_EQ(menu.bar[0].entries.size(), 2u);
  Write(kStopTimingItem, 1, ArgCell::Logical(true));
  EXPECT_EQ(ReadInt(kStopTimingItem, 1), 1);
  runtime::Text caption("新标题");
  Write(kStopTimingItem, 0, caption.Arg());
  EXPECT_EQ(ReadText(kStopTimingItem, 0), platform::GbkToUtf8("新标题"));
}

TEST_F(LoadedWindow, CloseQueryFalseKeepsTheWindowOpen) {
  ASSERT_TRUE(Load());
  const gui::WindowHandle handle = Window()->Handle();
  Answer().close_query = false;
  Window()->Widget()->close();
  EXPECT_TRUE(gui::IsWindowAlive(handle));
  EXPECT_EQ(Count("CloseQuery"), 1);
  EXPECT_EQ(Count("Destroying"), 0);
  Answer().close_query = true;
  Window()->Widget()->close();
  EXPECT_FALSE(gui::IsWindowAlive(handle));
  EXPECT_EQ(Count("Destroying"), 1);
}

TEST_F(LoadedWindow, TheEndOfTheSessionAsksCloseQueryAndLeavesTheWindowOpen) {
  ASSERT_TRUE(Load());
  const gui::WindowHandle handle = Window()->Handle();
  Answer().close_query = false;
  EXPECT_EQ(units::SendUnitMessage(kForm, 0, gui::msg::kQueryEndSession, 0, 0), 0);
  Answer().close_query = true;
  EXPECT_EQ(units::SendUnitMessage(kForm, 0, gui::msg::kQueryEndSession, 0, 0), 1);
  EXPECT_EQ(Count("CloseQuery"), 2);
  EXPECT_EQ(Count("Destroying"), 0);
  EXPECT_TRUE(gui::IsWindowAlive(handle));
}

TEST_F(LoadedWindow, DestroySkipsCloseQueryButFiresDestroying) {
  ASSERT_TRUE(Load());
  const gui::WindowHandle handle = Window()->Handle();
  units::Destroy(kForm, 0);
  EXPECT_TRUE(gui::IsWindowAlive(handle));  // a posted request
  QApplication::processEvents();
  EXPECT_FALSE(gui::IsWindowAlive(handle));
  EXPECT_EQ(Count("CloseQuery"), 0);
  EXPECT_EQ(Count("Destroying"), 1);
  EXPECT_FALSE(FormsRuntime::Instance().AnyWindowAlive());
}

TEST_F(LoadedWindow, IdleStopsForAWindowThatAsksForNoMore) {
  ASSERT_TRUE(Load());
  FormsRuntime& forms = FormsRuntime::Instance();
  forms.ResetWindowIdle();
  Answer().idle_more = true;
  EXPECT_TRUE(forms.IdleWindows(5));
  Answer().idle_more = false;
  EXPECT_FALSE(forms.IdleWindows(6));
  EXPECT_FALSE(forms.IdleWindows(7));  // declined: not asked again this period
  EXPECT_EQ(Count("Idle"), 2);
  forms.ResetWindowIdle();
  forms.IdleWindows(8);
  EXPECT_EQ(Count("Idle"), 3);
}

TEST_F(LoadedWindow, EventsWaitWhileTheNestingCounterIsRaised) {
  ASSERT_TRUE(Load());
  const int ticks = Count("Tick");
  runtime::Runtime().nesting = 1;
  QTest::qWait(60);
  EXPECT_EQ(Count("Tick"), ticks);
  runtime::Runtime().nesting = 0;
  EXPECT_TRUE(QTest::qWaitFor([ticks] { return Count("Tick") > ticks; }, 10000));
}

TEST_F(LoadedWindow, PopupMenuFiresTheChosenItem) {
  ASSERT_TRUE(Load());
  QStringList shown;
  QTimer::singleShot(50, [&shown] {
    QMenu* menu = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* open = qobject_cast<QMenu*>(widget); open != nullptr && open->isVisible())
        menu = open;
    }
    if (menu == nullptr) return;
    for (QAction* action : menu->actions()) shown << action->text();
    menu->actions().last()->trigger();
    menu->close();  // as a click on the item does
  });
  units::PopupMenu(kForm, 0x26010075, 10, 10);  // the sub-items of "编辑"
  EXPECT_EQ(shown, (QStringList{QString::fromUtf8("停止计时\tCtrl+B"), "",
                                QString::fromUtf8("最后一项")}));
  EXPECT_EQ(Count("Selected 26010079"), 1);
}

TEST_F(LoadedWindow, LoadingALoadedWindowOnlyBringsItForward) {
  ASSERT_TRUE(Load());
  const gui::WindowHandle handle = Window()->Handle();
  ASSERT_TRUE(Load());
  EXPECT_EQ(Window()->Handle(), handle);
  EXPECT_EQ(Count("Created"), 1);
}

TEST_F(LoadedWindow, LoadingAWindowMarkedForDestructionLoadsANewOne) {
  ASSERT_TRUE(Load());
  const gui::WindowHandle old = Window()->Handle();
  units::Destroy(kForm, 0);  // marked, the request posted
  ASSERT_TRUE(Load());
  EXPECT_FALSE(gui::IsWindowAlive(old));
  ASSERT_NE(Window(), nullptr);
  const gui::WindowHandle fresh = Window()->Handle();
  EXPECT_NE(fresh, old);
  EXPECT_EQ(Count("Destroying"), 1);
  EXPECT_EQ(Count("Created"), 2);
  // The old request finds no window to destroy; the new one stays.
  QApplication::processEvents();
  EXPECT_TRUE(gui::IsWindowAlive(fresh));
}

TEST_F(LoadedWindow, TheFirstShowRepeatsNoMoveOrResize) {
  ASSERT_TRUE(Load());
  QApplication::processEvents();
  EXPECT_EQ(Count("Moved"), 1);
  // The frame is known only once the window is shown; taking it out of the client area
  // keeps the template's outer size and is one more Resized. Never one for the same size.
  const int resized_at_show = Count("Resized");
  EXPECT_LE(resized_at_show, 2);
  EXPECT_EQ(Window()->Rect().size(), QSize(420, 300));
  // A real move and a real resize are reported, once each.
  Write(0, 0, ArgCell::Int(ReadInt(0, 0) + 30));
  Write(0, 2, ArgCell::Int(ReadInt(0, 2) + 40));
  EXPECT_TRUE(QTest::qWaitFor([&] { return Count("Moved") == 2 && Count("Resized") == resized_at_show + 1; }));
  EXPECT_EQ(Count("Moved"), 2);
  EXPECT_EQ(Count("Resized"), resized_at_show + 1);
}

TEST_F(LoadedWindow, VisibleShowsTheWindowInTheStateItHas) {
  ASSERT_TRUE(Load());
  Window()->Widget()->showMaximized();  // as the author's click on the maximise button
  Write(0, 5, ArgCell::Logical(false));
  EXPECT_FALSE(Window()->IsVisible());
  Write(0, 5, ArgCell::Logical(true));
  EXPECT_TRUE(Window()->IsVisible());
  EXPECT_TRUE(Window()->Widget()->isMaximized());
}

TEST(WindowShapes, RoundedCornersAndTriangle) {
  const QRegion rounded = *units::WindowShapeRegion(2, QSize(300, 100));
  EXPECT_TRUE(rounded.contains(QPoint(150, 50)));
  EXPECT_TRUE(rounded.contains(QPoint(10, 1)));  // inside the 20-pixel corner ellipse
  EXPECT_FALSE(rounded.contains(QPoint(1, 1)));  // cut off by it
  EXPECT_TRUE(rounded.contains(QPoint(25, 0)));  // straight edge past the corner
  const QRegion triangle = *units::WindowShapeRegion(4, QSize(200, 100));
  EXPECT_TRUE(triangle.contains(QPoint(100, 90)));
  EXPECT_FALSE(triangle.contains(QPoint(5, 5)));
  EXPECT_FALSE(units::WindowShapeRegion(0, QSize(10, 10)).has_value());
  for (int shape = 1; shape <= 29; ++shape) {
    EXPECT_FALSE(units::WindowShapeRegion(shape, QSize(300, 200))->isEmpty()) << shape;
  }
}

}  // namespace
