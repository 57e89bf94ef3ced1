#include "units/treebox/tree_box_methods.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "forms/forms_runtime.h"
#include "runtime/blocks.h"
#include "runtime/cell_values.h"
#include "runtime/error_report.h"
#include "units/treebox/tree_box.h"

namespace units {

namespace {

using runtime::ArgCell;

constexpr int32_t kWrongArgumentType = 11;

TreeBox* LiveTreeBox(forms::FormId form, forms::UnitId unit) {
  return dynamic_cast<TreeBox*>(forms::FormsRuntime::Instance().UnitWindow(form, unit));
}

bool Given(std::span<const ArgCell> args, size_t index) {
  return index < args.size() && args[index].type != runtime::kNoValue;
}

std::string TextOfCell(const ArgCell& cell) {
  if (cell.type != runtime::kText) runtime::ReportRuntimeError(kWrongArgumentType);
  return std::string(runtime::TextOf(cell.AsPointer<char>()));
}

bool LogicalOfCell(const ArgCell& cell) {
  return cell.type == runtime::kLogical ? cell.low != 0 : runtime::CellToInt32(cell) != 0;
}

// One argument of AddItem: a single value, or an array whose element i belongs to item i
// (its last element to the items beyond it).
class ItemArgument {
 public:
  explicit ItemArgument(const ArgCell* cell) : cell_(cell) {}

  bool Given() const { return cell_ != nullptr && cell_->type != runtime::kNoValue; }
  bool IsArray() const { return Given() && runtime::IsArrayCode(cell_->type); }

  // The value for item `i`; nothing when the argument is left out or an empty array.
  std::optional<ArgCell> For(int64_t i) const {
    if (!Given()) return std::nullopt;
    if (!IsArray()) return *cell_;
    const void* block = cell_->AsPointer<void>();
    const int64_t count = runtime::ArrayElementCount(block);
    if (count <= 0) return std::nullopt;
    const runtime::TypeCode type = runtime::ElementTypeOf(cell_->type);
    const int32_t size = runtime::PayloadSize(type);
    if (size <= 0) runtime::ReportRuntimeError(kWrongArgumentType);
    const auto* elements = static_cast<const uint8_t*>(block) + runtime::ArrayHeaderSize(block);
    uint8_t payload[8] = {};
    std::memcpy(payload, elements + std::min(i, count - 1) * size, static_cast<size_t>(size));
    ArgCell element;
    std::memcpy(&element.low, payload, 4);
    std::memcpy(&element.high, payload + 4, 4);
    element.type = type;
    return element;
  }

 private:
  const ArgCell* cell_;
};

}  // namespace

int32_t TreeBoxAddItem(forms::FormId form, forms::UnitId unit, std::span<const ArgCell> args) {
  TreeBox* box = LiveTreeBox(form, unit);
  if (box == nullptr) return -1;
  const auto argument = [&](size_t index) {
    return ItemArgument(index < args.size() ? &args[index] : nullptr);
  };
  const int32_t parent = Given(args, 0) ? runtime::CellToInt32(args[0]) : -1;
  const ItemArgument text = argument(1), picture = argument(2), selected = argument(3),
                     data = argument(4), bold = argument(5), check = argument(6);
  // Bold and check state belong to the full form of the call only.
  const bool full = args.size() >= 7;

  const auto make = [&](int64_t i, std::string item_text) {
    NewItem item;
    item.text = std::move(item_text);
    const auto picture_cell = picture.For(i);
    item.picture = picture_cell ? std::max(runtime::CellToInt32(*picture_cell), 0) : 0;
    const auto selected_cell = selected.For(i);
    const int32_t selected_value = selected_cell ? runtime::CellToInt32(*selected_cell) : -1;
    item.selected_picture = selected_value >= 0 ? selected_value : item.picture;
    const auto data_cell = data.For(i);
    item.data = data_cell ? runtime::CellToInt32(*data_cell) : 0;
    if (full) {
      if (const auto bold_cell = bold.For(i)) item.bold = LogicalOfCell(*bold_cell);
      if (const auto check_cell = check.For(i))
        item.check_state = runtime::CellToInt32(*check_cell);
    }
    return item;
  };

  if (!text.Given()) runtime::ReportRuntimeError(kWrongArgumentType);
  if (!text.IsArray()) return box->AddItem(parent, make(0, TextOfCell(args[1])));

  if (runtime::ElementTypeOf(args[1].type) != runtime::kText) {
    runtime::ReportRuntimeError(kWrongArgumentType);
  }
  const void* block = args[1].AsPointer<void>();
  if (block != nullptr && runtime::ArrayDimensionCount(block) > 1) return -1;
  const int64_t count = runtime::ArrayElementCount(block);
  std::vector<NewItem> items;
  items.reserve(static_cast<size_t>(count));
  for (int64_t i = 0; i < count; ++i) {
    const std::optional<ArgCell> element = text.For(i);
    items.push_back(make(i, std::string(runtime::TextOf(element->AsPointer<char>()))));
  }
  box->AddItems(parent, items);
  return 0;
}

bool TreeBoxSetItemText(forms::FormId form, forms::UnitId unit, std::span<const ArgCell> args) {
  TreeBox* box = LiveTreeBox(form, unit);
  if (box == nullptr) return false;
  if (args.size() < 2) runtime::ReportRuntimeError(kWrongArgumentType);
  return box->SetItemText(runtime::CellToInt32(args[0]), TextOfCell(args[1]));
}

int32_t TreeBoxGetItemCount(forms::FormId form, forms::UnitId unit) {
  TreeBox* box = LiveTreeBox(form, unit);
  return box == nullptr ? 0 : box->ItemCount();
}

bool TreeBoxDeleteItem(forms::FormId form, forms::UnitId unit, std::span<const ArgCell> args) {
  TreeBox* box = LiveTreeBox(form, unit);
  if (box == nullptr) return false;
  if (args.empty()) runtime::ReportRuntimeError(kWrongArgumentType);
  return box->DeleteItem(runtime::CellToInt32(args[0]));
}

}  // namespace units
