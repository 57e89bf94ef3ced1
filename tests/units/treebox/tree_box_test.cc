// The tree box in a window loaded from a compiled form, driven through real widgets and
// through the methods and properties the application uses.
#include "units/treebox/tree_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <cstring>

#include "platform/core/code_page.h"
#include "runtime/allocator.h"
#include "runtime/blocks.h"
#include "runtime/owned_blocks.h"
#include "runtime/text_array.h"
#include "tests/support/unit_form_test.h"
#include "tests/units/treebox/tree_box_program.h"
#include "units/treebox/item_list.h"
#include "units/treebox/picture_group.h"
#include "units/treebox/tree_box_methods.h"

namespace {

using namespace tree_program;
using runtime::ArgCell;
using units::ItemRecord;

enum Property : int32_t {
  kTextColor = 9,
  kBackColor = 10,
  kCurrentItem = 16,
  kItemHeight = 17,
  kPictures = 19,
  kInitialItems = 20,
  kEditedText = 21,
  kCheckBoxes = 22,
  kCheckStateCount = 24,
};

runtime::TextArray TextArrayOf(std::initializer_list<const char*> texts,
                              std::vector<int32_t> dimensions = {}) {
  std::vector<runtime::Text> owned;
  for (const char* text : texts) owned.emplace_back(text);
  return runtime::TextArray(std::move(owned), std::move(dimensions));
}

class IntArray {
 public:
  explicit IntArray(std::initializer_list<int32_t> values) {
    const int32_t count = static_cast<int32_t>(values.size());
    block_ = runtime::MakeArray({&count, 1}, 4);
    std::memcpy(static_cast<uint8_t*>(block_) + runtime::ArrayHeaderSize(block_), values.begin(),
                values.size() * 4);
  }
  ~IntArray() { runtime::FreeBlock(block_); }
  IntArray(const IntArray&) = delete;
  IntArray& operator=(const IntArray&) = delete;
  ArgCell Arg() const { return ArgCell::Pointer(runtime::kInt | runtime::kArrayFlag, block_); }

 private:
  void* block_;
};

class TreeBoxTest : public unit_tests::FormTest {
 protected:
  TreeBoxTest() : FormTest(Image(), kForm) {}

  void SetUp() override {
    FormTest::SetUp();
    Log().clear();
    Answer() = {};
    ASSERT_TRUE(Load());
  }

  units::TreeBox* Box(uint32_t unit = kTree) { return UnitAs<units::TreeBox>(unit); }
  units::TreeWidget* Tree() { return Box()->Tree(); }

  int32_t Add(const char* text, std::optional<int32_t> parent = std::nullopt) {
    const ArgCell args[] = {parent ? ArgCell::Int(*parent) : ArgCell(), ArgCell::Text(text)};
    return units::TreeBoxAddItem(kForm, kTree, args);
  }
  int32_t ItemCount() { return units::TreeBoxGetItemCount(kForm, kTree); }
  bool Delete(int32_t index) {
    const ArgCell args[] = {ArgCell::Int(index)};
    return units::TreeBoxDeleteItem(kForm, kTree, args);
  }

  // Properties of kTree, the unit these tests drive.
  int32_t ReadInt(int32_t property) { return FormTest::ReadInt(kTree, property); }
  void Write(int32_t property, const ArgCell& value) { FormTest::Write(kTree, property, value); }
  std::vector<uint8_t> ReadBytes(int32_t property) { return FormTest::ReadBytes(kTree, property); }
  std::vector<ItemRecord> Items() { return units::ParseItemList(ReadBytes(kInitialItems)); }
  // Texts of the items in ItemIndex order.
  std::string Texts() {
    std::string texts;
    for (const ItemRecord& item : Items()) texts += (texts.empty() ? "" : " ") + item.text;
    return texts;
  }
  QTreeWidgetItem* Item(int32_t index) { return Box()->ItemAt(index); }
  // The log without the focus events, which arrive whenever Qt gets round to them.
  std::vector<std::string> Events() {
    std::vector<std::string> events;
    for (const std::string& entry : Log()) {
      if (entry.rfind("Focus", 0) != 0) events.push_back(entry);
    }
    return events;
  }
  QPoint Inside(int32_t index) {
    const QRect rect = Tree()->ContentRect(Tree()->indexFromItem(Item(index)));
    return {rect.right() - 4, rect.center().y()};
  }

