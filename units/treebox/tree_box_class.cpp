#include "units/treebox/tree_box_class.h"

#include "units/base/unit_operations.h"
#include "units/treebox/item_list.h"
#include "units/treebox/tree_box.h"

namespace units {

namespace {

using namespace runtime::property_type;
using Row = PropertyRow<TreeBox, TreeBoxClassData>;
using Data = TreeBoxClassData;

// The colours, the selection, the item height and the items are read from the tree as it
// is; EditedText only while a label edit ends.
constexpr Row kRows[] = {
    {"Border", kPickList, &Data::border, {0, 5}, &TreeBox::ApplyBorder},
    {.name = "TextColor",
     .type = kColor,
     .slot = &Data::text_color,
     .apply = &TreeBox::ApplyColors,
     .read_live = &TreeBox::ReadTextColor},
    {.name = "BackColor",
     .type = kColor,
     .slot = &Data::back_color,
     .apply = &TreeBox::ApplyColors,
     .read_live = &TreeBox::ReadBackColor},
    {"HasButtons", kLogical, &Data::has_buttons, {}, &TreeBox::ApplyStyles},
    {"HasLines", kLogical, &Data::has_lines, {}, &TreeBox::ApplyStyles},
    {"LinesAtRoot", kLogical, &Data::lines_at_root, {}, &TreeBox::ApplyStyles},
    {"EditLabels", kLogical, &Data::edit_labels, {}, &TreeBox::ApplyStyles},
    {"ShowSelAlways", kLogical, &Data::show_sel_always, {}, &TreeBox::ApplyStyles},
    {.name = "CurrentItem",
     .type = kInteger,
     .slot = &Data::current_item,
     .read_live = &TreeBox::ReadCurrentItem,
     .write_live = &TreeBox::WriteCurrentItem},
    {.name = "ItemHeight",
     .type = kInteger,
     .slot = &Data::item_height,
     .apply = &TreeBox::ApplyItemHeight,
     .read_live = &TreeBox::ReadItemHeight},
    {"Font", kFont, &Data::font, {}, &TreeBox::ApplyFont},
    {"Pictures", kPictureGroup, &Data::pictures, {}, &TreeBox::ApplyPictures},
    // Read through the unit, which walks the live tree (TreeBox::ReadProperty).
    {.name = "InitialItems",
     .type = kItemList,
     .slot = &Data::initial_items,
     .write_live = &TreeBox::WriteInitialItems},
    {.name = "EditedText", .type = kText, .read_live = &TreeBox::ReadEditedText},
    {.name = "CheckBoxes",
     .type = kLogical,
     .slot = &Data::check_boxes,
     .write_live = &TreeBox::WriteCheckBoxes},
    {"CheckPictures", kPictureGroup, &Data::check_pictures, {}, &TreeBox::ApplyStatePictures},
    {"CheckStateCount", kInteger, &Data::check_state_count, {}, &TreeBox::ApplyStatePictures},
};

}  // namespace

const PropertyTable<TreeBox, TreeBoxClassData>& TreeBox::Properties() {
  static constexpr PropertyTable<TreeBox, TreeBoxClassData> table(kRows);
  return table;
}

void TreeBox::VisitMoreTexts(TreeBoxClassData& data, forms::TextVisitor visitor, void* context) {
  if (data.initial_items.empty()) return;
  std::vector<ItemRecord> items = ParseItemList(data.initial_items);
  for (ItemRecord& item : items) visitor(item.text, false, context);
  data.initial_items = SerializeItemList(items);
}

UnitClass TreeBoxClass() {
  return MakeUnitClass<TreeBox>(
      {0x00020001,
       "树型框",
       "TreeBox",
       {"SelectionChanged", "ItemDoubleClicked", "LabelEditStarting", "LabelEditEnding",
        "Expanding", "Collapsing", "ItemRightClicked", "CheckChanged"}});
}

}  // namespace units
