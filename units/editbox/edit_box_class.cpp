#include "units/editbox/edit_box_class.h"

#include "forms/unit_interface.h"
#include "units/base/base_properties.h"
#include "units/editbox/edit_box_codec.h"
#include "units/editbox/edit_box_unit.h"

namespace units {

namespace {

gui::Window* Create(const forms::CreateParams& params) { return EditBoxUnit::Create(params); }

int32_t WriteProperty(gui::Window* unit, int32_t index, const forms::PropertyValue& value) {
  auto* box = dynamic_cast<EditBoxUnit*>(unit);
  return box == nullptr ? 0 : box->WriteProperty(index, value);
}

bool ReadProperty(gui::Window* unit, int32_t index, forms::PropertyValue* value) {
  const auto* box = dynamic_cast<const EditBoxUnit*>(unit);
  return box != nullptr && box->ReadProperty(index, value);
}

std::optional<std::vector<uint8_t>> SaveState(gui::Window* unit) {
  const auto* box = dynamic_cast<const EditBoxUnit*>(unit);
  if (box == nullptr) return std::nullopt;
  return box->CurrentData().Write();
}

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
  switch (operation) {
    case forms::unit_op::kCreate:
      return reinterpret_cast<void*>(&Create);
    case forms::unit_op::kWriteProperty:
      return reinterpret_cast<void*>(&WriteProperty);
    case forms::unit_op::kSaveState:
      return reinterpret_cast<void*>(&SaveState);
    case forms::unit_op::kReadProperty:
      return reinterpret_cast<void*>(&ReadProperty);
    case forms::unit_op::kOwnsKey:
      return reinterpret_cast<void*>(&OwnsKey);
    case forms::unit_op::kVisitTexts:
      return reinterpret_cast<void*>(&VisitTexts);
    default:
      return nullptr;
  }
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