  // A, A1, A2, B with A collapsed.
  void AddABTree() {
    ASSERT_EQ(Add("A"), 0);
    ASSERT_EQ(Add("A1", 0), 1);
    ASSERT_EQ(Add("A2", 0), 2);
    ASSERT_EQ(Add("B"), 3);
  }
};

TEST_F(TreeBoxTest, IndexesCountCollapsedChildrenInPreOrder) {
  AddABTree();
  ASSERT_FALSE(Item(0)->isExpanded());
  EXPECT_EQ(Texts(), "A A1 A2 B");
  EXPECT_EQ(ItemCount(), 4);
  for (int32_t index = 0; index < 4; ++index) EXPECT_EQ(Box()->IndexOf(Item(index)), index);
  EXPECT_EQ(Item(4), nullptr);
  EXPECT_EQ(Item(-1), nullptr);
  Item(0)->setExpanded(true);
  EXPECT_EQ(Item(3)->text(0), "B");
}

TEST_F(TreeBoxTest, AddingUnderAParentMovesTheLaterIndexes) {
  AddABTree();
  EXPECT_EQ(Add("A1a", 1), 2);  // the first child of A1
  EXPECT_EQ(Texts(), "A A1 A1a A2 B");
  EXPECT_EQ(Add("A3", 0), 4);  // the last child of A
  EXPECT_EQ(Texts(), "A A1 A1a A2 A3 B");
  EXPECT_EQ(Add("C", 99), 6);  // no item there: the top level
  EXPECT_EQ(Items()[2].depth, 3);
}

TEST_F(TreeBoxTest, AddItemAppliesPicturesAndTheFullFormOnlyRule) {
  const auto add = [&](std::vector<ArgCell> args) {
    return units::TreeBoxAddItem(kForm, kTree, args);
  };
  // Picture 3, selected picture -1 (the picture), item data 7.
  add({ArgCell(), ArgCell::Text("p"), ArgCell::Int(3), ArgCell::Int(-1), ArgCell::Int(7)});
  // Negative picture 0; bold and check state left out of a six-argument call.
  add({ArgCell(), ArgCell::Text("q"), ArgCell::Int(-2), ArgCell(), ArgCell(),
       ArgCell::Logical(true)});
  // All seven: bold and check state 1 (state picture 2).
  add({ArgCell(), ArgCell::Text("r"), ArgCell(), ArgCell(), ArgCell(), ArgCell::Logical(true),
       ArgCell::Int(1)});
  const auto items = Items();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0], (ItemRecord{"p", 3, 3, 7, 0, 1}));
  EXPECT_EQ(items[1], (ItemRecord{"q", 0, 0, 0, 0, 1}));
  EXPECT_EQ(items[2], (ItemRecord{"r", 0, 0, 0, ItemRecord::StateWord(true, false, 2), 1}));
}

TEST_F(TreeBoxTest, AddItemWithArraysUsesTheLastElementForTheRest) {
  Add("root");
  const runtime::TextArray texts = TextArrayOf({"x", "y", "z"});
  IntArray pictures({4, 5});
  const ArgCell args[] = {ArgCell::Int(0), texts.Arg(), pictures.Arg(), ArgCell::Int(-1)};
  EXPECT_EQ(units::TreeBoxAddItem(kForm, kTree, args), 0);
  const auto items = Items();
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[1], (ItemRecord{"x", 4, 4, 0, 0, 2}));
  EXPECT_EQ(items[2], (ItemRecord{"y", 5, 5, 0, 0, 2}));
  EXPECT_EQ(items[3], (ItemRecord{"z", 5, 5, 0, 0, 2}));

  const runtime::TextArray square = TextArrayOf({"a", "b", "c", "d"}, {2, 2});
  const ArgCell square_args[] = {ArgCell(), square.Arg()};
  EXPECT_EQ(units::TreeBoxAddItem(kForm, kTree, square_args), -1);
  EXPECT_EQ(ItemCount(), 4);
}

