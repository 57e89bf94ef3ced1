// The typing statistics, the look of the text and the web search of the writing desk,
// driven through real keys, clicks and dialogs.
#include <QApplication>
#include <QFontDialog>
#include <QTimer>

#include "app/desk_texts.h"
#include "platform/core/code_page.h"
#include "tests/app/desk_test.h"
#ifndef _WIN32
#include "tests/support/fake_browser.h"
#endif
#include "units/colorpicker/color_drop_down.h"
#include "units/colorpicker/color_picker_unit.h"

namespace desk_tests {

namespace {

using namespace app;

constexpr int32_t kFontBold = 1, kFontItalic = 2, kFontSize = 5;

class DeskFigures : public DeskTest {
 protected:
  std::string Caption(uint32_t label) { return ReadText(label, property::kCaption); }
  int32_t Interval(uint32_t timer) { return ReadInt(timer, property::kInterval); }
  std::vector<std::string> Figures() {
    return {Caption(unit::kSeconds), Caption(unit::kMinutes), Caption(unit::kHours), Caption(unit::kPerSecond),
            Caption(unit::kPerMinute)};
  }
  static constexpr uint32_t kTimers[] = {unit::kSecondsTimer, unit::kMinutesTimer, unit::kPerSecondTimer,
                                         unit::kPerMinuteTimer, unit::kHoursTimer};
};

TEST_F(DeskFigures, TheCountLeavesOutSpacesAndLineBreakPairs) {
  StartDesk();
  AddChapter("第一章", "");
  const struct {
    const char* text;
    const char* count;
  } cases[] = {{"ab\r\n小说", "4"}, {"     ", "0"}, {"　", "1"}, {"a\nb", "3"}};
  for (const auto& c : cases) {
    WriteText(unit::kTextBox, property::kContent, c.text);
    EXPECT_EQ(Caption(unit::kCountLabel), c.count) << c.text;
  }
  Type("天地");  // typing counts too: "a\nb天地"
  EXPECT_EQ(Caption(unit::kCountLabel), "5");
}

TEST_F(DeskFigures, OneCharacterAndThreeSecondsShowThreeAndAMinuteFraction) {
  StartDesk();
  AddChapter("第一章", "");
  for (uint32_t timer : kTimers) EXPECT_EQ(Interval(timer), 0);  // stopped until a key
  Type("字");
  EXPECT_EQ(Interval(unit::kSecondsTimer), 1000);
  EXPECT_EQ(Interval(unit::kPerSecondTimer), 100);
  ASSERT_TRUE(WaitFor([&] { return Caption(unit::kSeconds) == "3" && Caption(unit::kMinutes) == "0.05"; }, 6000))
      << Caption(unit::kSeconds) << " " << Caption(unit::kMinutes);
}

TEST_F(DeskFigures, CtrlBFreezesTheFiguresAndTheNextKeyGoesOnFromThem) {
  StartDesk();
  AddChapter("第一章", "");
  Type("a");
  ASSERT_TRUE(WaitFor([&] { return Caption(unit::kSeconds) == "1"; }, 3000));
  Key(Qt::Key_B, Qt::ControlModifier);  // "停止计时" of the text box's pop-up menu
  for (uint32_t timer : kTimers) EXPECT_EQ(Interval(timer), 0);
  const std::vector<std::string> frozen = Figures();
  LetTimersRun();
  EXPECT_EQ(Figures(), frozen);
  Type("b");
  ASSERT_TRUE(WaitFor([&] { return Caption(unit::kSeconds) == "2"; }, 3000));
}

TEST_F(DeskFigures, LoadingALongChapterWhileTimingMakesTheSpeedsJump) {
  StartDesk();
  AddChapter("长篇", std::string(1000, 'x'));
  AddChapter("短篇", "");
  Type("a");
  ASSERT_TRUE(WaitFor([&] { return Caption(unit::kSeconds) == "1"; }, 3000));
  ASSERT_TRUE(WaitFor([&] { return Caption(unit::kPerSecond) == "1"; }, 2000)) << Caption(unit::kPerSecond);
  ClickItem(0);
  EXPECT_EQ(Caption(unit::kCountLabel), "1000");
  ASSERT_TRUE(WaitFor([&] { return std::stod(Caption(unit::kPerSecond)) >= 500; }, 2000)) << Caption(unit::kPerSecond);
}

TEST_F(DeskFigures, AQuotientByZeroShowsAsNonFinite) {
  StartDesk();
  AddChapter("第一章", "");
  Type("a");
  // The per-second figure ticks every 100 ms; before the first second the seconds caption
  // is "0": 1 / 0.
  ASSERT_TRUE(WaitFor([&] { return Caption(unit::kPerSecond) != "0"; }, 500));
  const std::string shown = Caption(unit::kPerSecond);
  EXPECT_TRUE(shown.find_first_not_of("0123456789.") != std::string::npos) << shown;
}

TEST_F(DeskFigures, RedForTheTextLeavesTheBackgroundAlone) {
  StartDesk();
  AddChapter("第一章", "红字");
  const int32_t background = ReadInt(unit::kTextBox, property::kBackColor);
  auto* picker = UnitAs<units::ColorPickerUnit>(unit::kTextColorPicker);
  Press(unit::kTextColorPicker, {20, 12});
  Release(unit::kTextColorPicker, {20, 12});
  ASSERT_TRUE(WaitFor([&] { return picker->DropDown() != nullptr; }));
  units::ColorDropDown* drop_down = picker->DropDown();
  const QPoint red = drop_down->ItemRect(12).center();  // "红色"
  QTest::mouseMove(drop_down, red);
  QTest::mouseClick(drop_down, Qt::LeftButton, {}, red);
  ASSERT_TRUE(WaitFor([&] { return ReadInt(unit::kTextBox, property::kTextColor) == 0x0000FF; }));
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kBackColor), background);
  EXPECT_EQ(Grab(unit::kTextBox).pixelColor(2, 2), QColor(Qt::white));
}

