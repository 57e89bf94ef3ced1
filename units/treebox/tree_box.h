#pragma once

#include <QPersistentModelIndex>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "forms/unit_interface.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/treebox/item_list.h"
#include "units/treebox/tree_box_class_data.h"
#include "units/treebox/tree_widget.h"

class QTreeWidgetItem;

namespace units {

// The tree box's own events.
namespace tree_box_event {
inline constexpr int32_t kSelectionChanged = 0;  // cause: 0 keyboard, 1 mouse, 2 program
inline constexpr int32_t kItemDoubleClicked = 1;
inline constexpr int32_t kLabelEditStarting = 2;  // ItemIndex; false cancels
inline constexpr int32_t kLabelEditEnding = 3;    // ItemIndex; false keeps the old text
inline constexpr int32_t kExpanding = 4;          // ItemIndex; false prevents it
inline constexpr int32_t kCollapsing = 5;         // ItemIndex; false prevents it
inline constexpr int32_t kItemRightClicked = 6;
inline constexpr int32_t kCheckChanged = 7;  // ItemIndex, new check state
}  // namespace tree_box_event

// An item added by the program: everything but the text and the parent.
struct NewItem {
  std::string text;  // GBK
  int32_t picture = 0;
  int32_t selected_picture = 0;
  int32_t data = 0;
  std::optional<bool> bold;
  std::optional<int32_t> check_state;  // the program's numbering: state picture - 1
};

// The tree box unit. Items are addressed by ItemIndex: the 0-based position in a pre-order
// walk over the whole tree, collapsed children included. There is exactly one selected item
// or none, and it is always the caret item.
class TreeBox : public gui::Window, public UnitBase, public TreeWidgetOwner {
 public:
  using ClassData = TreeBoxClassData;

  TreeBox(const forms::CreateParams& params, TreeBoxClassData data);
  ~TreeBox() override;

  static const PropertyTable<TreeBox, TreeBoxClassData>& Properties();
  static void VisitMoreTexts(TreeBoxClassData& data, forms::TextVisitor visitor, void* context);
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value);
  static constexpr int32_t kInitialItemsIndex = 12;  // class index of InitialItems
  // The class data of the current state, for re-creation.
  TreeBoxClassData Data();

  // Items by ItemIndex.
  QTreeWidgetItem* ItemAt(int32_t index) const;
  int32_t IndexOf(const QTreeWidgetItem* item) const;
  int32_t ItemCount() const { return item_count_; }
  // Adds `item` as the last child of the item at `parent` (top level when no item is
  // there) and gives its ItemIndex.
  int32_t AddItem(int32_t parent, const NewItem& item);
  // Adds `items`, in order, as the last children of the item at `parent` (top level when no
  // item is there), in one insertion: a list of thousands fills as fast as it can.
  void AddItems(int32_t parent, const std::vector<NewItem>& items);
  bool SetItemText(int32_t index, const std::string& text);
  // Removes the item with its children; when the selection was among them, the next
  // sibling, else the previous one, else the parent is selected and SelectionChanged fires
  // once, after the removal, so the handler sees the final indexes.
  bool DeleteItem(int32_t index);

  // The live tree as an item list.
  std::vector<ItemRecord> Records();

  int64_t WindowProc(gui::Message& message) override;

  // TreeWidgetOwner.
  bool LabelEditStarting(QTreeWidgetItem* item) override;
  bool LabelEditEnding(QTreeWidgetItem* item, const QString& text, bool cancelled) override;
  void ItemRightClicked(QTreeWidgetItem* item) override;
  void CheckBoxToggled(QTreeWidgetItem* item) override;
  void SelectByMouse(QTreeWidgetItem* item) override;

  TreeWidget* Tree() const { return static_cast<TreeWidget*>(Widget()); }

  // What a property write does after storing the value, and the properties the tree
  // keeps live.
  void ApplyBorder();
  void ApplyColors();
  void ApplyFont();
  void ApplyStyles();
  void ApplyPictures();
  void ApplyStatePictures();
  void ApplyItemHeight();
  void ReadTextColor(forms::PropertyValue* value) const;
  void ReadBackColor(forms::PropertyValue* value) const;
  void ReadCurrentItem(forms::PropertyValue* value) const;
  int32_t WriteCurrentItem(const forms::PropertyValue& value);
  void ReadItemHeight(forms::PropertyValue* value) const;
  int32_t WriteInitialItems(const forms::PropertyValue& value);
  void ReadEditedText(forms::PropertyValue* value) const;
  int32_t WriteCheckBoxes(const forms::PropertyValue& value);

 private:
  // A new item as `item` says, with the box's check state when it says none.
  QTreeWidgetItem* MakeNewItem(const NewItem& item) const;
  // Inserts `items` in one insertion after the last child of `parent_item` (the last top-level
  // item when null) and counts them.
  void InsertLast(QTreeWidgetItem* parent_item, const QList<QTreeWidgetItem*>& items);
  void BuildItems(const std::vector<ItemRecord>& records);
  void ApplyPendingCheckStates();
  // Selects `item` (none clears the selection) without the selection event.
  void Select(QTreeWidgetItem* item);
  void OnCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);
  void OnExpansion(QTreeWidgetItem* item, bool expanded);
  // Fires SelectionChanged; false when the handler destroyed the unit.
  bool FireSelectionChanged(int32_t cause);

  TreeBoxClassData data_;
  int32_t item_count_ = 0;       // items are added and removed only by the program
  bool items_replaced_ = false;  // InitialItems was written: re-create from it
  std::string edited_text_;      // GBK; only while LabelEditEnding runs
  int selection_quiet_ = 0;      // > 0: selection changes are the unit's own
  int expansion_quiet_ = 0;      // > 0: expansions are the unit's own
  // Check states from the item list, applied by a one-shot timer after creation.
  std::vector<std::pair<QPersistentModelIndex, int32_t>> pending_check_states_;
  // Items whose check box the user toggled, waiting for their CheckChanged.
  std::deque<QPersistentModelIndex> toggled_;
};

// Private messages of the tree box.
inline constexpr uint32_t kTreeCheckChangedMessage = 0x8081;
inline constexpr uint64_t kTreeCheckStateTimer = 1;

}  // namespace units
