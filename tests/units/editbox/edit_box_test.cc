// Edit boxes loaded from a compiled form and driven through real widgets, with their
// properties read and written the way the application does it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <algorithm>

#include "forms/forms_runtime.h"
#include "runtime/gbk_literal.h"
#include "tests/support/unit_form_test.h"
#include "tests/units/editbox/edit_box_program.h"
#include "units/base/unit_methods.h"
#include "units/editbox/edit_box_methods.h"
#include "units/editbox/edit_box_unit.h"

namespace {

using namespace edit_box_program;
using forms::FormsRuntime;
using runtime::ArgCell;

// Property indexes as the program sees them.
enum Property {
  kContent = 8,
  kBorder,
  kTextColor,
  kBackColor,
  kFont,
  kHideSelection,
  kMaxLength,
  kMultiLine,
  kScrollBars,
  kAlignment,
  kInputMode,
  kPasswordChar,
  kCaseConversion,
  kSpinMode,
  kSpinMin,
  kSpinMax,
  kSelStart,
  kSelLength,
  kSelText,
};

std::string Entry(const char* name, uint32_t unit) {
  char text[48];
  std::snprintf(text, sizeof text, "%s %08X", name, unit);
  return text;
}

class EditBox : public unit_tests::FormTest {
 protected:
  EditBox() : FormTest(Image(), kForm) {}

  void SetUp() override {
    FormTest::SetUp();
    Log().clear();
    OnContentChanged() = nullptr;
    OnFocusLost() = nullptr;
    ASSERT_TRUE(Load());
    Log().clear();
  }
  void TearDown() override {
    OnContentChanged() = nullptr;
    OnFocusLost() = nullptr;
    FormTest::TearDown();
  }

  units::EditBoxUnit* Box(uint32_t unit) { return UnitAs<units::EditBoxUnit>(unit); }
  QWidget* Widget(uint32_t unit) { return Unit(unit)->Widget(); }

