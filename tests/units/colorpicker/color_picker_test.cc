// The colour picker as the application uses it: colours written and read through its
// properties, the drop-down driven with the keyboard and the pointer, ColorChanged and
// what its handler reads, the colour the box shows, and where the drop-down opens.
#include <QApplication>
#include <QColorDialog>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <string>
#include <vector>

#include "libraries/library_table.h"
#include "tests/support/routine_log.h"
#include "tests/support/unit_form_test.h"
#include "units/base/unit_methods.h"
#include "units/colorpicker/color_picker_unit.h"

extern const unsigned char colorpicker_window_block[];
extern const int colorpicker_window_block_size;

namespace {

using units::ColorDropDown;

constexpr uint32_t kForm = 0x52010024;
constexpr uint32_t kOpaque = 0x16010050;  // AllowTransparent false, CurrentColor 0xFF000000
constexpr uint32_t kClear = 0x16010051;   // AllowTransparent true, CurrentColor red (255)

// Property indexes (class index + 8).
constexpr int32_t kCurrentColor = 8, kAllowTransparent = 9;
constexpr uint32_t kTransparent = 0xFF000000, kRed = 0x0000FF, kMagenta = 0xFF00FF;

// Each handler notes its unit and the CurrentColor it reads, as a program would.
using unit_tests::Log;
runtime::HandlerResult NoteColor(const char* name, uint32_t unit) {
  const auto color = static_cast<uint32_t>(forms::FormsRuntime::Instance()
                                               .ReadUnitProperty(kForm, unit, kCurrentColor, -1)
                                               .As<int32_t>());
  Log().push_back(std::string(name) + ":" + std::to_string(color));
  return {};
}
bool destroy_in_handler = false;
runtime::HandlerResult OnOpaqueChanged(const int32_t*, int32_t) {
  NoteColor("Opaque", kOpaque);
  if (destroy_in_handler) units::Destroy(kForm, kOpaque);
  return {};
}
runtime::HandlerResult OnClearChanged(const int32_t*, int32_t) {
  return NoteColor("Clear", kClear);
}

const runtime::EventHandler kRoutines[] = {OnOpaqueChanged, OnClearChanged};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image =
      unit_tests::MakeImage(kRoutines, colorpicker_window_block, colorpicker_window_block_size,
                            libraries::LibraryTable());
  return image;
}

std::string Changed(const char* name, uint32_t color) {
  return std::string(name) + ":" + std::to_string(color);
}

class ColorPicker : public unit_tests::FormTest {
 protected:
  ColorPicker() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    LoadShown();
    if (HasFatalFailure()) return;
    Log().clear();
    destroy_in_handler = false;
  }

  units::ColorPickerUnit* Picker(uint32_t unit) { return UnitAs<units::ColorPickerUnit>(unit); }
  uint32_t ReadColor(uint32_t unit) { return static_cast<uint32_t>(ReadInt(unit, kCurrentColor)); }
  // Opens the drop-down with a press on the box, as the author does.
  ColorDropDown* Open(uint32_t unit) {
    Press(unit, {20, 12});
    Release(unit, {20, 12});
    if (!QTest::qWaitFor([&] { return Picker(unit)->DropDown() != nullptr; }, 2000)) return nullptr;
    ColorDropDown* drop_down = Picker(unit)->DropDown();
    return QTest::qWaitForWindowExposed(drop_down) ? drop_down : nullptr;
  }
  bool Closes(uint32_t unit) {
    return QTest::qWaitFor([&] { return Picker(unit)->DropDown() == nullptr; }, 2000);
  }
  // The middle of the colour area, left of the arrow button.
  QRgb SwatchPixel(uint32_t unit) { return Grab(unit).pixel(30, 12); }
};

TEST_F(ColorPicker, ACellAcceptedWithTheKeyboardSetsTheColourAndFiresOnce) {
  ColorDropDown* drop_down = Open(kClear);
  ASSERT_NE(drop_down, nullptr);
  EXPECT_EQ(drop_down->Highlighted(), 12) << "the current colour's cell starts highlighted";

  // The highlight previews its colour in the box; the property keeps the chosen one.
  QTest::keyClick(drop_down, Qt::Key_Right);
  EXPECT_EQ(Picker(kClear)->ShownColor(), kMagenta);
  EXPECT_EQ(SwatchPixel(kClear), unit_tests::RgbOf(kMagenta));
  EXPECT_EQ(ReadColor(kClear), kRed);
  EXPECT_TRUE(Log().empty());

  QTest::keyClick(drop_down, Qt::Key_Return);
  ASSERT_TRUE(Closes(kClear));
  EXPECT_EQ(Log(), (std::vector<std::string>{Changed("Clear", kMagenta)}))
      << "fired once, with CurrentColor already set";
  EXPECT_EQ(ReadColor(kClear), kMagenta);
  EXPECT_EQ(SwatchPixel(kClear), unit_tests::RgbOf(kMagenta));
}