// A list of chapters is filled with one array in one insertion: the items come after the
// ones already there, in order, with the indexes and counts that one call per item gives.
TEST_F(TreeBoxTest, AnArrayOfTopLevelItemsIsAppendedInOrderAfterTheItemsThere) {
  Add("root");
  Add("child", 0);
  const runtime::TextArray chapters = TextArrayOf({"one", "two", "three"});
  const ArgCell args[] = {ArgCell(), chapters.Arg()};
  EXPECT_EQ(units::TreeBoxAddItem(kForm, kTree, args), 0);
  EXPECT_EQ(Texts(), "root child one two three");
  EXPECT_EQ(ItemCount(), 5);
  EXPECT_EQ(Add("four"), 5);
  EXPECT_EQ(Item(4)->text(0), "three");
  EXPECT_EQ(Item(4)->parent(), nullptr);
  EXPECT_EQ(Count("SelectionChanged"), 0);
}

TEST_F(TreeBoxTest, DeleteItemPastTheEndChangesNothing) {
  AddABTree();
  EXPECT_FALSE(Delete(4));
  EXPECT_FALSE(Delete(-1));
  EXPECT_EQ(Texts(), "A A1 A2 B");
  EXPECT_TRUE(Delete(0));  // A goes with its children
  EXPECT_EQ(Texts(), "B");
  const ArgCell text_args[] = {ArgCell::Int(0), ArgCell::Text("B2")};
  EXPECT_TRUE(units::TreeBoxSetItemText(kForm, kTree, text_args));
  const ArgCell past_args[] = {ArgCell::Int(1), ArgCell::Text("none")};
  EXPECT_FALSE(units::TreeBoxSetItemText(kForm, kTree, past_args));
  EXPECT_EQ(Texts(), "B2");
}

TEST_F(TreeBoxTest, CurrentItemWritesAlwaysRaiseSelectionChanged) {
  EXPECT_EQ(ReadInt(kCurrentItem), -1);
  Write(kCurrentItem, ArgCell::Int(0));  // an empty tree: nothing selected, nothing raised
  EXPECT_EQ(Count("SelectionChanged"), 0);
  AddABTree();
  Write(kCurrentItem, ArgCell::Int(2));
  EXPECT_EQ(ReadInt(kCurrentItem), 2);
  EXPECT_TRUE(Item(2)->isSelected());
  EXPECT_TRUE(Item(0)->isExpanded());    // made visible
  EXPECT_EQ(Count("Expanding"), 0);      // the program's doing
  Write(kCurrentItem, ArgCell::Int(2));  // the same item again
  Write(kCurrentItem, ArgCell::Int(-1));
  EXPECT_EQ(ReadInt(kCurrentItem), -1);
  EXPECT_TRUE(Tree()->selectedItems().isEmpty());
  Write(kCurrentItem, ArgCell::Int(-1));  // nothing to clear
  EXPECT_EQ(Log(), (std::vector<std::string>{"SelectionChanged 2 current=2",
                                             "SelectionChanged 2 current=2",
                                             "SelectionChanged 2 current=-1"}));
}

