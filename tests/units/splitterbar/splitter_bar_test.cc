// The splitter bar as the application uses it: loaded from a compiled form, dragged with
// real mouse and key input, PositionChanged heard through the bound handler, and the ghost
// looked for among the program's top-level windows.
#include <QApplication>
#include <QTest>
#include <functional>
#include <string>
#include <vector>

#include "libraries/library_table.h"
#include "tests/support/routine_log.h"
#include "tests/support/unit_form_test.h"
#include "units/base/unit_methods.h"
#include "units/splitterbar/line_move_cursors.h"

extern const unsigned char splitterbar_window_block[];
extern const int splitterbar_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010041;
constexpr uint32_t kVertical = 0x16010040;    // (100, 10) 6 x 200, dragged left and right
constexpr uint32_t kHorizontal = 0x16010041;  // (10, 250) 300 x 5, dragged up and down
constexpr uint32_t kClamped = 0x16010042;     // made from Orientation 5

// Property indexes (class index + 8).
constexpr int32_t kLeft = 0, kTop = 1, kMouseCursor = 7;
constexpr int32_t kBackColor = 8, kOrientation = 9;

using unit_tests::Log;
bool destroy_in_handler = false;

// Logs the event with where the bar is while its handler runs.
runtime::HandlerResult LogMove(const char* name, uint32_t unit, int32_t edge_property,
                               const int32_t* args, int32_t count) {
  const int32_t edge = forms::FormsRuntime::Instance()
                           .ReadUnitProperty(kForm, unit, edge_property, -1)
                           .As<int32_t>();
  Log().push_back(std::string(name) + " " + std::to_string(count) + ": " + std::to_string(args[0]) +
                  " -> " + std::to_string(args[1]) + ", at " + std::to_string(edge));
  if (destroy_in_handler) units::Destroy(kForm, unit);
  return {};
}
runtime::HandlerResult OnVerticalMoved(const int32_t* args, int32_t count) {
  return LogMove("Vertical", kVertical, kLeft, args, count);
}
runtime::HandlerResult OnHorizontalMoved(const int32_t* args, int32_t count) {
  return LogMove("Horizontal", kHorizontal, kTop, args, count);
}
runtime::HandlerResult OnBarUp(const int32_t*, int32_t) {
  Log().push_back("Up");
  return {};
}
runtime::HandlerResult OnBarMouseMove(const int32_t*, int32_t) {
  Log().push_back("MouseMove");
  return {};
}

const runtime::EventHandler kRoutines[] = {OnVerticalMoved, OnHorizontalMoved, OnBarUp,
                                           OnBarMouseMove};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image =
      unit_tests::MakeImage(kRoutines, splitterbar_window_block,
                            splitterbar_window_block_size, libraries::LibraryTable());
  return image;
}

std::string Moved(const char* name, int32_t from, int32_t to) {
  return std::string(name) + " 2: " + std::to_string(from) + " -> " + std::to_string(to) + ", at " +
         std::to_string(from);
}

class SplitterBar : public unit_tests::FormTest {
 protected:
  SplitterBar() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    Log().clear();
    destroy_in_handler = false;
    ASSERT_TRUE(Load());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Unit(0)->Widget()));
  }
  void TearDown() override {
    destroy_in_handler = false;
    FormTest::TearDown();
  }

  QWidget* Bar(uint32_t unit) { return Unit(unit)->Widget(); }
  QSize Client() { return Bar(kVertical)->parentWidget()->size(); }
  // The bar's rectangle with its leading edge at `edge`, on the screen.
  QRect ScreenRect(uint32_t unit, int32_t left, int32_t top) {
    QWidget* bar = Bar(unit);
    return QRect(bar->parentWidget()->mapToGlobal(QPoint(left, top)), bar->size());
  }
  // Every visible top-level window besides the form's own: the ghost while a drag runs.
  static std::vector<QWidget*> Overlays(QWidget* form_window) {
    std::vector<QWidget*> shown;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget != form_window && widget->isVisible()) shown.push_back(widget);
    }
    return shown;
  }
  std::vector<QWidget*> Overlays() { return Overlays(Unit(0)->Widget()); }
  QRect Ghost() {
    const auto shown = Overlays();
    return shown.size() == 1 ? shown[0]->geometry() : QRect();
  }
};

