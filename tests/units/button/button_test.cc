// The button as the application uses it: Clicked from every way of clicking, the default
// button, the picture that makes the unit anew, and its class data.
#include <QApplication>
#include <QTest>
#include <algorithm>
#include <string>
#include <vector>

#include "forms/unit_interface.h"
#include "libraries/library_table.h"
#include "tests/support/routine_log.h"
#include "tests/support/unit_form_test.h"
#include "units/button/button_class.h"
#include "units/button/button_class_data.h"
#include "units/button/button_unit.h"
#include "units/button/push_button_widget.h"

extern const unsigned char button_window_block[];
extern const int button_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010022;
constexpr uint32_t kSave = 0x16010030;    // default button "保存(&S)"
constexpr uint32_t kCancel = 0x16010031;  // normal button "取消"

constexpr int32_t kPicture = 8, kButtonType = 9, kCaption = 10, kAlignment = 11,
                  kVerticalAlignment = 12;

using unit_tests::Log;
using unit_tests::Note;
int Count(const std::string& entry) {
  return static_cast<int>(std::count(Log().begin(), Log().end(), entry));
}

runtime::HandlerResult OnSaveClicked(const int32_t*, int32_t) { return Note("Save"); }
runtime::HandlerResult OnSaveFocused(const int32_t*, int32_t) { return Note("SaveFocused"); }
runtime::HandlerResult OnSaveBlurred(const int32_t*, int32_t) { return Note("SaveBlurred"); }
runtime::HandlerResult OnCancelClicked(const int32_t*, int32_t) { return Note("Cancel"); }

const runtime::EventHandler kRoutines[] = {OnSaveClicked, OnSaveFocused, OnSaveBlurred,
                                           OnCancelClicked};

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image = unit_tests::MakeImage(
      kRoutines, button_window_block, button_window_block_size, libraries::LibraryTable());
  return image;
}

bool IsDefaultByClass(gui::Window* unit) {
  const auto is_default = forms::UnitOperation<forms::IsDefaultButtonFunction>(
      units::ButtonClass().get_unit_interface, forms::unit_op::kIsDefaultButton);
  return is_default(unit);
}

class Button : public unit_tests::FormTest {
 protected:
  Button() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    ASSERT_TRUE(Load());
    QApplication::setActiveWindow(Unit(0)->Widget());
    Log().clear();
  }
  QWidget* Widget(uint32_t unit) { return Unit(unit)->Widget(); }
  void Focus(uint32_t unit) {
    Unit(unit)->SetFocus();
    ASSERT_EQ(QApplication::focusWidget(), Widget(unit));
    Log().clear();
  }
};

TEST_F(Button, ButtonTypeAndAlignmentsAreClampedIntoTheirChoices) {
  WriteInt(kCancel, kButtonType, 7);
  EXPECT_EQ(ReadInt(kCancel, kButtonType), 1);
  EXPECT_TRUE(IsDefaultByClass(Unit(kCancel)));
  WriteInt(kCancel, kButtonType, -3);
  EXPECT_EQ(ReadInt(kCancel, kButtonType), 0);
  EXPECT_FALSE(IsDefaultByClass(Unit(kCancel)));
  WriteInt(kCancel, kAlignment, 9);
  EXPECT_EQ(ReadInt(kCancel, kAlignment), 2);
  WriteInt(kCancel, kVerticalAlignment, 3);
  EXPECT_EQ(ReadInt(kCancel, kVerticalAlignment), 2);
}

