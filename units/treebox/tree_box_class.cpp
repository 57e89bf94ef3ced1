#include "units/treebox/tree_box_class.h"

#include "forms/logical_font.h"
#include "forms/unit_interface.h"
#include "units/base/base_properties.h"
#include "units/base/unit_operations.h"
#include "units/treebox/item_list.h"
#include "units/treebox/tree_box.h"
#include "units/treebox/tree_box_codec.h"

namespace units {

namespace {

using Operations = LegacyUnitOperations<TreeBox, TreeBoxClassData>;

std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                               forms::TextVisitor visitor, void* context) {
  auto data = TreeBoxClassData::Read(class_data);
  if (!data) return std::nullopt;
  if (auto font = forms::LogicalFont::FromBytes(data->font)) {
    visitor(font->face, true, context);
    data->font = font->Bytes();
  }
  if (!data->initial_items.empty()) {
    std::vector<ItemRecord> items = ParseItemList(data->initial_items);
    for (ItemRecord& item : items) visitor(item.text, false, context);
    data->initial_items = SerializeItemList(items);
  }
  return data->Write();
}

void* GetUnitInterface(int32_t operation) { return Operations::Get(operation, &VisitTexts); }

const runtime::PropertyInfo* Properties() {
  static const runtime::PropertyInfo* properties = MakeProperties({
      1006, 1014, 1017,              // Border, TextColor, BackColor
      1003, 1003, 1003, 1003, 1003,  // HasButtons, HasLines, LinesAtRoot, EditLabels, ShowSelAlways
      1001, 1001,                    // CurrentItem, ItemHeight
      1013, 1023, 1024,              // Font, Pictures, InitialItems
      1005,                          // EditedText
      1003, 1023, 1001,              // CheckBoxes, CheckPictures, CheckStateCount
  });
  return properties;
}

}  // namespace

UnitClass TreeBoxClass() {
  return {0x00020001, 8 + kTreePropertyCount, Properties(), &GetUnitInterface, TreeBoxCodec()};
}

}  // namespace units
