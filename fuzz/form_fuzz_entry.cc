#include "fuzz/form_fuzz_entry.h"

#include <cstdlib>
#include <span>
#include <string>

#include "forms/template_block.h"
#include "forms/unit_interface.h"
#include "units/unit_classes.h"

namespace fuzz {

namespace {

// A finding that is not a crash: the input is kept by the fuzzer as a failure.
void Check(bool condition) {
  if (!condition) std::abort();
}

void ReadClassData(const units::UnitClass& unit_class, std::span<const uint8_t> class_data) {
  const units::ClassDataCodec& codec = unit_class.codec;
  const auto fields = codec.decode(class_data);
  const auto visit = forms::UnitOperation<forms::VisitTextsFunction>(
      unit_class.get_unit_interface, forms::unit_op::kVisitTexts);
  if (visit != nullptr) {
    const auto visited = visit(
        class_data, [](std::string& text, bool, void*) { text += "x"; }, nullptr);
    Check(visited.has_value() == fields.has_value());
  }
  if (!fields) return;
  const auto encoded = codec.encode(*fields);
  Check(encoded.has_value());
  const auto again = codec.decode(*encoded);
  Check(again.has_value() && *again == *fields);
}

}  // namespace

int FuzzClassData(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const runtime::TypeRef type = data[0] | data[1] << 8 | data[2] << 16 | uint32_t{data[3]} << 24;
  if (const units::UnitClass* unit_class = units::FindUnitClass(type)) {
    ReadClassData(*unit_class, {data + 4, size - 4});
  }
  return 0;
}

int FuzzTemplateBlock(const uint8_t* data, size_t size) {
  const auto templates = forms::ReadTemplateBlock({data, size});
  if (!templates) return 0;
  const std::vector<uint8_t> written = forms::WriteTemplateBlock(*templates);
  const auto reread = forms::ReadTemplateBlock(written);
  Check(reread.has_value());
  Check(forms::WriteTemplateBlock(*reread) == written);
  for (const forms::WindowTemplate& window : reread->windows) {
    for (const forms::UnitRecord& record : window.units) {
      if (record.IsMenuItem()) continue;
      if (const units::UnitClass* unit_class = units::FindUnitClass(record.Unit().type)) {
        ReadClassData(*unit_class, record.Unit().class_data);
      }
    }
  }
  return 0;
}

}  // namespace fuzz
