#include "units/groupbox/group_box_class.h"

#include "forms/logical_font.h"
#include "forms/unit_interface.h"
#include "units/base/unit_operations.h"
#include "units/base/base_properties.h"
#include "units/groupbox/group_box_codec.h"
#include "units/groupbox/group_box_unit.h"

namespace units {

namespace {

using Operations = UnitOperations<GroupBoxUnit, GroupBoxClassData>;

std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                               forms::TextVisitor visitor, void* context) {
  auto data = GroupBoxClassData::Read(class_data);
  if (!data) return std::nullopt;
  visitor(data->caption, false, context);
  if (auto font = forms::LogicalFont::FromBytes(data->font)) {
    const std::string face = font->face;
    visitor(font->face, true, context);
    // Rewritten only when the visitor changed the face, so the record stays byte-exact.
    if (font->face != face) data->font = font->Bytes();
  }
  return data->Write();
}

void* GetUnitInterface(int32_t operation) {
  if (void* standard = Operations::Get(operation)) return standard;
  switch (operation) {
    case forms::unit_op::kVisitTexts:
      return reinterpret_cast<void*>(&VisitTexts);
    default:
      return nullptr;
  }
}

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
