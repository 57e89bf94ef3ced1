// The label as the application uses it: loaded from a compiled form, its properties read
// and written by index, its pixels checked in what the widget paints.
#include <QApplication>
#include <QTest>
#include <array>
#include <string>
#include <vector>

#include "libraries/library_table.h"
#include "tests/support/routine_log.h"
#include "tests/support/unit_form_test.h"
#include "units/base/unit_methods.h"
#include "units/label/label_unit.h"

extern const unsigned char label_window_block[];
extern const int label_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010021;
constexpr uint32_t kLabel = 0x16010020;    // "姓&Name", Feedback and MouseLeftDown bound
constexpr uint32_t kPlain = 0x16010021;    // no caption, no events, 120 x 60
constexpr uint32_t kButton0 = 0x16010023;  // before the label in tab order
constexpr uint32_t kButton1 = 0x16010022;  // after it

// Property indexes (class index + 8).
constexpr int32_t kCaption = 8, kEffect = 9, kBorder = 10, kFrameWidth = 11, kFrameColor1 = 12,
                  kFrameColor2 = 13, kFont = 15, kTextColor = 16, kBackColor = 17,
                  kBackPicture = 18, kBackPictureMode = 19, kGradientMode = 20,
                  kGradientColor1 = 21, kGradientColor2 = 22, kAlignment = 24, kWordWrap = 25,
                  kVerticalAlignment = 26;
constexpr int32_t kWindowDragAnywhere = 27;

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kWhite = 0xFFFFFF,
                   kGrey = 0x808080;

using unit_tests::Log;

runtime::HandlerResult OnFeedback(const int32_t* args, int32_t count) {
  Log().push_back("Feedback " + std::to_string(count) + ": " + std::to_string(args[0]) + " " +
                  std::to_string(args[1]));
  return {true, 7};
}
runtime::HandlerResult OnLabelPress(const int32_t*, int32_t) {
  Log().push_back("Press");
  return {};
}

const runtime::EventHandler kRoutines[] = {OnFeedback, OnLabelPress};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image = unit_tests::MakeImage(
      kRoutines, label_window_block, label_window_block_size, libraries::LibraryTable());
  return image;
}

int CountPixels(const QImage& image, QRgb color) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == color ? 1 : 0;
  }
  return count;
}

class Label : public unit_tests::FormTest {
 protected:
  Label() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    Log().clear();
    ASSERT_TRUE(Load());
  }
};

TEST_F(Label, FrameWidthBelowFiveIsStoredAsFive) {
  WriteInt(kPlain, kFrameWidth, 2);
  EXPECT_EQ(ReadInt(kPlain, kFrameWidth), 5);
  WriteInt(kPlain, kFrameWidth, 9);
  EXPECT_EQ(ReadInt(kPlain, kFrameWidth), 9);
}

TEST_F(Label, PickListValuesAreClampedIntoTheirChoices) {
  const struct {
    int32_t property;
    int32_t written;
    int32_t read;
  } cases[] = {
      {kEffect, 9, 3},        {kBorder, 7, 6},    {kBackPictureMode, 3, 2},
      {kGradientMode, 12, 8}, {kAlignment, 5, 2}, {kVerticalAlignment, 3, 2},
      {kEffect, -4, 0},  // the form machinery makes a negative pick-list value 0
  };
  for (const auto& c : cases) {
    WriteInt(kPlain, c.property, c.written);
    EXPECT_EQ(ReadInt(kPlain, c.property), c.read) << c.property << " <- " << c.written;
  }
}

TEST_F(Label, AGradientWithOneColourPaintsPlainBackColor) {
  WriteInt(kPlain, kBackColor, kBlue);
  WriteInt(kPlain, kGradientMode, 1);
  WriteInt(kPlain, kGradientColor1, kRed);
  const QImage image = Grab(kPlain);
  ASSERT_EQ(image.size(), QSize(120, 60));
  EXPECT_EQ(CountPixels(image, unit_tests::RgbOf(kBlue)), 120 * 60);

  // A second colour makes it a gradient from the top edge to the bottom edge.
  WriteInt(kPlain, kGradientColor2, kGreen);
  const QImage gradient = Grab(kPlain);
  EXPECT_EQ(gradient.pixel(0, 0), unit_tests::RgbOf(kRed));
  EXPECT_EQ(gradient.pixel(119, 0), unit_tests::RgbOf(kRed));
  EXPECT_EQ(gradient.pixel(60, 59), unit_tests::RgbOf(kGreen));
  EXPECT_EQ(CountPixels(gradient, unit_tests::RgbOf(kBlue)), 0);
}

