#pragma once

#include <optional>
#include <string>
#include <vector>

#include "forms/unit_interface.h"
#include "units/base/base_properties.h"
#include "units/base/property_table.h"
#include "units/unit_classes.h"

namespace units {

// Everything a unit class hands out, made from the unit type alone. `Unit` declares
//   using ClassData = ...;   with static Read(bytes) -> optional and Write() -> bytes
//   static const PropertyTable<Unit, ClassData>& Properties();
//   const ClassData& Data() const;   its class data as it is now
//   WriteProperty(index, value) and ReadProperty(index, value), as a rule through the table,
// and either a static Create(CreateParams) or a constructor from (CreateParams, ClassData).
// A unit that answers OwnsKey(message) offers that operation; a push button declares
// `static constexpr bool kIsPushButton = true` to answer "is default button"; a class with
// a class icon declares static ClassIcon(bytes); a class with texts inside its own byte
// formats declares static VisitMoreTexts(data, visitor, context).
template <typename Unit>
struct UnitOperations {
  using ClassData = typename Unit::ClassData;

  static gui::Window* Create(const forms::CreateParams& params) {
    if constexpr (requires { Unit::Create(params); }) {
      return Unit::Create(params);
    } else {
      auto data = ClassData::Read(params.class_data);
      if (!data) return nullptr;
      return new Unit(params, std::move(*data));
    }
  }
  static int32_t WriteProperty(gui::Window* window, int32_t index,
                               const forms::PropertyValue& value) {
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
  static std::optional<std::vector<uint8_t>> VisitTexts(std::span<const uint8_t> class_data,
                                                        forms::TextVisitor visitor, void* context) {
    auto data = ClassData::Read(class_data);
    if (!data) return std::nullopt;
    Unit::Properties().VisitTexts(*data, visitor, context);
    // Texts inside a class's own byte formats (a tree's items).
    if constexpr (requires { Unit::VisitMoreTexts(*data, visitor, context); }) {
      Unit::VisitMoreTexts(*data, visitor, context);
    }
    return data->Write();
  }
  static bool OwnsKey(gui::Window* window, const gui::Message& message) {
    if constexpr (requires(const Unit& unit) { unit.OwnsKey(message); }) {
      const auto* unit = dynamic_cast<const Unit*>(window);
      return unit != nullptr && unit->OwnsKey(message);
    } else {
      return false;
    }
  }
  static bool IsDefaultButton(gui::Window* window) {
    const auto* unit = dynamic_cast<const Unit*>(window);
    return unit != nullptr && unit->IsDefaultButton();
  }

  // The readable-form codec: the stored values by property name, and back.
  static std::optional<PropertyMap> Decode(std::span<const uint8_t> class_data) {
    const auto data = ClassData::Read(class_data);
    if (!data) return std::nullopt;
    return Unit::Properties().Fields(*data);
  }
  static std::optional<std::vector<uint8_t>> Encode(const PropertyMap& fields) {
    ClassData data;
    if (!Unit::Properties().TakeFields(fields, data)) return std::nullopt;
    return data.Write();
  }

  static void* GetUnitInterface(int32_t operation) {
    switch (operation) {
      case forms::unit_op::kCreate:
        return reinterpret_cast<void*>(&Create);
      case forms::unit_op::kWriteProperty:
        return reinterpret_cast<void*>(&WriteProperty);
      case forms::unit_op::kSaveState:
        return reinterpret_cast<void*>(&SaveState);
      case forms::unit_op::kReadProperty:
        return reinterpret_cast<void*>(&ReadProperty);
      case forms::unit_op::kVisitTexts:
        return reinterpret_cast<void*>(&VisitTexts);
      case forms::unit_op::kClassIcon:
        if constexpr (requires { &Unit::ClassIcon; }) {
          return reinterpret_cast<void*>(&Unit::ClassIcon);
        }
        return nullptr;
      case forms::unit_op::kOwnsKey:
        if constexpr (requires(const Unit& unit, const gui::Message& message) {
                        unit.OwnsKey(message);
                      }) {
          return reinterpret_cast<void*>(&OwnsKey);
        }
        return nullptr;
      case forms::unit_op::kIsDefaultButton:
        if constexpr (requires { Unit::kIsPushButton; }) {
          return reinterpret_cast<void*>(&IsDefaultButton);
        }
        return nullptr;
      default:
        return nullptr;
    }
  }
};

// The names under which a class is known: its type in the library table, its Chinese
// (UTF-8) and English names, and the names of its own events, numbered from 0.
struct ClassNames {
  runtime::TypeRef type;
  const char* chinese_name;
  const char* english_name;
  std::vector<std::string> event_names;
};

// The class descriptor of `Unit`: its property types from its table, its operations and
// its readable-form codec.
template <typename Unit>
UnitClass MakeUnitClass(const ClassNames& names) {
  using Operations = UnitOperations<Unit>;
  static const runtime::PropertyInfo* properties = [] {
    std::vector<uint16_t> types;
    for (const auto& row : Unit::Properties().Rows()) types.push_back(row.type);
    return MakeProperties(types);
  }();
  return {names.type,
          Unit::Properties().PropertyCount(),
          properties,
          &Operations::GetUnitInterface,
          {names.chinese_name, names.english_name, names.type, &Operations::Decode,
           &Operations::Encode, names.event_names}};
}

}  // namespace units
