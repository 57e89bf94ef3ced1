// The super button as the application uses it: loaded from a compiled form, its
// properties read and written by index, the pointer and keys driven through the window as
// the platform delivers them, and its looks checked in what the widget paints.
#include <QApplication>
#include <QBuffer>
#include <QPainter>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <string>
#include <vector>

#include "libraries/library_table.h"
#include "tests/support/routine_log.h"
#include "tests/support/unit_form_test.h"
#include "units/superbtn/super_button_unit.h"

extern const unsigned char superbtn_window_block[];
extern const int superbtn_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010024;
constexpr uint32_t kOther = 0x16010054;     // a system button, first in tab order
constexpr uint32_t kOk = 0x16010050;        // raised, the default button, "确定(&O)"
constexpr uint32_t kSwitch = 0x16010051;    // flat, CheckStyle, Checked, own colours, "WW"
constexpr uint32_t kPlain = 0x16010052;     // a new button: the class's defaults
constexpr uint32_t kPictured = 0x16010053;  // flat, disabled, no caption, PicturePosition 3

// Property indexes (class index + 8).
constexpr int32_t kDisabled = 6;
constexpr int32_t kCheckStyle = 9, kChecked = 10, kPressOffset = 12, kPicture = 15,
                  kHotPicture = 17, kDisabledPicture = 19, kDisabledPictureColor = 20,
                  kCaption = 22, kUseSystemColors = 23, kColorPair2Back = 27, kHoverSound = 31,
                  kDefaultButton = 34;

// The switch's colours (0x00BBGGRR in the form).
constexpr QRgb kSwitchText1 = qRgb(255, 0, 0), kSwitchBack1 = qRgb(0, 128, 255),
               kSwitchText2 = qRgb(255, 255, 0), kSwitchBack2 = qRgb(0, 128, 0);

using unit_tests::Log;
using unit_tests::Note;
runtime::HandlerResult OnOkClicked(const int32_t*, int32_t) { return Note("Ok"); }
runtime::HandlerResult OnOkFocused(const int32_t*, int32_t) { return Note("OkFocused"); }
runtime::HandlerResult OnOkBlurred(const int32_t*, int32_t) { return Note("OkBlurred"); }
runtime::HandlerResult OnSwitchClicked(const int32_t*, int32_t) { return Note("Switch"); }
runtime::HandlerResult OnPlainClicked(const int32_t*, int32_t) { return Note("Plain"); }

const runtime::EventHandler kRoutines[] = {OnOkClicked, OnOkFocused, OnOkBlurred, OnSwitchClicked,
                                           OnPlainClicked};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image =
      unit_tests::MakeImage(kRoutines, superbtn_window_block, superbtn_window_block_size,
                            libraries::LibraryTable());
  return image;
}

// A PNG of `size` x `size` white pixels around a square of `color`, one pixel in.
std::vector<uint8_t> FramedPng(int size, QRgb color) {
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(qRgb(255, 255, 255));
  QPainter(&image).fillRect(1, 1, size - 2, size - 2, color);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return {bytes.begin(), bytes.end()};
}

// The smallest rectangle that holds every pixel of `image` other than `background`.
QRect InkOf(const QImage& image, QRgb background) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != background) ink |= QRect(x, y, 1, 1);
    }
  }
  return ink;
}

int CountOf(const QImage& image, QRgb color) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == color ? 1 : 0;
  }
  return count;
}

// The button face raised by the same amount in each channel, up to 32.
QRgb Lightened(const QColor& face) {
  const int amount = std::min(32, 255 - std::max({face.red(), face.green(), face.blue()}));
  return qRgb(face.red() + amount, face.green() + amount, face.blue() + amount);
}

class SuperButton : public unit_tests::FormTest {
 protected:
  SuperButton() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    LoadShown();
    if (HasFatalFailure()) return;
    Unit(kOther)->SetFocus();
    MoveAway();
    Log().clear();
  }

  QWidget* Widget(uint32_t unit) { return Unit(unit)->Widget(); }
  QColor Face(uint32_t unit) { return Widget(unit)->palette().color(QPalette::Button); }
  void WriteBool(uint32_t unit, int32_t property, bool value) {
    Write(unit, property, runtime::ArgCell::Logical(value));
  }

  // An empty part of the window. Qt drops a move to where the pointer already is, so
  // this moves twice, to two points: the window hears at least the second.
  void MoveAway() {
    MoveTo(0, {300, 150});
    MoveTo(0, {301, 150});
  }
};

