#include "units/base/base_properties.h"

#include <memory>

namespace units {

const runtime::PropertyInfo* MakeProperties(std::span<const uint16_t> class_types) {
  using namespace runtime::property_type;
  // Every array stays reachable from here for the life of the program; a vector known only
  // through its data() pointer reads as a leak to the sanitizer's leak checker.
  static auto* arrays = new std::vector<std::unique_ptr<std::vector<runtime::PropertyInfo>>>;
  arrays->push_back(std::make_unique<std::vector<runtime::PropertyInfo>>());
  std::vector<runtime::PropertyInfo>* properties = arrays->back().get();
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