TEST_F(TreeBoxTest, RemovingTheSelectedItemRaisesSelectionChangedWithFinalIndexes) {
  ASSERT_EQ(Add("A"), 0);
  Add("B");
  Add("C");
  Write(kCurrentItem, ArgCell::Int(0));
  Log().clear();
  // The next sibling takes over, and the handler already sees it at its new index.
  ASSERT_TRUE(Delete(0));
  EXPECT_EQ(Log(), (std::vector<std::string>{"SelectionChanged 2 current=0"}));
  EXPECT_EQ(Item(0)->text(0), "B");
  // The last item hands over to the one before it.
  Write(kCurrentItem, ArgCell::Int(1));
  Log().clear();
  ASSERT_TRUE(Delete(1));
  EXPECT_EQ(Log(), (std::vector<std::string>{"SelectionChanged 2 current=0"}));
  // A child without siblings hands over to its parent; removing other items raises nothing.
  Add("B1", 0);
  Write(kCurrentItem, ArgCell::Int(1));
  Add("D");
  Log().clear();
  ASSERT_TRUE(Delete(2));
  EXPECT_TRUE(Log().empty());
  ASSERT_TRUE(Delete(1));
  EXPECT_EQ(Log(), (std::vector<std::string>{"SelectionChanged 2 current=0"}));
  ASSERT_TRUE(Delete(0));
  EXPECT_EQ(Log().back(), "SelectionChanged 2 current=-1");
}

TEST_F(TreeBoxTest, InitialItemsRoundTripThroughARecreatedUnit) {
  const std::vector<ItemRecord> records = {
      {"第一卷", 1, 2, 11, ItemRecord::StateWord(true, true, 0), 1},  {"A", 0, 0, 0, 0, 2},
      {"B", 0, 0, 0, ItemRecord::StateWord(false, true, 2), 2},       {"B1", 3, 3, -4, 0, 3},
      {"第二卷", 0, 0, 0, ItemRecord::StateWord(false, false, 1), 1},
  };
  std::vector<ItemRecord> gbk = records;
  for (ItemRecord& record : gbk) record.text = platform::Utf8ToGbk(record.text);
  const gui::WindowHandle before = Box()->Handle();
  const runtime::ByteSet bytes(units::SerializeItemList(gbk));
  Write(kInitialItems, bytes.Arg());
  ASSERT_NE(Box(), nullptr);
  EXPECT_NE(Box()->Handle(), before);  // re-created from the list
  EXPECT_EQ(Items(), gbk);
  EXPECT_EQ(Tree()->topLevelItem(0)->text(0), QString::fromUtf8("第一卷"));
  EXPECT_TRUE(Item(2)->isExpanded());
  EXPECT_EQ(ItemCount(), 5);
  // Later changes show in the list that is read back.
  Add("C", 4);
  Item(0)->setExpanded(false);
  const auto items = Items();
  ASSERT_EQ(items.size(), 6u);
  EXPECT_EQ(items[5], (ItemRecord{"C", 0, 0, 0, 0, 2}));
  EXPECT_FALSE(items[0].Expanded());
  EXPECT_TRUE(items[0].Bold());
}

TEST_F(TreeBoxTest, CheckStatesArriveAfterCreationAndCheckBoxesTurnZeroIntoOne) {
  const std::vector<ItemRecord> records = {
      {"a", 0, 0, 0, ItemRecord::StateWord(false, false, 0), 1},
      {"b", 0, 0, 0, ItemRecord::StateWord(false, false, 3), 1}};
  const runtime::ByteSet bytes(units::SerializeItemList(records));
  Write(kCheckBoxes, ArgCell::Logical(true));
  Write(kInitialItems, bytes.Arg());
  ASSERT_TRUE(Box()->HasTimer(units::kTreeCheckStateTimer));
  // The one-shot timer applies the states and goes.
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Box()->HasTimer(units::kTreeCheckStateTimer); }));
  const auto items = Items();
  EXPECT_EQ(items[0].CheckState(), 1);
  EXPECT_EQ(items[1].CheckState(), 3);
  // Switching them off makes a new control that keeps the items and the selection, and
  // the re-creation raises nothing.
  Write(kCurrentItem, ArgCell::Int(1));
  Log().clear();
  const gui::WindowHandle before = Box()->Handle();
  Write(kCheckBoxes, ArgCell::Logical(false));
  EXPECT_NE(Box()->Handle(), before);
  EXPECT_EQ(Items()[1].CheckState(), 3);
  EXPECT_EQ(ReadInt(kCurrentItem), 1);
  EXPECT_TRUE(Events().empty());
  EXPECT_EQ(ReadInt(kCheckBoxes), 0);
}

