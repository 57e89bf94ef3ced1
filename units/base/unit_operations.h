#pragma once

#include <optional>
#include <vector>

#include "forms/unit_interface.h"

namespace units {

// The operations that unit classes hand out the same way: create from class data, write
// and read a property, save the state as class data. `Unit` is constructed from
// (CreateParams, ClassData) and has WriteProperty, ReadProperty and Data(); `ClassData`
// has Read(bytes) and Write().
template <typename Unit, typename ClassData>
struct UnitOperations {
  static gui::Window* Create(const forms::CreateParams& params) {
    auto data = ClassData::Read(params.class_data);
    if (!data) return nullptr;
    return new Unit(params, std::move(*data));
  }
  static int32_t WriteProperty(gui::Window* window, int32_t index, const forms::PropertyValue& value) {
    auto* unit = dynamic_cast<Unit*>(window);
    return unit == nullptr ? 0 : unit->WriteProperty(index, value);
  }
  static bool ReadProperty(gui::Window* window, int32_t index, forms::PropertyValue* value) {
    const auto* unit = dynamic_cast<const Unit*>(window);
    return unit != nullptr && unit->ReadProperty(index, value);
  }
  static std::optional<std::vector<uint8_t>> SaveState(gui::Window* window) {
    const auto* unit = dynamic_cast<const Unit*>(window);
    if (unit == nullptr) return std::nullopt;
    return unit->Data().Write();
  }

  // One of the four operations above, or null for any other operation code.
  static void* Get(int32_t operation) {
    switch (operation) {
      case forms::unit_op::kCreate: return reinterpret_cast<void*>(&Create);
      case forms::unit_op::kWriteProperty: return reinterpret_cast<void*>(&WriteProperty);
      case forms::unit_op::kSaveState: return reinterpret_cast<void*>(&SaveState);
      case forms::unit_op::kReadProperty: return reinterpret_cast<void*>(&ReadProperty);
      default: return nullptr;
    }
  }
};

}  // namespace units