TEST_F(Label, ABackPictureTakesThePlaceOfTheGradient) {
  WriteInt(kPlain, kBackColor, kBlue);
  WriteInt(kPlain, kGradientMode, 1);
  WriteInt(kPlain, kGradientColor1, kRed);
  WriteInt(kPlain, kGradientColor2, kGreen);
  WriteBytes(kPlain, kBackPicture, unit_tests::PngBytes(20, 10, qRgb(255, 255, 0)));
  QImage image = Grab(kPlain);
  EXPECT_EQ(image.pixel(5, 5), qRgb(255, 255, 0));
  EXPECT_EQ(image.pixel(60, 40), unit_tests::RgbOf(kBlue));  // back colour, not gradient
  EXPECT_EQ(CountPixels(image, qRgb(255, 255, 0)), 20 * 10);

  WriteInt(kPlain, kBackPictureMode, 1);  // tiled over everything
  EXPECT_EQ(CountPixels(Grab(kPlain), qRgb(255, 255, 0)), 120 * 60);
  WriteInt(kPlain, kBackPictureMode, 2);  // centred at natural size
  image = Grab(kPlain);
  EXPECT_EQ(image.pixel(60, 30), qRgb(255, 255, 0));
  EXPECT_EQ(image.pixel(5, 5), unit_tests::RgbOf(kBlue));

  // Bytes that are no picture count as none: the gradient is back.
  WriteBytes(kPlain, kBackPicture, {'n', 'o', 'p', 'e'});
  EXPECT_EQ(Grab(kPlain).pixel(0, 0), unit_tests::RgbOf(kRed));
}

TEST_F(Label, TheGradientFrameRunsFromTheOuterEdgeInwards) {
  WriteInt(kPlain, kBackColor, kWhite);
  WriteInt(kPlain, kBorder, 6);
  WriteInt(kPlain, kFrameWidth, 2);  // stored as 5
  WriteInt(kPlain, kFrameColor1, kRed);
  QImage image = Grab(kPlain);
  EXPECT_EQ(CountPixels(image, unit_tests::RgbOf(kWhite)), 120 * 60)
      << "one frame colour paints no frame";

  WriteInt(kPlain, kFrameColor2, kBlue);
  image = Grab(kPlain);
  EXPECT_EQ(image.pixel(0, 30), unit_tests::RgbOf(kRed));
  EXPECT_EQ(image.pixel(119, 59), unit_tests::RgbOf(kRed));
  EXPECT_EQ(image.pixel(4, 30), unit_tests::RgbOf(kBlue));
  EXPECT_EQ(image.pixel(60, 55), unit_tests::RgbOf(kBlue));
  const QColor middle = QColor::fromRgb(image.pixel(2, 30));
  EXPECT_GT(middle.red(), 0);
  EXPECT_GT(middle.blue(), 0);
  EXPECT_EQ(image.pixel(5, 30), unit_tests::RgbOf(kWhite));
  EXPECT_EQ(CountPixels(image, unit_tests::RgbOf(kWhite)), (120 - 10) * (60 - 10));

  // A frame wider than the label fills it.
  WriteInt(kPlain, kFrameWidth, 2147483647);
  image = Grab(kPlain);
  EXPECT_EQ(CountPixels(image, unit_tests::RgbOf(kWhite)), 0);
  EXPECT_EQ(CountPixels(image, unit_tests::RgbOf(kRed)), 120 * 60);
}

TEST_F(Label, PlainBordersTakeTheirWidthFromTheInside) {
  WriteInt(kPlain, kBackColor, kGreen);  // a colour no frame line uses
  const struct {
    int32_t border;
    int width;
  } cases[] = {{0, 0}, {1, 2}, {2, 3}, {3, 1}, {4, 5}, {5, 1}};
  for (const auto& c : cases) {
    WriteInt(kPlain, kBorder, c.border);
    const QImage image = Grab(kPlain);
    EXPECT_EQ(CountPixels(image, unit_tests::RgbOf(kGreen)),
              (120 - 2 * c.width) * (60 - 2 * c.width))
        << "border " << c.border;
    if (c.border == 5) {
      EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    }
  }
}