TEST_F(ColorPicker, SpaceAcceptsTheTransparentEntryAboveTheGrid) {
  ColorDropDown* drop_down = Open(kClear);
  ASSERT_NE(drop_down, nullptr);
  QTest::keyClick(drop_down, Qt::Key_Up);  // from cell 12 to cell 5
  QTest::keyClick(drop_down, Qt::Key_Up);  // out of the top row
  EXPECT_EQ(drop_down->Highlighted(), ColorDropDown::kTransparentItem);
  EXPECT_EQ(Picker(kClear)->ShownColor(), kTransparent);
  QTest::keyClick(drop_down, Qt::Key_Space);
  ASSERT_TRUE(Closes(kClear));
  EXPECT_EQ(Log(), (std::vector<std::string>{Changed("Clear", kTransparent)}));
  EXPECT_EQ(SwatchPixel(kClear), qRgb(255, 255, 255)) << "透明 shows on white";
}

TEST_F(ColorPicker, EscapeRestoresTheShownColourAndFiresNothing) {
  ColorDropDown* drop_down = Open(kClear);
  ASSERT_NE(drop_down, nullptr);
  QTest::keyClick(drop_down, Qt::Key_Down);
  QTest::keyClick(drop_down, Qt::Key_Left);
  EXPECT_NE(Picker(kClear)->ShownColor(), kRed);
  QTest::keyClick(drop_down, Qt::Key_Escape);
  ASSERT_TRUE(Closes(kClear));
  EXPECT_EQ(Picker(kClear)->ShownColor(), kRed);
  EXPECT_EQ(SwatchPixel(kClear), unit_tests::RgbOf(kRed));
  EXPECT_EQ(ReadColor(kClear), kRed);
  QApplication::processEvents();
  EXPECT_TRUE(Log().empty());
}

TEST_F(ColorPicker, APointerClickOnACellAcceptsIt) {
  ColorDropDown* drop_down = Open(kClear);
  ASSERT_NE(drop_down, nullptr);
  const QPoint blue = drop_down->ItemRect(9).center();  // "蓝色"
  // Sent through the drop-down's window: a move without a button on a widget only sets the
  // system's cursor, whose move Wine does not report back.
  ASSERT_NE(drop_down->windowHandle(), nullptr);
  QTest::mouseMove(drop_down->windowHandle(), blue);
  ASSERT_TRUE(QTest::qWaitFor([&] { return drop_down->Highlighted() == 9; }, 2000));
  EXPECT_EQ(Picker(kClear)->ShownColor(), 0xFF0000u);
  QTest::mouseClick(drop_down, Qt::LeftButton, {}, blue);
  ASSERT_TRUE(Closes(kClear));
  EXPECT_EQ(Log(), (std::vector<std::string>{Changed("Clear", 0xFF0000)}));
}