  void Activate() {
    QWidget* window = Unit(0)->Widget();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }
  // Moves the keyboard focus into `unit` and then away from it.
  void Leave(uint32_t unit) {
    Unit(unit)->SetFocus();
    ASSERT_TRUE(Widget(unit)->hasFocus());
    Unit(unit == kText ? kName : kText)->SetFocus();
    ASSERT_FALSE(Widget(unit)->hasFocus());
  }
};

TEST_F(EditBox, ContentWriteFiresContentChangedOnceEvenForAnEqualText) {
  WriteText(kName, kContent, "第二章");
  EXPECT_EQ(Count(Entry("ContentChanged", kName)), 1);
  WriteText(kName, kContent, "第二章");
  EXPECT_EQ(Count(Entry("ContentChanged", kName)), 2);
  EXPECT_EQ(ReadText(kName, kContent), "第二章");
  // A multi-line box hands its lines out as they were written; a lone "\n" ends its
  // paragraph too (typing lays out one paragraph, not the whole text).
  WriteText(kText, kContent, "一\r\n二\n三");
  EXPECT_EQ(Count(Entry("ContentChanged", kText)), 1);
  EXPECT_EQ(ReadText(kText, kContent), "一\r\n二\n三");
  EXPECT_EQ(static_cast<QPlainTextEdit*>(Widget(kText))->blockCount(), 3);
}

TEST_F(EditBox, TypingFiresContentChangedOncePerChange) {
  Activate();
  Unit(kText)->SetFocus();
  std::vector<std::string> seen;
  OnContentChanged() = [&](uint32_t unit) { seen.push_back(ReadText(unit, kContent)); };
  WriteInt(kText, kSelStart, -1);
  QTest::keyClicks(Widget(kText), "ab");
  QTest::keyClick(Widget(kText), Qt::Key_Backspace);
  EXPECT_EQ(seen, (std::vector<std::string>{"天地玄黄\r\n宇宙洪荒a", "天地玄黄\r\n宇宙洪荒ab",
                                            "天地玄黄\r\n宇宙洪荒a"}));
}

TEST_F(EditBox, SelectionPropertiesCountGbkBytes) {
  WriteText(kName, kContent, "中文ab");
  // SelStart -1 puts the caret at the end, so SelText appends.
  WriteInt(kName, kSelStart, -1);
  EXPECT_EQ(ReadInt(kName, kSelStart), 6);
  WriteText(kName, kSelText, "abc");
  EXPECT_EQ(ReadText(kName, kContent), "中文ababc");
  // SelLength -1 selects everything.
  WriteInt(kName, kSelLength, -1);
  EXPECT_EQ(ReadText(kName, kSelText), "中文ababc");
  EXPECT_EQ(ReadInt(kName, kSelStart), 0);
  EXPECT_EQ(ReadInt(kName, kSelLength), 9);
  // Byte 2 starts "文"; two bytes select it.
  WriteInt(kName, kSelStart, 2);
  WriteInt(kName, kSelLength, 2);
  EXPECT_EQ(ReadText(kName, kSelText), "文");
  WriteInt(kName, kSelStart, -7);
  EXPECT_EQ(ReadInt(kName, kSelStart), 0);
  // The line break of a multi-line box is two bytes.
  WriteInt(kText, kSelStart, 10);
  WriteInt(kText, kSelLength, 4);
  EXPECT_EQ(ReadText(kText, kSelText), "宇宙");
}

TEST_F(EditBox, TheSelectionOutlivesTheFocusAndIsHiddenWithoutIt) {
  Activate();
  for (const uint32_t unit : {kName, kText}) {
    Unit(unit)->SetFocus();
    WriteInt(unit, kSelLength, -1);
    const std::string whole = ReadText(unit, kContent);
    Leave(unit);
    EXPECT_EQ(ReadText(unit, kSelText), whole) << unit;
    // Hidden: drawn in the colours of unselected text.
    const QPalette colors = Widget(unit)->palette();
    const QPalette::ColorGroup group = unit == kText ? QPalette::Inactive : QPalette::Active;
    EXPECT_EQ(colors.color(group, QPalette::Highlight), colors.color(group, QPalette::Base))
        << unit;
  }
  Write(kName, kHideSelection, ArgCell::Logical(false));  // re-created
  WriteInt(kName, kSelLength, -1);
  Leave(kName);
  const QPalette colors = Widget(kName)->palette();
  EXPECT_NE(colors.color(QPalette::Active, QPalette::Highlight),
            colors.color(QPalette::Active, QPalette::Base));
}

TEST_F(EditBox, SelectRangeMessageSentToTheUnit) {
  WriteText(kName, kContent, "中文ab");
  EXPECT_EQ(units::SendUnitMessage(kForm, kName, units::kSelectRangeMessage, 0, -1), 0);
  EXPECT_EQ(ReadText(kName, kSelText), "中文ab");
  units::SendUnitMessage(kForm, kName, units::kSelectRangeMessage, 5, 2);  // reversed
  EXPECT_EQ(ReadText(kName, kSelText), "文a");
  units::SendUnitMessage(kForm, kName, units::kSelectRangeMessage, static_cast<uint64_t>(-1), 0);
  EXPECT_EQ(ReadInt(kName, kSelLength), 0);
}

TEST_F(EditBox, FocusLossNormalisesNumericModesBeforeFocusLost) {
  Activate();
  std::vector<std::string> seen_by_focus_lost;
  OnFocusLost() = [&](uint32_t unit) { seen_by_focus_lost.push_back(ReadText(unit, kContent)); };
  struct Case {
    int32_t mode;
    const char* typed;
    const char* shown;
  };
  const Case cases[] = {
      {5, "300", "255"},     {5, "-4", ""},
      {5, "0", ""},          {5, "12", "12"},
      {6, "40000", "32767"}, {7, "-9999999999", "-2147483648"},
      {8, "007", "7"},       {3, "abc", "abc"},  // integer text: no normalisation
      {11, "2024-2-30", ""}, {11, "2013/12/5", "2013年12月5日"},
  };
  for (const Case& c : cases) {
    WriteInt(kName, kInputMode, c.mode);
    WriteText(kName, kContent, c.typed);
    Log().clear();
    Leave(kName);
    EXPECT_EQ(ReadText(kName, kContent), c.shown) << c.mode << " " << c.typed;
    ASSERT_FALSE(seen_by_focus_lost.empty());
    EXPECT_EQ(seen_by_focus_lost.back(), c.shown);
    const bool changed = std::string(c.typed) != c.shown;
    EXPECT_EQ(Count(Entry("ContentChanged", kName)), changed ? 1 : 0) << c.typed;
  }
}

TEST_F(EditBox, TypingFilterKeepsOnlyTheModesCharacters) {
  Activate();
  struct Case {
    int32_t mode;
    const char* typed;
    const char* kept;
  };
  const Case cases[] = {
      {3, "a-1b2", "-12"}, {5, "-1.5", "15"}, {4, "x-1.5", "-1.5"}, {0, "a-1", "a-1"}};
  for (const Case& c : cases) {
    WriteInt(kName, kInputMode, c.mode);
    WriteText(kName, kContent, "");
    Unit(kName)->SetFocus();
    QTest::keyClicks(Widget(kName), c.typed);
    EXPECT_EQ(ReadText(kName, kContent), c.kept) << c.mode;
  }
}

TEST_F(EditBox, AutomaticSpinWrapsAroundBothWays) {
  units::SpinControl* spin = Box(kPages)->Spin();
  ASSERT_NE(spin, nullptr);
  EXPECT_EQ(spin->geometry(), QRect(410, 60, 18, Widget(kPages)->height()));
  struct Case {
    const char* before;
    QToolButton* arrow;
    const char* after;
  };
  const Case cases[] = {{"10", spin->UpButton(), "1"},
                        {"1", spin->DownButton(), "10"},
                        {"abc", spin->UpButton(), "1"},
                        {"5", spin->DownButton(), "4"},
                        {"-50", spin->DownButton(), "10"}};
  for (const Case& c : cases) {
    WriteText(kPages, kContent, c.before);
    Log().clear();
    QTest::mouseClick(c.arrow, Qt::LeftButton);
    EXPECT_EQ(ReadText(kPages, kContent), c.after) << c.before;
    EXPECT_EQ(ReadText(kPages, kSelText), c.after);  // the whole text is selected
    EXPECT_EQ(Count(Entry("ContentChanged", kPages)), 1);
  }
  // The spin control follows its box.
  Write(kPages, 0, ArgCell::Int(300));
  EXPECT_EQ(spin->x(), 380);
  Write(kPages, 6, ArgCell::Logical(true));
  EXPECT_FALSE(spin->isEnabled());
  Box(kPages)->Step(1);  // a disabled box does not step
  EXPECT_EQ(ReadText(kPages, kContent), "10");
  Write(kPages, 5, ArgCell::Logical(false));
  EXPECT_TRUE(spin->isHidden());
}

TEST_F(EditBox, ManualSpinFiresSpinStepAndLeavesTheText) {
  WriteInt(kPages, kSpinMode, 2);  // re-creates the box with a new spin control
  units::SpinControl* spin = Box(kPages)->Spin();
  ASSERT_NE(spin, nullptr);
  WriteText(kPages, kContent, "7");
  QTest::mouseClick(spin->UpButton(), Qt::LeftButton);
  QTest::mouseClick(spin->DownButton(), Qt::LeftButton);
  EXPECT_EQ(Count(Entry("SpinStep", kPages) + " 1"), 1);
  EXPECT_EQ(Count(Entry("SpinStep", kPages) + " -1"), 1);
  EXPECT_EQ(ReadText(kPages, kContent), "7");
}

TEST_F(EditBox, EnterInAMultiLineBoxIsALineBreakDespiteTheDefaultButton) {
  Activate();
  Unit(kText)->SetFocus();
  WriteInt(kText, kSelStart, -1);
  QTest::keyClick(Widget(kText), Qt::Key_Return);
  EXPECT_EQ(Count(Entry("Clicked", kButton)), 0);
  EXPECT_EQ(ReadText(kText, kContent), "天地玄黄\r\n宇宙洪荒\r\n");
  // A read-only multi-line box leaves Enter to the window, as does a single-line one.
  WriteInt(kText, kInputMode, 1);
  QTest::keyClick(Widget(kText), Qt::Key_Return);
  EXPECT_EQ(Count(Entry("Clicked", kButton)), 1);
  Unit(kName)->SetFocus();
  QTest::keyClick(Widget(kName), Qt::Key_Return);
  EXPECT_EQ(Count(Entry("Clicked", kButton)), 2);
}

// A chapter holding a lone LF or CR must not be rewritten (and change its length) when it
// is read back and saved.
TEST_F(EditBox, LoneLineFeedsAndCarriageReturnsReadBackAsWritten) {
  const std::string written = "甲\n乙\r丙\r\n丁";
  WriteText(kText, kContent, written);
  EXPECT_EQ(ReadText(kText, kContent), written);
  // A lone break is one byte: "乙" starts at byte 3.
  WriteInt(kText, kSelStart, 3);
  WriteInt(kText, kSelLength, 5);
  EXPECT_EQ(ReadText(kText, kSelText), "乙\r丙");
  Log().clear();
  WriteText(kText, kSelText, "戊\r己\n");
  EXPECT_EQ(Count(Entry("ContentChanged", kText)), 1);
  EXPECT_EQ(ReadText(kText, kContent), "甲\n戊\r己\n\r\n丁");
  // Re-created with another style, the box still holds them.
  Write(kText, kScrollBars, ArgCell::Int(3));
  EXPECT_EQ(ReadText(kText, kContent), "甲\n戊\r己\n\r\n丁");
}

// Typing around lone breaks keeps them: a break typed next to one is CR LF, one deleted is
// gone, and undo brings back exactly what was there.
TEST_F(EditBox, TypingBesideLoneBreaksKeepsThemByteForByte) {
  Activate();
  const std::string written = "甲\n乙\n丙\r丁";
  WriteText(kText, kContent, written);
  Unit(kText)->SetFocus();
  WriteInt(kText, kSelStart, 5);  // after 乙
  QTest::keyClicks(Widget(kText), "x");
  QTest::keyClick(Widget(kText), Qt::Key_Return);
  QTest::keyClicks(Widget(kText), "y");
  EXPECT_EQ(ReadText(kText, kContent), "甲\n乙x\r\ny\n丙\r丁");
  WriteInt(kText, kSelStart, 3);  // at the start of 乙, right after a lone LF
  QTest::keyClick(Widget(kText), Qt::Key_Return);
  EXPECT_EQ(ReadText(kText, kContent), "甲\n\r\n乙x\r\ny\n丙\r丁");
  WriteInt(kText, kSelStart, 15);  // at the start of 丁: the lone CR goes with a backspace
  QTest::keyClick(Widget(kText), Qt::Key_Backspace);
  EXPECT_EQ(ReadText(kText, kContent), "甲\n\r\n乙x\r\ny\n丙丁");
  for (int i = 0; i < 10; ++i) QTest::keyClick(Widget(kText), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ReadText(kText, kContent), written);
}

// A measure that adds up over lines and sees every byte, though an LF right after a CR adds
// nothing (CR LF is one break, as in a character count); and how often it was asked.
int measured_lines = 0;
int64_t ByteSum(std::string_view gbk) {
  ++measured_lines;
  int64_t sum = 0;
  for (size_t i = 0; i < gbk.size(); ++i) {
    if (gbk[i] != '\n' || i == 0 || gbk[i - 1] != '\r') sum += static_cast<uint8_t>(gbk[i]);
  }
  return sum;
}

// A second measure kept beside the first (as a label's count and a target's count are).
int64_t LeadBytes(std::string_view gbk) {
  return std::count_if(gbk.begin(), gbk.end(), [](char c) { return static_cast<uint8_t>(c) >= 0x80; });
}

// The sums kept line by line always equal the measures of the content read whole, whatever
// the edit, both measures asked after each one, and a key measures only its own line again.
TEST_F(EditBox, MeasuresKeptLineByLineFollowEveryEdit) {
  Activate();
  const auto expect_whole = [&](const char* step) {
    const runtime::Text content = runtime::Text::FromResult(Read(kText, kContent));
    const int64_t whole = ByteSum(content.View());
    EXPECT_EQ(units::MeasureContent(kForm, kText, &ByteSum), whole) << step;
    EXPECT_EQ(units::MeasureContent(kForm, kText, &LeadBytes), LeadBytes(content.View())) << step;
  };
  std::string text;
  for (int i = 0; i < 1000; ++i) text += "第" + std::to_string(i) + "行\r\n";
  WriteText(kText, kContent, text + "甲\n乙");
  expect_whole("written");
  Unit(kText)->SetFocus();
  WriteInt(kText, kSelStart, 20);
  measured_lines = 0;
  QTest::keyClicks(Widget(kText), "x");
  expect_whole("typed");
  EXPECT_LE(measured_lines, 2 + 1);  // the typed line (twice at most) and the check's own call
  QTest::keyClick(Widget(kText), Qt::Key_Return);
  expect_whole("Enter");
  QTest::keyClick(Widget(kText), Qt::Key_Backspace);
  QTest::keyClick(Widget(kText), Qt::Key_Backspace);
  expect_whole("lines joined");
  QGuiApplication::clipboard()->setText(QString::fromUtf8("一\n二\r\n三"));
  QTest::keyClick(Widget(kText), Qt::Key_V, Qt::ControlModifier);
  expect_whole("pasted");
  WriteInt(kText, kSelStart, -1);
  units::AppendText(kForm, kText, std::vector<std::string>{"\n末"});
  expect_whole("appended");
  for (int i = 0; i < 6; ++i) QTest::keyClick(Widget(kText), Qt::Key_Z, Qt::ControlModifier);
  expect_whole("undone");
  QTest::keyClick(Widget(kText), Qt::Key_Y, Qt::ControlModifier);
  expect_whole("redone");
  WriteInt(kText, kSelStart, 0);
  WriteInt(kText, kSelLength, 100000);
  QTest::keyClick(Widget(kText), Qt::Key_Delete);
  expect_whole("all deleted");
  // A lone CR before a lone LF reads back as one CR LF break: the box measures the whole.
  WriteText(kText, kContent, "甲\r");
  WriteInt(kText, kSelStart, 3);
  WriteText(kText, kSelText, "\n乙");
  expect_whole("lone CR then lone LF");
  Write(kText, kScrollBars, ArgCell::Int(3));  // the box is made again
  expect_whole("re-created");
}

TEST_F(EditBox, TypedAndPastedLineBreaksAreCrLfBesideLoneOnes) {
  Activate();
  WriteText(kText, kContent, "甲\r");
  Unit(kText)->SetFocus();
  WriteInt(kText, kSelStart, -1);
  QTest::keyClicks(Widget(kText), "x");
  QTest::keyClick(Widget(kText), Qt::Key_Return);
  QTest::keyClick(Widget(kText), Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(ReadText(kText, kContent), "甲\rx\r\n\r\n");
  QGuiApplication::clipboard()->setText(QString::fromUtf8("一\n二\r三\r\n四"));
  QTest::keyClick(Widget(kText), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(ReadText(kText, kContent), "甲\rx\r\n\r\n一\r\n二\r\n三\r\n四");
  // Undoing everything typed (more undos than steps do nothing more) gives back the lone
  // CR as it was.
  for (int i = 0; i < 8; ++i) QTest::keyClick(Widget(kText), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(ReadText(kText, kContent), "甲\r");
}

TEST_F(EditBox, StyleWritesRecreateOnlyWhenTheValueChanges) {
  WriteText(kName, kContent, "保留的文字");
  WriteInt(kName, kSelStart, 2);
  const gui::WindowHandle before = Unit(kName)->Handle();
  Write(kName, kMultiLine, ArgCell::Logical(false));
  EXPECT_EQ(Unit(kName)->Handle(), before);
  Write(kName, kMultiLine, ArgCell::Logical(true));
  ASSERT_NE(Unit(kName)->Handle(), before);
  EXPECT_NE(qobject_cast<QPlainTextEdit*>(Widget(kName)), nullptr);
  EXPECT_EQ(ReadText(kName, kContent), "保留的文字");
  EXPECT_EQ(ReadInt(kName, kSelStart), 2);
  EXPECT_EQ(ReadInt(kName, kMultiLine), 1);
  EXPECT_TRUE(Widget(kName)->isVisible());
}

TEST_F(EditBox, MaxLengthLimitsTypingButNeverAProgramsWrite) {
  Activate();
  WriteInt(kName, kMaxLength, -3);
  EXPECT_EQ(ReadInt(kName, kMaxLength), 0);
  // 0 is as much as the control holds: far beyond a line edit's usual 32767.
  const std::string long_text(40000, 'x');
  WriteText(kName, kContent, long_text);
  EXPECT_EQ(ReadText(kName, kContent).size(), long_text.size());
  for (const uint32_t unit : {kName, kText}) {
    WriteInt(unit, kMaxLength, 5);
    WriteText(unit, kContent, "");
    Unit(unit)->SetFocus();
    QTest::keyClicks(Widget(unit), "abcdefg");
    EXPECT_EQ(ReadText(unit, kContent), "abcde") << unit;
    WriteText(unit, kContent, "0123456789");
    EXPECT_EQ(ReadText(unit, kContent), "0123456789") << unit;
  }
}

TEST_F(EditBox, PasswordAndCaseConversion) {
  Activate();
  WriteText(kName, kPasswordChar, "#");
  WriteInt(kName, kInputMode, 2);
  auto* line = qobject_cast<QLineEdit*>(Widget(kName));
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->echoMode(), QLineEdit::Password);
  EXPECT_EQ(line->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, line), '#');
  EXPECT_EQ(ReadText(kName, kPasswordChar), "#");
  WriteInt(kName, kInputMode, 0);
  EXPECT_EQ(line->echoMode(), QLineEdit::Normal);

  WriteInt(kName, kCaseConversion, 2);  // re-created
  WriteText(kName, kContent, "");
  Unit(kName)->SetFocus();
  QTest::keyClicks(Widget(kName), "abC1");
  EXPECT_EQ(ReadText(kName, kContent), "ABC1");
}

TEST_F(EditBox, FocusEventsAndAppendText) {
  Activate();
  Leave(kName);
  EXPECT_EQ(Count(Entry("FocusGained", kName)), 1);
  EXPECT_EQ(Count(Entry("FocusLost", kName)), 1);
  Log().clear();
  const std::vector<std::string> texts = {runtime::Gbk("。"), "\r\n", runtime::Gbk("第二行")};
  units::AppendText(kForm, kText, texts);
  EXPECT_EQ(ReadText(kText, kContent), "天地玄黄\r\n宇宙洪荒。\r\n第二行");
  EXPECT_EQ(Count(Entry("ContentChanged", kText)), 3);
  EXPECT_EQ(ReadInt(kText, kSelStart), 28);
}

TEST_F(EditBox, AHandlerMayDestroyTheBoxThatFired) {
  OnContentChanged() = [](uint32_t unit) { units::Destroy(kForm, unit); };
  WriteText(kText, kContent, "再见");
  QApplication::processEvents();
  EXPECT_EQ(Unit(kText), nullptr);
  const std::vector<std::string> texts = {"a", "b"};
  units::AppendText(kForm, kText, texts);  // no box any more: nothing happens
}

TEST_F(EditBox, ColoursAndFontReachTheWidget) {
  WriteInt(kText, kBackColor, 0x00332211);
  WriteInt(kText, kTextColor, 0x000000FF);
  const QPalette palette = Widget(kText)->palette();
  EXPECT_EQ(palette.color(QPalette::Base), QColor(0x11, 0x22, 0x33));
  EXPECT_EQ(palette.color(QPalette::Text), QColor(0xFF, 0, 0));
  EXPECT_EQ(static_cast<uint32_t>(ReadInt(kText, kBackColor)), 0x00332211u);
  // A larger font makes a single-line box tall enough for it.
  FormsRuntime::Instance().WriteUnitProperty(kForm, kName, kFont, 5, ArgCell::Int(36));
  EXPECT_EQ(ReadInt(kName, 3), QFontMetrics(Widget(kName)->font()).height() + 4);
  EXPECT_EQ(ReadInt(kName, 2), 200);
}

}  // namespace