TEST_F(Button, AMouseClickFiresClickedOnce) {
  QTest::mouseClick(Widget(kCancel), Qt::LeftButton);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Cancel"}));
  // A press that leaves the button before the release clicks nothing.
  QTest::mousePress(Widget(kCancel), Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(Widget(kCancel), Qt::LeftButton, {}, QPoint(-20, -20));
  EXPECT_EQ(Count("Cancel"), 1);
}

TEST_F(Button, TheSpaceBarClicksTheFocusedButton) {
  Focus(kCancel);
  QTest::keyClick(Widget(kCancel), Qt::Key_Space);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Cancel"}));
}

TEST_F(Button, EnterClicksTheDefaultButtonWhereverTheFocusIs) {
  Focus(kSave);
  QTest::keyClick(Widget(kSave), Qt::Key_Return);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Save"}));
  Focus(kCancel);
  QTest::keyClick(Widget(kCancel), Qt::Key_Return);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Save"})) << "the default button, not the focused one";
  // Without a default button Enter clicks nothing.
  WriteInt(kSave, kButtonType, 0);
  Log().clear();
  QTest::keyClick(Widget(kCancel), Qt::Key_Return);
  EXPECT_TRUE(Log().empty());
}

TEST_F(Button, TheMnemonicClicksOnceAndLeavesNoShortcutOfQtsOwn) {
  Focus(kCancel);
  QTest::keyClick(Widget(kCancel), Qt::Key_S, Qt::AltModifier);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Save"}));
  const auto* widget = static_cast<units::PushButtonWidget*>(Widget(kSave));
  EXPECT_TRUE(widget->text().isEmpty());
  EXPECT_EQ(widget->Caption(), QString::fromUtf8("保存(&S)"));
  EXPECT_EQ(Unit(kSave)->Text(), QString::fromUtf8("保存(&S)"));
}

TEST_F(Button, FocusChangesFireFocusGainedAndFocusLost) {
  Focus(kCancel);
  Unit(kSave)->SetFocus();
  Unit(kCancel)->SetFocus();
  EXPECT_EQ(Log(), (std::vector<std::string>{"SaveFocused", "SaveBlurred"}));
}

TEST_F(Button, APictureWriteMakesTheButtonAnew) {
  gui::Window* before = Unit(kSave);
  WriteBytes(kSave, kPicture, {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
  auto* text_button = UnitAs<units::ButtonUnit>(kSave);
  ASSERT_NE(text_button, nullptr);
  EXPECT_NE(static_cast<gui::Window*>(text_button), before);
  // Bytes that are no picture leave a text button with its caption and kind.
  EXPECT_FALSE(static_cast<units::PushButtonWidget*>(text_button->Widget())->ShowsPicture());
  EXPECT_EQ(ReadText(kSave, kCaption), "保存(&S)");
  EXPECT_EQ(ReadInt(kSave, kButtonType), 1);
  EXPECT_EQ(ReadBytes(kSave, kPicture).size(), 12u);
  // A tab stop stays one: Tab still reaches the new button.
  EXPECT_TRUE(text_button->Widget()->focusPolicy() & Qt::TabFocus);

  const std::vector<uint8_t> png = unit_tests::PngBytes(16, 16, qRgb(0, 200, 0));
  WriteBytes(kSave, kPicture, png);
  auto* picture_button = UnitAs<units::ButtonUnit>(kSave);
  ASSERT_NE(picture_button, nullptr);
  EXPECT_TRUE(static_cast<units::PushButtonWidget*>(picture_button->Widget())->ShowsPicture());
  EXPECT_EQ(ReadBytes(kSave, kPicture), png);
  const QImage image = Grab(kSave);
  EXPECT_EQ(image.pixel(50, 20), qRgb(0, 200, 0));  // centred in a 100 x 40 button
  // The new button clicks like the old one.
  QTest::mouseClick(picture_button->Widget(), Qt::LeftButton);
  EXPECT_EQ(Count("Save"), 1);
}

TEST(ButtonClassData, RoundTripsThroughTheCodecAndRefusesUnknownVersions) {
  const units::ClassDataCodec codec = units::ButtonClass().codec;
  const units::PropertyMap fields = {
      {"Picture", std::vector<uint8_t>{9, 8}}, {"ButtonType", int64_t{1}},
      {"Caption", std::string("OK")},          {"Alignment", int64_t{0}},
      {"VerticalAlignment", int64_t{2}},       {"Font", std::vector<uint8_t>(60, 0)}};
  const auto bytes = codec.encode(fields);
  ASSERT_TRUE(bytes);
  const auto data = units::ButtonClassData::Read(*bytes);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->picture, (std::vector<uint8_t>{9, 8}));
  EXPECT_EQ(data->button_type, 1);
  EXPECT_EQ(data->alignment, 0);
  EXPECT_EQ(data->vertical_alignment, 2);
  EXPECT_EQ(data->font.size(), 60u);
  EXPECT_EQ(data->caption, "OK");
  EXPECT_EQ(codec.encode(*codec.decode(*bytes)), bytes);
  EXPECT_EQ(codec.event_names, (std::vector<std::string>{"Clicked"}));
  // Version, ButtonType, Alignment, VerticalAlignment, then the picture's length.
  EXPECT_EQ(std::vector<uint8_t>(bytes->begin(), bytes->begin() + 20),
            (std::vector<uint8_t>{1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0}));
  std::vector<uint8_t> future = *bytes;
  future[0] = 2;
  EXPECT_FALSE(units::ButtonClassData::Read(future));
  EXPECT_FALSE(units::ButtonClassData::Read({bytes->data(), bytes->size() - 1}));
  EXPECT_EQ(units::ButtonClassData::Read({}), units::ButtonClassData{});
}

}  // namespace
