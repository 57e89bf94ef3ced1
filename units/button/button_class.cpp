#include "units/button/button_class.h"

#include "forms/unit_interface.h"
#include "units/base/unit_operations.h"
#include "units/base/base_properties.h"
#include "units/button/button_codec.h"
#include "units/button/button_unit.h"

namespace units {

namespace {

using Operations = LegacyUnitOperations<ButtonUnit, ButtonClassData>;

std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                               forms::TextVisitor visitor, void* context) {
  auto data = ButtonClassData::Read(class_data);
  if (!data) return std::nullopt;
  visitor(data->caption, false, context);
  VisitFontFace(data->font, visitor, context);
  return data->Write();
}

bool IsDefaultButton(gui::Window* unit) {
  const auto* button = dynamic_cast<const ButtonUnit*>(unit);
  return button != nullptr && button->IsDefaultButton();
}

void* GetUnitInterface(int32_t operation) {
  if (operation == forms::unit_op::kIsDefaultButton) return reinterpret_cast<void*>(&IsDefaultButton);
  return Operations::Get(operation, &VisitTexts);
}

}  // namespace

UnitClass ButtonClass() {
  static const runtime::PropertyInfo* properties = MakeProperties({
      1009,        // Picture
      1006,        // ButtonType
      1005,        // Caption
      1006, 1006,  // Alignment, VerticalAlignment
      1013,        // Font
  });
  return {0x0001000B, 14, properties, &GetUnitInterface, ButtonCodec()};
}

}  // namespace units