TEST_F(SplitterBar, ADragPastTheClientEdgeStopsWhereTheBarMeetsIt) {
  QWidget* bar = Bar(kVertical);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(3, 50));
  EXPECT_EQ(Ghost(), ScreenRect(kVertical, 100, 10)) << "the ghost starts on the bar";
  EXPECT_EQ(QWidget::mouseGrabber(), bar);

  // Far to the right and down: only the left edge follows, up to the client's right edge.
  const int32_t rightmost = Client().width() - 6;
  QTest::mouseMove(bar, QPoint(3 + 1000, 50 + 40));
  EXPECT_EQ(Ghost(), ScreenRect(kVertical, rightmost, 10));
  QTest::mouseMove(bar, QPoint(3 - 1000, 50));
  EXPECT_EQ(Ghost(), ScreenRect(kVertical, 0, 10));
  QTest::mouseMove(bar, QPoint(3 + 1000, 50));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(3 + 1000, 50));

  // Reported once, while the bar has not moved; no other unit heard of the input.
  EXPECT_EQ(Log(), (std::vector<std::string>{Moved("Vertical", 100, rightmost)}));
  EXPECT_EQ(ReadInt(kVertical, kLeft), 100);
  EXPECT_TRUE(Overlays().empty());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(SplitterBar, AHorizontalBarMovesOnlyItsTopEdge) {
  QWidget* bar = Bar(kHorizontal);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(150, 2));
  QTest::mouseMove(bar, QPoint(150 + 70, 2 - 30));
  EXPECT_EQ(Ghost(), ScreenRect(kHorizontal, 10, 220)) << "left and width stay the bar's";
  QTest::mouseMove(bar, QPoint(150, 2 + 1000));
  EXPECT_EQ(Ghost(), ScreenRect(kHorizontal, 10, Client().height() - 5));
  QTest::mouseMove(bar, QPoint(150, 2 - 30));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(150, 2 - 30));
  EXPECT_EQ(Log(), (std::vector<std::string>{Moved("Horizontal", 250, 220)}));
  EXPECT_TRUE(Overlays().empty());
}

TEST_F(SplitterBar, ReleasingWhereItStartedReportsNothing) {
  QWidget* bar = Bar(kVertical);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(3, 50));
  QTest::mouseMove(bar, QPoint(60, 50));
  ASSERT_EQ(Ghost(), ScreenRect(kVertical, 157, 10));
  QTest::mouseMove(bar, QPoint(3, 120));  // back across, lower down
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(3, 120));
  // Neither PositionChanged nor the common events of the moves and the release: the drag
  // took them.
  EXPECT_TRUE(Log().empty()) << Log().front();
  EXPECT_TRUE(Overlays().empty());
}

TEST_F(SplitterBar, AQuickSecondPressDragsToo) {
  // The second press of a double click arrives as the double click itself.
  QWidget* bar = Bar(kVertical);
  QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(3, 50));
  QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(3, 50));
  QTest::mouseMove(bar, QPoint(13, 50));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(13, 50));
  EXPECT_EQ(Log(), (std::vector<std::string>{Moved("Vertical", 100, 110)}));
}

TEST_F(SplitterBar, EscTheRightButtonOrALostCaptureCancel) {
  QWidget* bar = Bar(kVertical);
  QWidget other;
  const struct {
    const char* name;
    std::function<void()> cancel;
  } cases[] = {
      {"Esc", [&] { QTest::keyClick(Unit(0)->Widget(), Qt::Key_Escape); }},
      {"right button",
       [&] {
         QTest::mousePress(bar, Qt::RightButton, {}, QPoint(53, 50));
         QTest::mouseRelease(bar, Qt::RightButton, {}, QPoint(53, 50));
       }},
      {"lost capture",
       [&] {
         other.grabMouse();
         QTest::mouseMove(bar, QPoint(63, 50));  // the first input after the loss
         other.releaseMouse();
       }},
  };
  for (const auto& c : cases) {
    Log().clear();
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(3, 50));
    QTest::mouseMove(bar, QPoint(53, 50));
    ASSERT_EQ(Overlays().size(), 1u) << c.name;
    c.cancel();
    EXPECT_TRUE(Overlays().empty()) << c.name;
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << c.name;
    // What follows is ordinary input again: the release is the bar's MouseLeftUp.
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(53, 50));
    EXPECT_TRUE(Overlays().empty()) << c.name;
    EXPECT_EQ(Log().back(), "Up") << c.name;
    for (const std::string& entry : Log())
      EXPECT_EQ(entry.find("Vertical"), std::string::npos) << c.name;
    EXPECT_EQ(ReadInt(kVertical, kLeft), 100);
  }
}

TEST_F(SplitterBar, NoDragStartsWhileAnotherWindowHoldsTheCapture) {
  QWidget other;
  other.grabMouse();
  QTest::mousePress(Bar(kVertical), Qt::LeftButton, {}, QPoint(3, 50));
  EXPECT_TRUE(Overlays().empty());
  EXPECT_EQ(QWidget::mouseGrabber(), &other);
  other.releaseMouse();
  QTest::mouseRelease(Bar(kVertical), Qt::LeftButton, {}, QPoint(3, 50));
  EXPECT_EQ(Log(), (std::vector<std::string>{"Up"}));
}

