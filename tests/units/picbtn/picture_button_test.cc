// The picture button as the application uses it: pictures written through its
// properties, the pointer and the left button driven through the window as the platform
// delivers them (so that a shaped button's mask decides who gets a press), Clicked, and
// the picture it shows checked in what the widget paints.
#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QTest>
#include <QWindow>
#include <string>
#include <vector>

#include "libraries/library_table.h"
#include "tests/support/routine_log.h"
#include "tests/support/unit_form_test.h"
#include "units/picbtn/picture_button_unit.h"
#include "units/picbtn/picture_button_widget.h"

extern const unsigned char picbtn_window_block[];
extern const int picbtn_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010023;
constexpr uint32_t kPush = 0x16010040;    // push button at (10, 10), 40 x 30
constexpr uint32_t kToggle = 0x16010041;  // toggle button at (60, 10), 40 x 30
constexpr uint32_t kShaped = 0x16010042;  // TransparentColor white, 40 x 40, over a label
                                          // whose MouseLeftDown notes "Below"

// Property indexes (class index + 8).
constexpr int32_t kDisabled = 6;
constexpr int32_t kToggleType = 8, kChecked = 9, kNormalPicture = 10, kHotPicture = 11,
                  kPressedPicture = 12, kDisabledPicture = 13, kTransparentColor = 14;

constexpr QRgb kGreen = qRgb(0, 160, 0), kYellow = qRgb(250, 220, 0), kBlue = qRgb(0, 0, 200),
               kRed = qRgb(220, 0, 0), kWhite = qRgb(255, 255, 255), kGrey = qRgb(90, 90, 90);

using unit_tests::Log;
using unit_tests::Note;
runtime::HandlerResult OnPushClicked(const int32_t*, int32_t) { return Note("Push"); }
runtime::HandlerResult OnToggleClicked(const int32_t*, int32_t) { return Note("Toggle"); }
runtime::HandlerResult OnShapedClicked(const int32_t*, int32_t) { return Note("Shaped"); }
runtime::HandlerResult OnBelowPress(const int32_t*, int32_t) { return Note("Below"); }

const runtime::EventHandler kRoutines[] = {OnPushClicked, OnToggleClicked, OnShapedClicked,
                                           OnBelowPress};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image =
      unit_tests::MakeImage(kRoutines, picbtn_window_block, picbtn_window_block_size,
                            libraries::LibraryTable());
  return image;
}

// A PNG of `size` x `size` in `surround` with a square of `inner` pixels of `color` at
// (`at`, `at`).
std::vector<uint8_t> FramedPng(int size, QRgb surround, int at, int inner, QRgb color) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(surround);
  QPainter(&image).fillRect(at, at, inner, inner, color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return {bytes.begin(), bytes.end()};
}

class PictureButton : public unit_tests::FormTest {
 protected:
  PictureButton() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    LoadShown();
    if (HasFatalFailure()) return;
    MoveAway();
    Log().clear();
  }

  // An empty part of the window. Qt drops a move to where the pointer already is, so
  // this moves twice, to two points: the window hears at least the second.
  void MoveAway() {
    MoveTo(0, {280, 120});
    MoveTo(0, {281, 120});
  }
  units::PictureButtonWidget::State StateOf(uint32_t unit) {
    return static_cast<units::PictureButtonWidget*>(Unit(unit)->Widget())->CurrentState();
  }
  // Waits for the state that the pointer's last move brings about.
  bool Becomes(uint32_t unit, units::PictureButtonWidget::State state) {
    return QTest::qWaitFor([&] { return StateOf(unit) == state; }, 2000);
  }
  QRgb PixelOf(uint32_t unit, QPoint point) { return Grab(unit).pixel(point); }
  void WriteBool(uint32_t unit, int32_t property, bool value) {
    Write(unit, property, runtime::ArgCell::Logical(value));
  }
};

