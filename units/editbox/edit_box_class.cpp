#include "units/editbox/edit_box_class.h"

#include "forms/unit_interface.h"
#include "units/base/base_properties.h"
#include "units/base/unit_operations.h"
#include "units/editbox/edit_box_codec.h"
#include "units/editbox/edit_box_unit.h"

namespace units {

namespace {

using Operations = LegacyUnitOperations<EditBoxUnit, EditBoxClassData>;

bool OwnsKey(gui::Window* unit, const gui::Message& message) {
  const auto* box = dynamic_cast<const EditBoxUnit*>(unit);
  return box != nullptr && box->OwnsKey(message);
}

std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                               forms::TextVisitor visitor, void* context) {
  auto data = EditBoxClassData::Read(class_data);
  if (!data) return std::nullopt;
  visitor(data->content, false, context);
  std::string password = PasswordCharText(data->password_char);
  visitor(password, false, context);
  data->password_char = PasswordCharOfText(password);
  visitor(data->data_source, false, context);
  visitor(data->data_column, false, context);
  return data->Write();
}

}  // namespace

void* EditBoxGetUnitInterface(int32_t operation) {
  if (operation == forms::unit_op::kOwnsKey) return reinterpret_cast<void*>(&OwnsKey);
  return Operations::Get(operation, &VisitTexts);
}

const runtime::PropertyInfo* EditBoxProperties() {
  static const runtime::PropertyInfo* properties = MakeProperties({
      1005,                    // Content
      1006, 1014, 1017, 1013,  // Border, TextColor, BackColor, Font
      1003, 1001, 1003,        // HideSelection, MaxLength, MultiLine
      1006, 1006, 1006,        // ScrollBars, Alignment, InputMode
      1005, 1006,              // PasswordChar, CaseConversion
      1006, 1001, 1001,        // SpinMode, SpinMin, SpinMax
      1001, 1001, 1005,        // SelStart, SelLength, SelText
      1018, 1020,              // DataSource, DataColumn
  });
  return properties;
}

UnitClass EditBoxClass() {
  return {kEditBoxType, kEditBoxPropertyCount, EditBoxProperties(), &EditBoxGetUnitInterface,
          EditBoxCodec()};
}

}  // namespace units