TEST_F(SplitterBar, TheHandlerMayDestroyTheBar) {
  destroy_in_handler = true;
  QWidget* bar = Bar(kVertical);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(3, 50));
  QTest::mouseMove(bar, QPoint(23, 50));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(23, 50));
  EXPECT_EQ(Log(), (std::vector<std::string>{Moved("Vertical", 100, 120)}));
  EXPECT_EQ(Unit(kVertical), nullptr);
  EXPECT_TRUE(Overlays().empty());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  QApplication::processEvents();  // the bar's objects go now
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  // The other bar still drags.
  QTest::mousePress(Bar(kHorizontal), Qt::LeftButton, {}, QPoint(150, 2));
  QTest::mouseMove(Bar(kHorizontal), QPoint(150, 12));
  QTest::mouseRelease(Bar(kHorizontal), Qt::LeftButton, {}, QPoint(150, 12));
  EXPECT_EQ(Log().back(), Moved("Horizontal", 250, 260));
}

TEST_F(SplitterBar, ABarDestroyedDuringItsDragLeavesNothingBehind) {
  QWidget* bar = Bar(kVertical);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(3, 50));
  QTest::mouseMove(bar, QPoint(43, 50));
  ASSERT_EQ(Overlays().size(), 1u);
  units::Destroy(kForm, kVertical);  // as a timer's handler might
  EXPECT_TRUE(Overlays().empty());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  QTest::mouseRelease(Unit(0)->Widget(), Qt::LeftButton, {}, QPoint(150, 50));
  QApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(Log().empty());
}

TEST_F(SplitterBar, PaintsItsColourInARaisedFrame) {
  const QPalette palette = Bar(kVertical)->palette();
  const QRgb light = palette.light().color().rgb(), dark = palette.dark().color().rgb();
  QImage image = Grab(kVertical);
  ASSERT_EQ(image.size(), QSize(6, 200));
  EXPECT_EQ(image.pixel(3, 100), palette.button().color().rgb()) << "DefaultColor: button face";
  WriteInt(kVertical, kBackColor, 0x0000FF);
  image = Grab(kVertical);
  int red = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 6; ++x) red += image.pixel(x, y) == qRgb(255, 0, 0);
  }
  EXPECT_EQ(red, 4 * 198);
  EXPECT_EQ(image.pixel(0, 0), light);
  EXPECT_EQ(image.pixel(4, 0), light);
  EXPECT_EQ(image.pixel(0, 198), light);
  EXPECT_EQ(image.pixel(5, 0), dark);
  EXPECT_EQ(image.pixel(0, 199), dark);
  EXPECT_EQ(image.pixel(5, 199), dark);
}

TEST_F(SplitterBar, ShowsItsOwnCursorWhateverMouseCursorSays) {
  const auto shown = [&](uint32_t unit) {
    const QCursor cursor = Bar(unit)->cursor();
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(15, 15));
    return cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
  };
  const QImage vertical_lines = units::LineMoveCursorImage(Qt::Horizontal);
  const QImage horizontal_lines = units::LineMoveCursorImage(Qt::Vertical);
  ASSERT_NE(vertical_lines, horizontal_lines);
  EXPECT_EQ(qAlpha(vertical_lines.pixel(15, 15)), 0) << "the hot spot lies between the lines";
  EXPECT_EQ(shown(kVertical), vertical_lines);
  EXPECT_EQ(shown(kHorizontal), horizontal_lines);

  WriteBytes(kVertical, kMouseCursor, {3, 0, 0, 0});  // the text I-beam
  EXPECT_EQ(ReadBytes(kVertical, kMouseCursor), (std::vector<uint8_t>{3, 0, 0, 0}));
  EXPECT_EQ(shown(kVertical), vertical_lines);
  WriteInt(kVertical, kOrientation, 0);
  EXPECT_EQ(shown(kVertical), horizontal_lines);
}

TEST_F(SplitterBar, OrientationIsClampedIntoItsTwoChoices) {
  EXPECT_EQ(ReadInt(kClamped, kOrientation), 1);
  EXPECT_EQ(ReadInt(kClamped, kBackColor), 255);
  WriteInt(kClamped, kOrientation, 7);
  EXPECT_EQ(ReadInt(kClamped, kOrientation), 1);
  WriteInt(kClamped, kOrientation, -3);
  EXPECT_EQ(ReadInt(kClamped, kOrientation), 0);
  // The new orientation is the drag direction: the bar now moves up and down.
  QWidget* bar = Bar(kClamped);
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(2, 50));
  QTest::mouseMove(bar, QPoint(40, 60));
  EXPECT_EQ(Ghost(), ScreenRect(kClamped, 300, 20));
  QTest::keyClick(Unit(0)->Widget(), Qt::Key_Escape);
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(40, 60));
  EXPECT_TRUE(Overlays().empty());
}

}  // namespace
