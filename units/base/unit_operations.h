#pragma once

#include <optional>
#include <vector>

#include "forms/logical_font.h"
#include "forms/unit_interface.h"

namespace units {

// The operations that unit classes hand out the same way: create from class data, write
// and read a property, save the state as class data. `Unit` has WriteProperty, ReadProperty
// and Data() (its class data as it is now), and either a static Create(CreateParams) or a
// constructor from (CreateParams, ClassData); `ClassData` has Read(bytes) and Write().
template <typename Unit, typename ClassData>
struct UnitOperations {
  static gui::Window* Create(const forms::CreateParams& params) {
    if constexpr (requires { Unit::Create(params); }) {
      return Unit::Create(params);
    } else {
      auto data = ClassData::Read(params.class_data);
      if (!data) return nullptr;
      return new Unit(params, std::move(*data));
    }
  }
  static int32_t WriteProperty(gui::Window* window, int32_t index, const forms::PropertyValue& value) {
    auto* unit = dynamic_cast<Unit*>(window);
    return unit == nullptr ? 0 : unit->WriteProperty(index, value);
  }
  static bool ReadProperty(gui::Window* window, int32_t index, forms::PropertyValue* value) {
    auto* unit = dynamic_cast<Unit*>(window);
    return unit != nullptr && unit->ReadProperty(index, value);
  }
  static std::optional<std::vector<uint8_t>> SaveState(gui::Window* window) {
    auto* unit = dynamic_cast<Unit*>(window);
    if (unit == nullptr) return std::nullopt;
    return unit->Data().Write();
  }

  // One of the four operations above, or the class's own `visit_texts` when given, or null
  // for any other operation code.
  static void* Get(int32_t operation, forms::VisitTextsFunction visit_texts = nullptr) {
    switch (operation) {
      case forms::unit_op::kCreate: return reinterpret_cast<void*>(&Create);
      case forms::unit_op::kWriteProperty: return reinterpret_cast<void*>(&WriteProperty);
      case forms::unit_op::kSaveState: return reinterpret_cast<void*>(&SaveState);
      case forms::unit_op::kReadProperty: return reinterpret_cast<void*>(&ReadProperty);
      case forms::unit_op::kVisitTexts: return reinterpret_cast<void*>(visit_texts);
      default: return nullptr;
    }
  }
};

// Hands the face name of a font record (class data bytes) to a text visitor. The record is
// rewritten only when the visitor changed the face, so that it stays byte-exact otherwise.
inline void VisitFontFace(std::vector<uint8_t>& font, forms::TextVisitor visitor, void* context) {
  if (auto record = forms::LogicalFont::FromBytes(font)) {
    const std::string face = record->face;
    visitor(record->face, true, context);
    if (record->face != face) font = record->Bytes();
  }
}

}  // namespace units
