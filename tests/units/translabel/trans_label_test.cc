// The transparent label as the application uses it: loaded from a compiled form, its
// properties written by index, and what reaches the screen (the window's backing store)
// checked pixel by pixel against the window painted afresh.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <string>
#include <vector>

#include "libraries/library_table.h"
#include "tests/support/routine_log.h"
#include "tests/support/unit_form_test.h"
#include "units/base/unit_methods.h"

extern const unsigned char translabel_window_block[];
extern const int translabel_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010031;
constexpr uint32_t kCaptionLabel = 0x16010030;  // 200 x 40 at (20, 20); MouseLeftUp bound
constexpr uint32_t kLabel = 0x16010031;         // a label of the same size at (20, 100)
constexpr uint32_t kOutOfRange = 0x16010032;    // created from out-of-range pick-list values

// Property indexes (class index + 8).
constexpr int32_t kTop = 1, kWidth = 2;
constexpr int32_t kCaption = 8, kEffect = 9, kFont = 10, kTextColor = 11, kAlignment = 12,
                  kWordWrap = 13, kVerticalAlignment = 14;
constexpr int32_t kLabelCaption = 8, kLabelEffect = 9, kLabelFont = 15, kLabelTextColor = 16,
                  kLabelBackColor = 17, kLabelAlignment = 24, kLabelWordWrap = 25,
                  kLabelVerticalAlignment = 26;
constexpr int32_t kWindowBackColor = 10, kWindowBackPicture = 11, kWindowDragAnywhere = 27;

constexpr uint32_t kRed = 0x0000FF, kBlue = 0xFF0000, kGrey = 0x808080;
constexpr int kFontSizeField = 5;

using unit_tests::Log;

runtime::HandlerResult LogMouseUp(const char* who, const int32_t* args, int32_t count) {
  Log().push_back(std::string(who) + " " + std::to_string(count) + ": " + std::to_string(args[0]) +
                  " " + std::to_string(args[1]));
  return {};
}
runtime::HandlerResult OnCaptionUp(const int32_t* args, int32_t count) {
  return LogMouseUp("Caption", args, count);
}
runtime::HandlerResult OnWindowUp(const int32_t* args, int32_t count) {
  return LogMouseUp("Window", args, count);
}

const runtime::EventHandler kRoutines[] = {OnCaptionUp, OnWindowUp};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image =
      unit_tests::MakeImage(kRoutines, translabel_window_block,
                            translabel_window_block_size, libraries::LibraryTable());
  return image;
}

// The window's background picture: vertical stripes, three pixels each of yellow and
// cyan, so that every pixel it shows is known from its column.
constexpr QRgb kYellow = qRgb(255, 255, 0), kCyan = qRgb(0, 255, 255);
QRgb StripeAt(int x) { return (x / 3) % 2 == 0 ? kYellow : kCyan; }

std::vector<uint8_t> StripesPng(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) image.setPixel(x, y, StripeAt(x));
  }
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return {bytes.begin(), bytes.end()};
}

int DifferingPixels(const QImage& a, const QImage& b, const QRect& area) {
  int count = 0;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) count += a.pixel(x, y) != b.pixel(x, y);
  }
  return count;
}

class TransLabel : public unit_tests::FormTest {
 protected:
  TransLabel() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    Log().clear();
    ASSERT_TRUE(Load());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Top()));
  }

  QWidget* Top() { return Unit(0)->Widget(); }
  // What the screen shows of the window now: its backing store, as last painted.
  QImage Screen() {
    return Top()
        ->screen()
        ->grabWindow(Top()->winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
  }
  // The window as a full paint of it would show it.
  QImage Fresh() { return Top()->grab().toImage().convertToFormat(QImage::Format_RGB32); }
  // A unit's rectangle in the window's coordinates.
  QRect RectInWindow(uint32_t unit) {
    QWidget* widget = Unit(unit)->Widget();
    return QRect(widget->mapTo(Top(), QPoint(0, 0)), widget->size());
  }
  // Pixels in `area` (window coordinates) that are not the background picture's.
  int InkPixels(const QImage& image, QRect area) {
    area &= image.rect();
    const QPoint client = Top()->mapFromGlobal(Unit(0)->MapToGlobal(QPoint(0, 0)));
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        count += image.pixel(x, y) != StripeAt(x - client.x());
      }
    }
    return count;
  }
  void ShowStripes() {
    WriteBytes(0, kWindowBackPicture,
               StripesPng(Unit(0)->ClientRect().width(), Unit(0)->ClientRect().height()));
  }
  void WaitUntilTheScreenIsUpToDate() {
    // QTRY_ reports nothing to GoogleTest: wait, then check.
    const bool up_to_date =
        QTest::qWaitFor([&] { return DifferingPixels(Screen(), Fresh(), Top()->rect()) == 0; });
    ASSERT_TRUE(up_to_date) << DifferingPixels(Screen(), Fresh(), Top()->rect()) << " pixels differ";
  }
};

