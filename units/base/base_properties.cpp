#include "units/base/base_properties.h"

namespace units {

const runtime::PropertyInfo* MakeProperties(std::initializer_list<uint16_t> class_types) {
  using namespace runtime::property_type;
  auto* properties = new std::vector<runtime::PropertyInfo>;
  for (uint16_t type : {kInteger, kInteger, kInteger, kInteger, kText, kLogical, kLogical,
                        kMousePointer}) {
    properties->push_back({nullptr, nullptr, nullptr, type, runtime::kBasePropertyState, nullptr});
  }
  for (uint16_t type : class_types) {
    properties->push_back({nullptr, nullptr, nullptr, type, 0, nullptr});
  }
  return properties->data();
}

}  // namespace units