TEST_F(SuperButton, ACheckStyleButtonIsDrawnPressedWhileChecked) {
  // Checked: the second pair's background and text, the caption where it always is.
  QImage image = Grab(kSwitch);
  EXPECT_EQ(image.pixel(2, 2), kSwitchBack2);
  EXPECT_GT(CountOf(image, kSwitchText2), 0);
  const QRect checked_ink = InkOf(image, kSwitchBack2);
  EXPECT_FALSE(checked_ink.isEmpty());

  WriteBool(kSwitch, kChecked, false);
  image = Grab(kSwitch);
  EXPECT_EQ(image.pixel(2, 2), kSwitchBack1);
  EXPECT_GT(CountOf(image, kSwitchText1), 0);
  EXPECT_EQ(CountOf(image, kSwitchText2), 0);
  // A toggling button keeps its caption in place when it is down.
  EXPECT_EQ(InkOf(image, kSwitchBack1), checked_ink);
}

TEST_F(SuperButton, ClickingACheckStyleButtonFlipsCheckedBeforeClicked) {
  for (int click = 1; click <= 2; ++click) {
    Click(kSwitch, {50, 20});
    ASSERT_EQ(Log().size(), static_cast<size_t>(click));
    const bool checked = click % 2 == 0;  // it started checked
    EXPECT_EQ(ReadInt(kSwitch, kChecked), checked ? 1 : 0) << "click " << click;
    // Away from the pointer and the focus, only Checked decides how it looks.
    Unit(kOther)->SetFocus();
    MoveAway();
    EXPECT_EQ(Grab(kSwitch).pixel(2, 2), checked ? kSwitchBack2 : kSwitchBack1)
        << "click " << click;
  }
  EXPECT_EQ(Log(), (std::vector<std::string>{"Switch", "Switch"}));
}

TEST_F(SuperButton, ACheckStyleWriteMakesTheButtonAnew) {
  gui::Window* before = Unit(kSwitch);
  WriteBool(kSwitch, kCheckStyle, false);
  ASSERT_NE(Unit(kSwitch), before);
  // Everything else is kept; Checked no longer shows without CheckStyle.
  EXPECT_EQ(ReadInt(kSwitch, kChecked), 1);
  EXPECT_EQ(ReadText(kSwitch, kCaption), "WW");
  EXPECT_EQ(Grab(kSwitch).pixel(2, 2), kSwitchBack1);
  Click(kSwitch, {50, 20});
  EXPECT_EQ(ReadInt(kSwitch, kChecked), 1);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Switch"}));
}

TEST_F(SuperButton, WhilePressedTheCaptionMovesByPressOffset) {
  const QPoint middle(50, 20);
  MoveTo(kPlain, middle);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Grab(kPlain).pixel(2, 2) != Face(kPlain).rgb(); }));
  const QRgb lit = Grab(kPlain).pixel(2, 2);
  const QRect hot_ink = InkOf(Grab(kPlain), lit);
  ASSERT_FALSE(hot_ink.isEmpty());

  Press(kPlain, middle);
  EXPECT_EQ(InkOf(Grab(kPlain), lit), hot_ink.translated(1, 1));
  Release(kPlain, middle);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Plain"}));

  WriteInt(kPlain, kPressOffset, 1);
  Press(kPlain, middle);
  EXPECT_EQ(InkOf(Grab(kPlain), lit), hot_ink.translated(0, 2));
  // Released elsewhere, the press clicks nothing.
  MoveAway();
  Release(0, {300, 150});
  EXPECT_EQ(Log(), (std::vector<std::string>{"Plain"}));
}

TEST_F(SuperButton, ANewButtonTakesTheSystemsColoursAndItsOwnCaption) {
  EXPECT_EQ(ReadText(kPlain, kCaption), "超级按钮");
  EXPECT_EQ(Grab(kPlain).pixel(2, 2), Face(kPlain).rgb());
  MoveTo(kPlain, {50, 20});
  EXPECT_TRUE(QTest::qWaitFor([&] { return Grab(kPlain).pixel(2, 2) == Lightened(Face(kPlain)); }))
      << "hot: the face lightened";

  // UseSystemColors shows the same in place of the switch's own colours.
  WriteBool(kSwitch, kUseSystemColors, true);
  EXPECT_EQ(Grab(kSwitch).pixel(2, 2), Lightened(Face(kSwitch)));
  WriteInt(kSwitch, kColorPair2Back, 0x0000FF);
  EXPECT_EQ(Grab(kSwitch).pixel(2, 2), Lightened(Face(kSwitch)));
  WriteBool(kSwitch, kUseSystemColors, false);
  EXPECT_EQ(Grab(kSwitch).pixel(2, 2), qRgb(255, 0, 0));
}