TEST_F(DeskFigures, ABoldItalicSixteenPointChoiceMakesTheTextBoldAndSixteenButNotItalic) {
  StartDesk();
  AddChapter("第一章", "字体");
  QTimer chooser;
  QObject::connect(&chooser, &QTimer::timeout, [&] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QFontDialog*>(top);
      if (dialog == nullptr || !dialog->isVisible()) continue;
      // As the author picks them: a family that has the style, "Bold Italic", 16 points.
      dialog->setCurrentFont(QFont("DejaVu Sans", 16, QFont::Bold, true));
      dialog->accept();
      chooser.stop();
    }
  });
  chooser.start(20);
  ClickInto(unit::kFontButton);
  ASSERT_TRUE(WaitFor([&] { return !chooser.isActive(); }));
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kFont, kFontBold), 1);
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kFont, kFontSize), 16);
  EXPECT_EQ(ReadInt(unit::kTextBox, property::kFont, kFontItalic), 0);
}

#ifndef _WIN32
// The fake browser is a shell script found on PATH, where the desk's hand-over on Linux
// looks; on Windows the address goes to the shell's own handler instead.
TEST_F(DeskFigures, EnterInTheSearchBoxSendsTheWordsAsGbkBytes) {
  StartDesk();
  test_support::FakeBrowser browser;
  ClickInto(unit::kSearchBox);
  Type("小说");
  Key(Qt::Key_Space);  // any other key opens nothing
  EXPECT_EQ(browser.Handed(std::chrono::milliseconds(300)), "");
  Key(Qt::Key_Backspace);
  Key(Qt::Key_Return);
  EXPECT_EQ(browser.Handed(), texts::kWebSearchAddress + "%D0%A1%CB%B5\n");
}

TEST_F(DeskFigures, TheSearchButtonAndTheForumLabelOpenTheirPages) {
  StartDesk();
  {
    test_support::FakeBrowser browser;
    ClickInto(unit::kSearchButton);
    EXPECT_EQ(browser.Handed(), texts::kWebSearchAddress + "\n");
  }
  test_support::FakeBrowser browser;
  Click(unit::kForumLabel, QPoint(ReadInt(unit::kForumLabel, property::kWidth) - 12, 12));  // its right end
  EXPECT_EQ(browser.Handed(), texts::kForumAddress + "\n");
}
#endif

}  // namespace

}  // namespace desk_tests
