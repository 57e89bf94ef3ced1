#include "units/label/label_class.h"

#include "forms/unit_interface.h"
#include "units/base/unit_operations.h"
#include "units/base/base_properties.h"
#include "units/label/label_codec.h"
#include "units/label/label_unit.h"

namespace units {

namespace {

using Operations = UnitOperations<LabelUnit, LabelClassData>;

std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                               forms::TextVisitor visitor, void* context) {
  auto data = LabelClassData::Read(class_data);
  if (!data) return std::nullopt;
  visitor(data->caption, false, context);
  visitor(data->data_source, false, context);
  visitor(data->data_column, false, context);
  VisitFontFace(data->font, visitor, context);
  return data->Write();
}

void* GetUnitInterface(int32_t operation) { return Operations::Get(operation, &VisitTexts); }

}  // namespace

UnitClass LabelClass() {
  static const runtime::PropertyInfo* properties = MakeProperties({
      1005,              // Caption
      1006, 1006,        // Effect, Border
      1001,              // FrameWidth
      1015, 1015, 1015,  // FrameColor1..3
      1013,              // Font
      1014, 1017,        // TextColor, BackColor
      1009, 1006,        // BackPicture, BackPictureMode
      1006,              // GradientMode
      1015, 1015, 1015,  // GradientColor1..3
      1006, 1003, 1006,  // Alignment, WordWrap, VerticalAlignment
      1018, 1020,        // DataSource, DataColumn
  });
  return {0x0001000A, 29, properties, &GetUnitInterface, LabelCodec()};
}

}  // namespace units