TEST_F(PictureButton, WithoutAHotPictureTheNormalOneStaysWhileHovered) {
  WriteBytes(kPush, kNormalPicture, unit_tests::PngBytes(40, 30, kGreen));
  MoveTo(kPush, {20, 15});
  ASSERT_TRUE(Becomes(kPush, units::PictureButtonWidget::kHot));
  EXPECT_EQ(PixelOf(kPush, {20, 15}), kGreen);

  // A hot picture written while hovered shows at once, and goes when the pointer does.
  WriteBytes(kPush, kHotPicture, unit_tests::PngBytes(40, 30, kYellow));
  EXPECT_EQ(PixelOf(kPush, {20, 15}), kYellow);
  MoveAway();
  ASSERT_TRUE(Becomes(kPush, units::PictureButtonWidget::kNormal));
  EXPECT_EQ(PixelOf(kPush, {20, 15}), kGreen);
}

TEST_F(PictureButton, PaintsOnBlackAtNaturalSizeFromTheTopLeft) {
  WriteBytes(kPush, kNormalPicture, unit_tests::PngBytes(16, 8, kGreen));
  const QImage image = Grab(kPush);
  EXPECT_EQ(image.pixel(15, 7), kGreen);
  EXPECT_EQ(image.pixel(16, 7), qRgb(0, 0, 0));
  EXPECT_EQ(image.pixel(15, 8), qRgb(0, 0, 0));
  // Bytes that are no picture leave only the black.
  WriteBytes(kPush, kNormalPicture, {'G', 'I', 'F', '8'});
  EXPECT_EQ(PixelOf(kPush, {0, 0}), qRgb(0, 0, 0));
}

TEST_F(PictureButton, APressShowsThePressedPictureAndTheReleaseClicksOnce) {
  WriteBytes(kPush, kNormalPicture, unit_tests::PngBytes(40, 30, kGreen));
  WriteBytes(kPush, kPressedPicture, unit_tests::PngBytes(40, 30, kBlue));
  MoveTo(kPush, {20, 15});
  Press(kPush, {20, 15});
  EXPECT_EQ(StateOf(kPush), units::PictureButtonWidget::kPressed);
  EXPECT_EQ(PixelOf(kPush, {5, 5}), kBlue);
  EXPECT_TRUE(Log().empty());
  Release(kPush, {20, 15});
  EXPECT_EQ(Log(), (std::vector<std::string>{"Push"}));
  EXPECT_EQ(PixelOf(kPush, {5, 5}), kGreen);
  // A push button keeps no state: Checked writes are ignored.
  WriteInt(kPush, kChecked, 1);
  EXPECT_EQ(ReadInt(kPush, kChecked), 0);
}

TEST_F(PictureButton, APressThatLeavesBeforeTheReleaseClicksNothing) {
  WriteBytes(kPush, kNormalPicture, unit_tests::PngBytes(40, 30, kGreen));
  WriteBytes(kPush, kPressedPicture, unit_tests::PngBytes(40, 30, kBlue));
  MoveTo(kPush, {20, 15});
  Press(kPush, {20, 15});
  MoveTo(kPush, {120, 100});
  EXPECT_EQ(StateOf(kPush), units::PictureButtonWidget::kNormal);
  EXPECT_EQ(PixelOf(kPush, {5, 5}), kGreen);
  // Coming back while the button is held presses it again.
  MoveTo(kPush, {20, 15});
  EXPECT_EQ(StateOf(kPush), units::PictureButtonWidget::kPressed);
  MoveTo(kPush, {120, 100});
  Release(kPush, {120, 100});
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(StateOf(kPush), units::PictureButtonWidget::kNormal);
  // A press that began elsewhere and ends on the button is no click either.
  Press(0, {280, 120});
  MoveTo(kPush, {20, 15});
  Release(kPush, {20, 15});
  EXPECT_TRUE(Log().empty());
}

