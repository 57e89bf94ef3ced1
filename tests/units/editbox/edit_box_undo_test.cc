// The undo history of edit boxes under the program's writes: a Content write that only
// appends keeps what the author can undo, and the program can ask whether there is
// anything to undo and make the box forget it all.
#include <gtest/gtest.h>

#include <QTest>

#include "tests/support/unit_form_test.h"
#include "tests/units/editbox/edit_box_program.h"
#include "units/base/unit_methods.h"
#include "units/editbox/edit_box_unit.h"

namespace {

using namespace edit_box_program;

constexpr int32_t kContent = 8, kSelStart = 24, kSelLength = 25;

class EditBoxUndo : public unit_tests::FormTest {
 protected:
  EditBoxUndo() : FormTest(Image(), kForm) {}

  void SetUp() override {
    FormTest::SetUp();
    OnContentChanged() = nullptr;
    OnFocusLost() = nullptr;
    ASSERT_TRUE(Load());
    QWidget* window = Unit(0)->Widget();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  }

  // Types `keys` at the end of the box's text.
  void TypeAtEnd(uint32_t unit, const char* keys) {
    units::SetFocus(kForm, unit);
    WriteInt(unit, kSelStart, -1);
    QTest::keyClicks(Unit(unit)->Widget(), keys);
  }
  void Undo(uint32_t unit) {
    QTest::keyClick(Unit(unit)->Widget(), Qt::Key_Z, Qt::ControlModifier);
  }
  int64_t CanUndo(uint32_t unit) {
    return units::SendUnitMessage(kForm, unit, units::kCanUndoMessage, 0, 0);
  }
};

TEST_F(EditBoxUndo, AContentWriteThatOnlyAppendsCanBeUndoneWithWhatWasTypedBefore) {
  const std::string loaded = ReadText(kText, kContent);
  TypeAtEnd(kText, "ab");
  const std::string typed = loaded + "ab";
  Log().clear();
  // What the program appends: a paragraph break, a lone CR and a lone LF, which read back
  // as written.
  WriteText(kText, kContent, typed + "\r\n\r\n");
  WriteText(kText, kContent, typed + "\r\n\r\n\r续\n");
  EXPECT_EQ(ReadText(kText, kContent), typed + "\r\n\r\n\r续\n");
  EXPECT_EQ(Count("ContentChanged 16010021"), 2);
  // The caret goes where a whole write puts it.
  EXPECT_EQ(ReadInt(kText, kSelStart), 0);
  EXPECT_EQ(ReadInt(kText, kSelLength), 0);

  ASSERT_EQ(CanUndo(kText), 1);
  Undo(kText);
  EXPECT_EQ(ReadText(kText, kContent), typed + "\r\n\r\n");
  Undo(kText);
  EXPECT_EQ(ReadText(kText, kContent), typed);
  for (int presses = 0; presses < 5 && CanUndo(kText) != 0; ++presses) Undo(kText);
  EXPECT_EQ(ReadText(kText, kContent), loaded);

  // Any other write is a new text: there is nothing of the old one to undo. So is a text
  // written into an empty box (the chapter loaded after an empty one).
  for (const char* before : {"c", ""}) {
    TypeAtEnd(kText, "c");
    WriteText(kText, kContent, before);
    WriteText(kText, kContent, "另一章");
    EXPECT_EQ(CanUndo(kText), 0) << before;
    Undo(kText);
    EXPECT_EQ(ReadText(kText, kContent), "另一章");
  }
}

TEST_F(EditBoxUndo, EmptyUndoBufferForgetsEveryEditAndCanUndoTellsWhetherOneIsLeft) {
  for (const uint32_t unit : {kText, kName}) {
    SCOPED_TRACE(unit);
    EXPECT_EQ(CanUndo(unit), 0);
    TypeAtEnd(unit, "xy");
    EXPECT_EQ(CanUndo(unit), 1);
    const std::string text = ReadText(unit, kContent);
    units::SendUnitMessage(kForm, unit, units::kSelectRangeMessage, 2, 4);
    Log().clear();
    EXPECT_EQ(units::SendUnitMessage(kForm, unit, units::kEmptyUndoBufferMessage, 0, 0), 0);
    EXPECT_EQ(CanUndo(unit), 0);
    // The text, the selection and the caret stay: no change to tell.
    EXPECT_EQ(ReadText(unit, kContent), text);
    EXPECT_TRUE(Log().empty());
    EXPECT_EQ(ReadInt(unit, kSelStart), 2);
    EXPECT_EQ(ReadInt(unit, kSelLength), 2);
    Undo(unit);
    EXPECT_EQ(ReadText(unit, kContent), text);
  }
}

}  // namespace