TEST_F(TreeBoxTest, ClickingACheckBoxTogglesItSelectsTheItemAndRaisesCheckChanged) {
  AddABTree();
  Write(kCheckBoxes, ArgCell::Logical(true));
  Write(kCheckStateCount, ArgCell::Int(2));
  Log().clear();
  const QPoint box = Tree()->StatePictureRect(Tree()->indexFromItem(Item(3))).center();
  QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, box);
  EXPECT_EQ(Count("CheckChanged"), 0);  // posted: after the toggle is done
  QApplication::processEvents();
  EXPECT_EQ(Events(),
            (std::vector<std::string>{"SelectionChanged 2 current=3", "CheckChanged 3 1"}));
  // Space toggles the selected item; with two states it comes back to unchecked.
  QTest::keyClick(Tree(), Qt::Key_Space);
  QApplication::processEvents();
  EXPECT_EQ(Events().back(), "CheckChanged 3 0");
  EXPECT_EQ(Items()[3].CheckState(), 1);
}

TEST_F(TreeBoxTest, MouseAndKeyboardSelectionsSayWhatCausedThem) {
  AddABTree();
  Box()->Widget()->window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Box()->Widget()->window()));
  QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Inside(3));
  EXPECT_EQ(Log().back(), "SelectionChanged 1 current=3");
  EXPECT_EQ(Count("FocusGained"), 1);
  QTest::keyClick(Tree(), Qt::Key_Up);
  EXPECT_EQ(Log().back(), "SelectionChanged 0 current=0");
  // Right on A expands it; a handler answering false keeps it shut.
  Answer().expanding = false;
  QTest::keyClick(Tree(), Qt::Key_Right);
  EXPECT_EQ(Log().back(), "Expanding 0");
  EXPECT_FALSE(Item(0)->isExpanded());
  Answer().expanding = std::nullopt;
  QTest::keyClick(Tree(), Qt::Key_Right);
  EXPECT_TRUE(Item(0)->isExpanded());
  // Collapsing the parent of the selected item selects the parent.
  QTest::keyClick(Tree(), Qt::Key_Down);
  ASSERT_EQ(ReadInt(kCurrentItem), 1);
  Log().clear();
  Item(0)->setExpanded(false);
  EXPECT_EQ(Log(), (std::vector<std::string>{"Collapsing 0", "SelectionChanged 2 current=0"}));
  // Focus going elsewhere is FocusLost.
  Box(kPlain)->SetFocus();
  EXPECT_EQ(Count("FocusLost"), 1);
}

TEST_F(TreeBoxTest, FocusAloneSelectsNothing) {
  AddABTree();
  Box()->Widget()->window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Box()->Widget()->window()));
  Box()->SetFocus();
  QApplication::processEvents();
  EXPECT_TRUE(Box()->HasFocus());
  EXPECT_EQ(ReadInt(kCurrentItem), -1);
  EXPECT_TRUE(Events().empty());
  EXPECT_EQ(Count("FocusGained"), 1);
}

TEST_F(TreeBoxTest, ARightClickSelectsTheItemFirstAndADoubleClickIsReported) {
  AddABTree();
  QTest::mouseClick(Tree()->viewport(), Qt::RightButton, {}, Inside(3));
  // The click also gives the box focus where its window is active (Windows; not the headless
  // screen of the Linux tests).
  std::vector<std::string> log = Log();
  std::erase(log, "FocusGained");
  EXPECT_EQ(log, (std::vector<std::string>{"SelectionChanged 1 current=3", "ItemRightClicked"}));
  // Beside the items there is nothing to click.
  const QPoint beside(Tree()->viewport()->width() - 2, Inside(0).y());
  QTest::mouseClick(Tree()->viewport(), Qt::RightButton, {}, beside);
  EXPECT_EQ(Count("ItemRightClicked"), 1);
  QTest::mouseDClick(Tree()->viewport(), Qt::LeftButton, {}, Inside(0));
  EXPECT_EQ(Count("ItemDoubleClicked"), 1);
}