TEST_F(PictureButton, AToggleButtonFlipsCheckedAndFiresClickedOnEveryClick) {
  WriteBytes(kToggle, kNormalPicture, unit_tests::PngBytes(40, 30, kGreen));
  WriteBytes(kToggle, kHotPicture, unit_tests::PngBytes(40, 30, kYellow));
  WriteBytes(kToggle, kPressedPicture, unit_tests::PngBytes(40, 30, kBlue));
  for (int click = 1; click <= 3; ++click) {
    Click(kToggle, {20, 15});
    EXPECT_EQ(Log().size(), static_cast<size_t>(click));
    const bool checked = click % 2 == 1;
    EXPECT_EQ(ReadInt(kToggle, kChecked), checked ? 1 : 0) << "click " << click;
    // Its state follows Checked alone: the pointer over it makes it no hotter.
    EXPECT_EQ(PixelOf(kToggle, {20, 15}), checked ? kBlue : kGreen) << "click " << click;
  }
  EXPECT_EQ(Log(), (std::vector<std::string>{"Toggle", "Toggle", "Toggle"}));
  // The saved state holds the live Checked, so a re-created button keeps it.
  EXPECT_TRUE(UnitAs<units::PictureButtonUnit>(kToggle)->Data().checked);

  // Written, Checked shows at once; ToggleType is clamped and only kept.
  WriteInt(kToggle, kChecked, 0);
  EXPECT_EQ(PixelOf(kToggle, {20, 15}), kGreen);
  WriteInt(kToggle, kToggleType, 5);
  EXPECT_EQ(ReadInt(kToggle, kToggleType), 1);
}

TEST_F(PictureButton, AShapedButtonTakesPressesOnlyOnItsKeptPixels) {
  // White all round, a red square in the middle: only the red is the button.
  WriteBytes(kShaped, kNormalPicture, FramedPng(40, kWhite, 10, 20, kRed));
  Click(kShaped, {3, 3});
  EXPECT_EQ(Log(), (std::vector<std::string>{"Below"})) << "the press went through";
  Click(kShaped, {20, 20});
  EXPECT_EQ(Log(), (std::vector<std::string>{"Below", "Shaped"}));

  // The shape follows the picture shown: a hot picture with a larger square widens it.
  WriteBytes(kShaped, kHotPicture, FramedPng(40, kWhite, 2, 36, kGrey));
  MoveTo(kShaped, {21, 21});
  ASSERT_TRUE(Becomes(kShaped, units::PictureButtonWidget::kHot));
  Click(kShaped, {5, 5});
  EXPECT_EQ(Log().back(), "Shaped");

  // DefaultColor removes the shape: the whole rectangle is the button.
  WriteInt(kShaped, kTransparentColor, static_cast<int32_t>(0xFF000000));
  MoveAway();
  ASSERT_TRUE(Becomes(kShaped, units::PictureButtonWidget::kNormal));
  Log().clear();
  Click(kShaped, {1, 1});
  EXPECT_EQ(Log(), (std::vector<std::string>{"Shaped"}));
}

TEST_F(PictureButton, ADisabledButtonShowsItsDisabledPictureAndIgnoresClicks) {
  WriteBytes(kPush, kNormalPicture, unit_tests::PngBytes(40, 30, kGreen));
  WriteBool(kPush, kDisabled, true);
  EXPECT_EQ(PixelOf(kPush, {5, 5}), kGreen) << "without a disabled picture, the normal one";
  WriteBytes(kPush, kDisabledPicture, unit_tests::PngBytes(40, 30, kGrey));
  EXPECT_EQ(PixelOf(kPush, {5, 5}), kGrey);
  Click(kPush, {20, 15});
  EXPECT_TRUE(Log().empty());
  WriteBool(kPush, kDisabled, false);
  EXPECT_EQ(PixelOf(kPush, {5, 5}), kGreen);
}

}  // namespace