TEST_F(Label, TextEffectsDrawTheirCopiesInWhiteOrBlack) {
  WriteInt(kPlain, kBackColor, kGrey);
  WriteInt(kPlain, kTextColor, kRed);
  WriteText(kPlain, kCaption, "WWW");
  Write(kPlain, kFont, runtime::ArgCell::Int(20), 5);  // 20 points: strokes of whole pixels
  const struct {
    int32_t effect;
    bool white;
    bool black;
  } cases[] = {{0, false, false}, {1, true, false}, {2, true, false}, {3, false, true}};
  for (const auto& c : cases) {
    WriteInt(kPlain, kEffect, c.effect);
    const QImage image = Grab(kPlain);
    EXPECT_GT(CountPixels(image, unit_tests::RgbOf(kRed)), 0) << "effect " << c.effect;
    EXPECT_EQ(CountPixels(image, qRgb(255, 255, 255)) > 0, c.white) << "effect " << c.effect;
    EXPECT_EQ(CountPixels(image, qRgb(0, 0, 0)) > 0, c.black) << "effect " << c.effect;
  }
}

TEST_F(Label, AlignmentPlacesTheCaption) {
  WriteInt(kPlain, kBackColor, kWhite);
  WriteInt(kPlain, kTextColor, 0);
  WriteText(kPlain, kCaption, "II");
  const auto ink_columns = [&] {
    const QImage image = Grab(kPlain);
    int first = image.width(), last = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
        first = std::min(first, x);
        last = std::max(last, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
    }
    return std::array<int, 4>{first, last, top, bottom};
  };
  const auto left_top = ink_columns();
  EXPECT_LT(left_top[0], 20);
  EXPECT_LT(left_top[2], 20);
  WriteInt(kPlain, kAlignment, 2);
  WriteInt(kPlain, kVerticalAlignment, 2);
  const auto right_bottom = ink_columns();
  EXPECT_GT(right_bottom[1], 100);
  EXPECT_GT(right_bottom[3], 40);
  // Wrapped text starts at the top whatever the vertical alignment.
  WriteInt(kPlain, kWordWrap, 1);
  EXPECT_LT(ink_columns()[2], 20);
}

TEST_F(Label, FeedbackGivesTheHandlersValueAsTheMessageResult) {
  EXPECT_EQ(Unit(kLabel)->Send(units::kLabelFeedbackMessage, 3, 4), 7);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Feedback 2: 3 4"}));
  EXPECT_EQ(units::SendUnitMessage(kForm, kLabel, units::kLabelFeedbackMessage, 5, 6), 7);
  EXPECT_EQ(Log().back(), "Feedback 2: 5 6");
  // Without a handler the message answers 0.
  EXPECT_EQ(units::SendUnitMessage(kForm, kPlain, units::kLabelFeedbackMessage, 3, 4), 0);
}

TEST_F(Label, CaptionIsTheWindowTextAndReadsBackAsWritten) {
  EXPECT_EQ(ReadText(kLabel, kCaption), "姓&Name");
  WriteText(kLabel, kCaption, "字数：1024");
  EXPECT_EQ(ReadText(kLabel, kCaption), "字数：1024");
  EXPECT_EQ(Unit(kLabel)->Text(), QString::fromUtf8("字数：1024"));
}

TEST_F(Label, AMnemonicPassesTheFocusToTheNextUnitInTabOrder) {
  QWidget* window = Unit(0)->Widget();
  QApplication::setActiveWindow(window);
  Unit(kButton0)->SetFocus();
  ASSERT_EQ(QApplication::focusWidget(), Unit(kButton0)->Widget());
  QTest::keyClick(Unit(kButton0)->Widget(), Qt::Key_N, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), Unit(kButton1)->Widget());
  EXPECT_FALSE(Unit(kLabel)->Widget()->hasFocus());
}

TEST_F(Label, APressOnALabelDragsAWindowThatDragsFromAnywhere) {
  QTest::mouseClick(Unit(kLabel)->Widget(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(Log().empty()) << "the press became a drag of the window";
  WriteInt(0, kWindowDragAnywhere, 0);
  QTest::mouseClick(Unit(kLabel)->Widget(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(Log(), (std::vector<std::string>{"Press"}));
}

}  // namespace