TEST_F(SuperButton, ADisabledButtonWithoutADisabledPictureShowsItsHotPictureGreyed) {
  const QRgb red = qRgb(220, 0, 0), blue = qRgb(0, 0, 200), green = qRgb(0, 170, 0);
  WriteBytes(kPictured, kHotPicture, FramedPng(14, red));  // white keyed out: 12 x 12 red
  WriteBytes(kPictured, kPicture, FramedPng(22, blue));    // 20 x 20 blue
  const QRgb face = Face(kPictured).rgb();
  // The picture sits at the face's top-left corner, 4 pixels in; its white edge is gone.
  QImage image = Grab(kPictured);
  EXPECT_EQ(InkOf(image, face), QRect(5, 5, 12, 12));
  const QColor greyed = QColor::fromRgb(image.pixel(10, 10));
  EXPECT_NE(greyed.rgb(), red);
  EXPECT_LT(greyed.hsvSaturation(), 40) << "greyed, not red";

  // Without a hot picture, the normal one is greyed; a disabled picture shows as it is.
  WriteBytes(kPictured, kHotPicture, {});
  EXPECT_EQ(InkOf(Grab(kPictured), face), QRect(5, 5, 20, 20));
  WriteInt(kPictured, kDisabledPictureColor, 0x00FFFFFF);
  WriteBytes(kPictured, kDisabledPicture, unit_tests::PngBytes(8, 8, green));
  image = Grab(kPictured);
  EXPECT_EQ(InkOf(image, face), QRect(4, 4, 8, 8));
  EXPECT_EQ(image.pixel(6, 6), green);

  // Enabled, it shows its picture, and its hot picture while the pointer is over it.
  WriteBytes(kPictured, kHotPicture, FramedPng(14, red));
  WriteBool(kPictured, kDisabled, false);
  EXPECT_EQ(Grab(kPictured).pixel(10, 10), blue);
  MoveTo(kPictured, {60, 30});
  EXPECT_TRUE(QTest::qWaitFor([&] { return Grab(kPictured).pixel(10, 10) == red; }));
  EXPECT_NE(Grab(kPictured).pixel(20, 20), blue) << "the hot picture is the smaller one";
}

TEST_F(SuperButton, EnterClicksTheDefaultButtonWhereverTheFocusIs) {
  EXPECT_EQ(Grab(kOk).pixel(0, 0), qRgb(0, 0, 0)) << "a raised default button is ringed";
  QTest::keyClick(Widget(kOther), Qt::Key_Return);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Ok"}));

  // Not a default button any more (the write makes it anew): Enter clicks nothing.
  gui::Window* before = Unit(kOk);
  WriteInt(kOk, kDefaultButton, 0);
  EXPECT_NE(Unit(kOk), before);
  EXPECT_NE(Grab(kOk).pixel(0, 0), qRgb(0, 0, 0));
  QTest::keyClick(Widget(kOther), Qt::Key_Return);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Ok"}));

  // A toggling button is never the default one, whatever DefaultButton says.
  WriteInt(kSwitch, kDefaultButton, 7);
  EXPECT_EQ(ReadInt(kSwitch, kDefaultButton), 1);
  QTest::keyClick(Widget(kOther), Qt::Key_Return);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Ok"}));
}

TEST_F(SuperButton, FocusTheSpaceBarAndTheMnemonicReachTheButton) {
  Unit(kOk)->SetFocus();
  QTest::keyClick(Widget(kOk), Qt::Key_Space);
  QTest::keyClick(Widget(kOk), Qt::Key_O, Qt::AltModifier);
  Unit(kOther)->SetFocus();
  EXPECT_EQ(Log(), (std::vector<std::string>{"OkFocused", "Ok", "Ok", "OkBlurred"}));
  // Sounds are kept as written: nothing plays them.
  EXPECT_EQ(ReadBytes(kOk, kHoverSound),
            (std::vector<uint8_t>{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}));
}

}  // namespace
