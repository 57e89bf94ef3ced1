#include "units/groupbox/group_box_class.h"

#include "forms/unit_interface.h"
#include "units/base/unit_operations.h"
#include "units/base/base_properties.h"
#include "units/groupbox/group_box_codec.h"
#include "units/groupbox/group_box_unit.h"

namespace units {

namespace {

using Operations = LegacyUnitOperations<GroupBoxUnit, GroupBoxClassData>;

std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                               forms::TextVisitor visitor, void* context) {
  auto data = GroupBoxClassData::Read(class_data);
  if (!data) return std::nullopt;
  visitor(data->caption, false, context);
  VisitFontFace(data->font, visitor, context);
  return data->Write();
}

void* GetUnitInterface(int32_t operation) { return Operations::Get(operation, &VisitTexts); }

}  // namespace

UnitClass GroupBoxClass() {
  static const runtime::PropertyInfo* properties = MakeProperties({
      1005,  // Caption
      1006,  // Alignment
      1014,  // TextColor
      1017,  // BackColor
      1013,  // Font
  });
  return {0x00010009, 13, properties, &GetUnitInterface, GroupBoxCodec()};
}

}  // namespace units