TEST_F(TreeBoxTest, LabelEditingReportsTheTypedTextAndCanRefuseIt) {
  AddABTree();
  Box()->Widget()->window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(Box()->Widget()->window()));
  Write(kCurrentItem, ArgCell::Int(3));
  Tree()->setFocus();
  const auto edit = [&](const char* typed) {
    QTest::keyClick(Tree(), Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    if (editor == nullptr || !Tree()->IsEditing()) return false;
    editor->selectAll();
    QTest::keyClicks(editor, typed);
    QTest::keyClick(editor, Qt::Key_Return);
    QApplication::processEvents();
    return true;
  };
  ASSERT_TRUE(edit("Bee"));
  EXPECT_EQ(Count("LabelEditStarting 3"), 1);
  EXPECT_EQ(Events().back(), "LabelEditEnding 3 text=Bee");
  EXPECT_EQ(Item(3)->text(0), "Bee");
  EXPECT_TRUE(ReadBytes(kEditedText).empty());  // only while the handler runs

  Answer().edit_ending = false;
  ASSERT_TRUE(edit("Cee"));
  EXPECT_EQ(Item(3)->text(0), "Bee");

  Answer().edit_starting = false;
  QTest::keyClick(Tree(), Qt::Key_F2);
  EXPECT_EQ(Events().back(), "LabelEditStarting 3");
  EXPECT_FALSE(Tree()->IsEditing());
  // Escape ends the edit too: the handler hears the item's own text.
  Answer() = {};
  QTest::keyClick(Tree(), Qt::Key_F2);
  auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
  ASSERT_NE(editor, nullptr);
  QTest::keyClicks(editor, "Dee");
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_EQ(Events().back(), "LabelEditEnding 3 text=Bee");
  EXPECT_EQ(Item(3)->text(0), "Bee");
}

TEST_F(TreeBoxTest, ColoursAndItemHeightAreAskedFromTheControl) {
  EXPECT_EQ(ReadInt(kBackColor), 0x00FFFFFF);
  Write(kTextColor, ArgCell::Int(0x000000FF));
  EXPECT_EQ(Tree()->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(ReadInt(kTextColor), 0x000000FF);
  const int32_t natural = ReadInt(kItemHeight);
  EXPECT_GT(natural, 10);
  Write(kItemHeight, ArgCell::Int(30));
  EXPECT_EQ(ReadInt(kItemHeight), 30);
  Add("A");
  EXPECT_EQ(Tree()->visualItemRect(Item(0)).height(), 30);
  Write(kItemHeight, ArgCell::Int(-1));
  EXPECT_EQ(ReadInt(kItemHeight), natural);
}

TEST_F(TreeBoxTest, OnlyATaggedPictureGroupGivesPictures) {
  QImage picture(24, 24, QImage::Format_ARGB32);
  picture.fill(Qt::red);
  std::vector<uint8_t> group = units::WritePictureGroup({picture, picture});
  const runtime::ByteSet good(group);
  Write(kPictures, good.Arg());
  EXPECT_EQ(Tree()->Look().pictures.size(), 2u);
  EXPECT_GE(ReadInt(kItemHeight), 26);  // rows make room for the pictures
  EXPECT_EQ(ReadBytes(kPictures), group);
  group[0] = 'X';
  const runtime::ByteSet untagged(group);
  Write(kPictures, untagged.Arg());
  EXPECT_TRUE(Tree()->Look().pictures.empty());
}

}  // namespace