TEST_F(TransLabel, ANewCaptionLeavesNoTraceOfTheOldOne) {
  ShowStripes();
  WriteInt(kCaptionLabel, kTextColor, kRed);
  Write(kCaptionLabel, kFont, runtime::ArgCell::Int(20), kFontSizeField);
  WriteText(kCaptionLabel, kCaption, "WWWWWWWW");
  WaitUntilTheScreenIsUpToDate();
  const QRect area = RectInWindow(kCaptionLabel);
  const QRect right_part = area.adjusted(25, 0, 0, 0);  // where "i" never reaches
  const QImage before = Screen();
  ASSERT_GT(InkPixels(before, right_part), 100);

  WriteText(kCaptionLabel, kCaption, "i");
  // At once, without waiting for the event loop: the old text is gone, the background
  // picture shows through, and the new text is there.
  const QImage after = Screen();
  EXPECT_EQ(InkPixels(after, right_part), 0);
  EXPECT_GT(InkPixels(after, area), 0);
  EXPECT_EQ(DifferingPixels(after, Fresh(), Top()->rect()), 0);
}

TEST_F(TransLabel, MovingOrResizingItRepaintsWhereItWas) {
  ShowStripes();
  Write(kCaptionLabel, kFont, runtime::ArgCell::Int(20), kFontSizeField);
  WriteText(kCaptionLabel, kCaption, "WWWWWWWW");
  WaitUntilTheScreenIsUpToDate();
  const QRect first = RectInWindow(kCaptionLabel);
  ASSERT_GT(InkPixels(Screen(), first), 100);

  WriteInt(kCaptionLabel, kTop, 60);  // clear of where it was, above the label
  QImage now = Screen();
  EXPECT_EQ(InkPixels(now, first), 0) << "the old place shows the background again";
  EXPECT_GT(InkPixels(now, RectInWindow(kCaptionLabel)), 100);
  EXPECT_EQ(DifferingPixels(now, Fresh(), Top()->rect()), 0);

  // A narrower label cuts its text off: what it no longer covers is background again.
  const QRect wide = RectInWindow(kCaptionLabel);
  WriteInt(kCaptionLabel, kWidth, 40);
  now = Screen();
  EXPECT_EQ(InkPixels(now, wide.adjusted(40, 0, 0, 0)), 0);
  EXPECT_EQ(DifferingPixels(now, Fresh(), Top()->rect()), 0);

  // The Move method, as a handler calls it.
  units::Move(kForm, kCaptionLabel, 20, 200, 200, 40);
  now = Screen();
  EXPECT_EQ(InkPixels(now, wide), 0);
  EXPECT_EQ(DifferingPixels(now, Fresh(), Top()->rect()), 0);
}

