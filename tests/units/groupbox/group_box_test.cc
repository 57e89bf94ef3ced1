// The group box as the application uses it: a titled, coloured frame that holds units.
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "libraries/library_table.h"
#include "tests/support/routine_log.h"
#include "tests/support/unit_form_test.h"
#include "units/groupbox/group_box_class.h"
#include "units/groupbox/group_box_class_data.h"

extern const unsigned char group_box_window_block[];
extern const int group_box_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010023;
constexpr uint32_t kBox = 0x16010050;    // 300 x 180, red title on blue
constexpr uint32_t kLabel = 0x16010051;  // placed in the box at (16, 40)

constexpr int32_t kLeft = 0, kCaption = 8, kAlignment = 9, kTextColor = 10, kBackColor = 11,
                  kFont = 12;

using unit_tests::Log;

runtime::HandlerResult OnWindowPress(const int32_t*, int32_t) {
  Log().push_back("WindowPress");
  return {};
}
runtime::HandlerResult OnBoxPress(const int32_t*, int32_t) {
  Log().push_back("BoxPress");
  return {};
}

const runtime::EventHandler kRoutines[] = {OnWindowPress, OnBoxPress};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image = unit_tests::MakeImage(
      kRoutines, group_box_window_block, group_box_window_block_size, libraries::LibraryTable());
  return image;
}

class GroupBox : public unit_tests::FormTest {
 protected:
  GroupBox() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    Log().clear();
    ASSERT_TRUE(Load());
    Write(kBox, kFont, runtime::ArgCell::Int(20), 5);  // a title of solid strokes
  }
  // The frame's own shading (styles draw one) may shift a colour a little.
  static bool Near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 6 && std::abs(qGreen(a) - qGreen(b)) <= 6 &&
           std::abs(qBlue(a) - qBlue(b)) <= 6;
  }
  // The columns that hold pixels of `color` in the title strip (first, last).
  std::pair<int, int> TitleColumns(QRgb color) {
    const QImage image = Grab(kBox);
    int first = image.width(), last = -1;
    for (int y = 0; y < 36; ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) != color) continue;
        first = std::min(first, x);
        last = std::max(last, x);
      }
    }
    return {first, last};
  }
};

TEST_F(GroupBox, UnitsPlacedInItMoveWithIt) {
  EXPECT_EQ(Unit(kLabel)->Parent(), Unit(kBox));
  EXPECT_TRUE(Unit(kLabel)->IsVisible());
  const QPoint before = Unit(kLabel)->Widget()->mapToGlobal(QPoint(0, 0));
  WriteInt(kBox, kLeft, 60);
  EXPECT_EQ(Unit(kLabel)->Widget()->mapToGlobal(QPoint(0, 0)) - before, QPoint(40, 0));
  // What the box paints does not cover what it holds.
  EXPECT_EQ(Grab(kBox).pixel(20, 45), qRgb(0, 255, 0));
}

TEST_F(GroupBox, TheBackgroundAndTheTitleTakeTheirColours) {
  const QImage image = Grab(kBox);
  EXPECT_PRED2(Near, image.pixel(150, 120), qRgb(0, 0, 255));
  EXPECT_LE(TitleColumns(qRgb(255, 0, 0)).first, TitleColumns(qRgb(255, 0, 0)).second);
  WriteInt(kBox, kTextColor, 0x00FFFF);  // yellow
  WriteInt(kBox, kBackColor, 0x808080);
  EXPECT_PRED2(Near, Grab(kBox).pixel(150, 120), qRgb(128, 128, 128));
  EXPECT_EQ(TitleColumns(qRgb(255, 0, 0)).second, -1);
  EXPECT_GE(TitleColumns(qRgb(255, 255, 0)).second, 0);
  EXPECT_EQ(ReadInt(kBox, kTextColor), 0x00FFFF);
}

TEST_F(GroupBox, TheTitleSitsWhereItsAlignmentSays) {
  const QRgb red = qRgb(255, 0, 0);
  const auto left = TitleColumns(red);
  WriteInt(kBox, kAlignment, 1);
  const auto centre = TitleColumns(red);
  WriteInt(kBox, kAlignment, 5);
  EXPECT_EQ(ReadInt(kBox, kAlignment), 2);
  const auto right = TitleColumns(red);
  EXPECT_LT(left.second, 150);
  EXPECT_LT(centre.first, 150);
  EXPECT_GT(centre.second, 150);
  EXPECT_GT(right.first, 150);
  EXPECT_LT(left.first, centre.first);
  EXPECT_LT(centre.first, right.first);
}

TEST_F(GroupBox, CaptionIsTheWindowTextAndReadsBackAsWritten) {
  EXPECT_EQ(ReadText(kBox, kCaption), "设置");
  WriteText(kBox, kCaption, "外观 && 颜色");
  EXPECT_EQ(ReadText(kBox, kCaption), "外观 && 颜色");
  EXPECT_EQ(Unit(kBox)->Text(), QString::fromUtf8("外观 && 颜色"));
}

TEST_F(GroupBox, APressOnTheBoxIsTheBoxsAndNotTheWindows) {
  QTest::mouseClick(Unit(kBox)->Widget(), Qt::LeftButton, {}, QPoint(150, 120));
  EXPECT_EQ(Log(), (std::vector<std::string>{"BoxPress"}));
}

TEST(GroupBoxClassData, RoundTripsThroughTheCodecAndRefusesUnknownVersions) {
  const units::ClassDataCodec codec = units::GroupBoxClass().codec;
  const auto bytes = codec.encode({{"Caption", std::string("T")},
                                   {"Alignment", int64_t{2}},
                                   {"TextColor", int64_t{0x112233}},
                                   {"BackColor", int64_t{0xFF000000}}});
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, (std::vector<uint8_t>{1, 0, 0,    0, 2, 0, 0, 0, 0x33, 0x22, 0x11, 0,  0,
                                          0, 0, 0xFF, 0, 0, 0, 0, 1, 0,    0,    0,    'T'}));
  EXPECT_EQ(codec.encode(*codec.decode(*bytes)), bytes);
  EXPECT_TRUE(codec.event_names.empty());
  std::vector<uint8_t> future = *bytes;
  future[0] = 2;
  EXPECT_FALSE(units::GroupBoxClassData::Read(future));
  EXPECT_FALSE(units::GroupBoxClassData::Read({bytes->data(), bytes->size() - 1}));
  EXPECT_EQ(units::GroupBoxClassData::Read({}), units::GroupBoxClassData{});
}

}  // namespace