TEST_F(ColorPicker, WithoutTransparencyTheStoredTransparentShowsBlackAndIsNotOffered) {
  EXPECT_EQ(ReadColor(kOpaque), kTransparent) << "the stored value stays";
  EXPECT_EQ(Picker(kOpaque)->ShownColor(), 0u);
  EXPECT_EQ(SwatchPixel(kOpaque), qRgb(0, 0, 0));

  ColorDropDown* drop_down = Open(kOpaque);
  ASSERT_NE(drop_down, nullptr);
  EXPECT_TRUE(drop_down->ItemRect(ColorDropDown::kTransparentItem).isNull());
  EXPECT_EQ(drop_down->ItemRect(0).top(),
            drop_down->ItemRect(ColorDropDown::kOtherColorsItem).top() -
                ColorDropDown::kRows * ColorDropDown::kCellSize)
      << "the grid starts at the top";
  EXPECT_EQ(drop_down->Highlighted(), 0) << "black is the colour shown";
  QTest::keyClick(drop_down, Qt::Key_Up);
  EXPECT_EQ(drop_down->Highlighted(), 0) << "nothing above the grid";
  QTest::keyClick(drop_down, Qt::Key_Escape);
  ASSERT_TRUE(Closes(kOpaque));

  // Allowing transparency shows the same stored value as 透明.
  Write(kOpaque, kAllowTransparent, runtime::ArgCell::Logical(true));
  EXPECT_EQ(Picker(kOpaque)->ShownColor(), kTransparent);
  EXPECT_EQ(SwatchPixel(kOpaque), qRgb(255, 255, 255));
  WriteInt(kOpaque, kCurrentColor, static_cast<int32_t>(kTransparent));
  Write(kOpaque, kAllowTransparent, runtime::ArgCell::Logical(false));
  EXPECT_EQ(SwatchPixel(kOpaque), qRgb(0, 0, 0));
  EXPECT_TRUE(Log().empty()) << "writes fire nothing";
}

TEST_F(ColorPicker, AHandlerMayDestroyThePickerThatFired) {
  ColorDropDown* drop_down = Open(kOpaque);
  ASSERT_NE(drop_down, nullptr);
  destroy_in_handler = true;
  QTest::keyClick(drop_down, Qt::Key_Right);
  QTest::keyClick(drop_down, Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Unit(kOpaque) == nullptr; }, 2000));
  EXPECT_EQ(Log(), (std::vector<std::string>{Changed("Opaque", 0x800000)}));
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST_F(ColorPicker, TheDropDownStaysOnTheScreenAtItsBottomRightCorner) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  QWidget* box = Unit(kClear)->Widget();
  QWidget* window = box->window();
  // Move the window so that the box's bottom-right corner is the screen's.
  const QPoint target = screen.bottomRight() - QPoint(box->width() - 1, box->height() - 1);
  window->move(window->pos() + target - box->mapToGlobal(QPoint(0, 0)));
  ASSERT_TRUE(QTest::qWaitFor([&] { return box->mapToGlobal(QPoint(0, 0)) == target; }, 2000));

  ColorDropDown* drop_down = Open(kClear);
  ASSERT_NE(drop_down, nullptr);
  const QRect popup = drop_down->frameGeometry();
  EXPECT_TRUE(screen.contains(popup)) << popup.x() << "," << popup.y();
  EXPECT_FALSE(popup.intersects(QRect(target, box->size()))) << "the box stays visible";
  QTest::keyClick(drop_down, Qt::Key_Escape);
  ASSERT_TRUE(Closes(kClear));
}

TEST_F(ColorPicker, OtherColoursAsksTheColourDialogAndOnlyAConfirmationCounts) {
  // The dialog runs modally from the event loop: it is answered from a timer that watches
  // for it, and the test waits until it has gone.
  QColor started_with;
  const auto choose_other = [&](const QColor& pick, bool confirm) {
    ColorDropDown* drop_down = Open(kClear);
    if (drop_down == nullptr) return false;
    QTimer answer;
    bool answered = false;
    QObject::connect(&answer, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr || answered) return;
      answered = true;
      started_with = dialog->currentColor();
      dialog->setCurrentColor(pick);
      confirm ? dialog->accept() : dialog->reject();
    });
    answer.start(10);
    while (drop_down->Highlighted() != ColorDropDown::kOtherColorsItem) {
      QTest::keyClick(drop_down, Qt::Key_Down);
    }
    QTest::keyClick(drop_down, Qt::Key_Return);
    return QTest::qWaitFor([&] { return answered && QApplication::activeModalWidget() == nullptr; },
                           5000);
  };

  ASSERT_TRUE(choose_other(QColor(1, 2, 3), false));
  EXPECT_EQ(started_with, QColor(255, 0, 0)) << "the dialog starts from the current colour";
  QApplication::processEvents();
  EXPECT_TRUE(Log().empty()) << "cancelling changes nothing";
  EXPECT_EQ(ReadColor(kClear), kRed);

  ASSERT_TRUE(choose_other(QColor(1, 2, 3), true));
  EXPECT_EQ(Log(), (std::vector<std::string>{Changed("Clear", 0x030201)}));
  EXPECT_EQ(ReadColor(kClear), 0x030201u);
}

}  // namespace