TEST_F(TransLabel, CaptionsAreDrawnAsTheLabelDrawsThem) {
  // Over the same plain background a label and a transparent label of the same size must
  // show the same pixels for every effect, alignment and wrapping.
  WriteInt(0, kWindowBackColor, kGrey);
  WriteInt(kLabel, kLabelBackColor, kGrey);
  const std::string caption = "Ab&c 字数 wrapped words";
  WriteText(kCaptionLabel, kCaption, caption);
  WriteText(kLabel, kLabelCaption, caption);
  WriteInt(kCaptionLabel, kTextColor, kBlue);
  WriteInt(kLabel, kLabelTextColor, kBlue);
  Write(kCaptionLabel, kFont, runtime::ArgCell::Int(14), kFontSizeField);
  Write(kLabel, kLabelFont, runtime::ArgCell::Int(14), kFontSizeField);
  const auto shown = [&](uint32_t unit) { return Top()->grab(RectInWindow(unit)).toImage(); };
  QImage left_aligned;
  for (int32_t effect = 0; effect <= 3; ++effect) {
    for (int32_t alignment = 0; alignment <= 2; ++alignment) {
      for (int32_t vertical = 0; vertical <= 2; ++vertical) {
        for (int32_t wrap = 0; wrap <= 1; ++wrap) {
          WriteInt(kCaptionLabel, kEffect, effect);
          WriteInt(kCaptionLabel, kAlignment, alignment);
          WriteInt(kCaptionLabel, kVerticalAlignment, vertical);
          WriteInt(kCaptionLabel, kWordWrap, wrap);
          WriteInt(kLabel, kLabelEffect, effect);
          WriteInt(kLabel, kLabelAlignment, alignment);
          WriteInt(kLabel, kLabelVerticalAlignment, vertical);
          WriteInt(kLabel, kLabelWordWrap, wrap);
          const QImage image = shown(kCaptionLabel);
          EXPECT_EQ(image, shown(kLabel)) << "effect " << effect << " alignment " << alignment
                                          << " vertical " << vertical << " wrap " << wrap;
          if (effect == 0 && alignment == 0 && vertical == 0 && wrap == 0) left_aligned = image;
          if (effect == 0 && alignment == 2 && vertical == 0 && wrap == 0) {
            EXPECT_NE(image, left_aligned) << "the alignments must show apart";
          }
        }
      }
    }
  }
}

TEST_F(TransLabel, PickListValuesAreClampedIntoTheirChoices) {
  const struct {
    int32_t property;
    int32_t written;
    int32_t read;
  } cases[] = {
      {kEffect, 9, 3},
      {kEffect, 2, 2},
      {kAlignment, 5, 2},
      {kVerticalAlignment, 3, 2},
      {kVerticalAlignment, 1, 1},
      {kEffect, -4, 0},  // the form machinery makes a negative pick-list value 0
  };
  for (const auto& c : cases) {
    WriteInt(kCaptionLabel, c.property, c.written);
    EXPECT_EQ(ReadInt(kCaptionLabel, c.property), c.read) << c.property << " <- " << c.written;
  }
  // Values that came with the form are clamped when the unit is made.
  EXPECT_EQ(ReadInt(kOutOfRange, kEffect), 3);
  EXPECT_EQ(ReadInt(kOutOfRange, kAlignment), 2);
  EXPECT_EQ(ReadInt(kOutOfRange, kVerticalAlignment), 2);
  EXPECT_TRUE(Read(kOutOfRange, kWordWrap).As<int32_t>());
  // The rest read back as written.
  EXPECT_EQ(ReadText(kCaptionLabel, kCaption), "日期：");
  WriteText(kCaptionLabel, kCaption, "秒：59");
  EXPECT_EQ(ReadText(kCaptionLabel, kCaption), "秒：59");
  EXPECT_EQ(ReadInt(kCaptionLabel, kTextColor), static_cast<int32_t>(kRed));
  Write(kCaptionLabel, kFont, runtime::ArgCell::Int(1), 1);  // bold
  EXPECT_TRUE(Read(kCaptionLabel, kFont, 1).As<int32_t>());
}

TEST_F(TransLabel, MouseInputOnItBecomesItsOwnCommonEvents) {
  QTest::mouseClick(Unit(kCaptionLabel)->Widget(), Qt::LeftButton, {}, QPoint(7, 9));
  EXPECT_EQ(Log(), (std::vector<std::string>{"Caption 3: 7 9"}));
  // A window that drags from anywhere does not take the press from it: it is no
  // draggable-through unit, so a link on it keeps working.
  WriteInt(0, kWindowDragAnywhere, 1);
  QTest::mouseClick(Unit(kCaptionLabel)->Widget(), Qt::LeftButton, {}, QPoint(30, 5));
  EXPECT_EQ(Log().back(), "Caption 3: 30 5");
  EXPECT_EQ(Log().size(), 2u);
}

}  // namespace
