#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "forms/logical_font.h"
#include "forms/unit_interface.h"
#include "runtime/program_image.h"
#include "units/base/class_data_codec.h"

namespace units {

// One element of a class-data array of colours (a label's three frame colours).
template <typename Data, size_t N>
struct ColorElement {
  uint32_t (Data::*array)[N];
  size_t index;
};

// A stored field that the program sees as a text (an edit box's password character).
template <typename Data>
struct TextView {
  std::string (*get)(const Data& data);
  void (*set)(Data& data, const std::string& text);
};

// Where a property's value is kept in the class's data. Numbers of pick lists, integers
// and colours are 32-bit words, logicals bools, texts GBK strings, pictures, sounds and
// fonts byte vectors. `std::monostate` marks a property that is not stored (its row reads
// and writes through the unit).
template <typename Data>
using DataSlot =
    std::variant<std::monostate, int32_t Data::*, uint32_t Data::*, bool Data::*,
                 std::string Data::*, std::vector<uint8_t> Data::*, ColorElement<Data, 3>,
                 TextView<Data>>;

// The range a written number is brought into.
struct Range {
  int32_t low = INT32_MIN;
  int32_t high = INT32_MAX;
};

// What a class says about one of its own properties: its name (as forms spell it), its
// type code, where it is kept, how a written number is clamped, and what a write does
// after storing. The row of class index i describes property i + 8.
template <typename Unit, typename Data>
struct PropertyRow {
  const char* name;
  uint16_t type;
  DataSlot<Data> slot = std::monostate{};
  Range range = {};
  // Brings the stored value to the screen (null: storing is all a write does).
  void (Unit::*apply)() = nullptr;
  // The unit must be re-created for a written value to show (when the value changed).
  bool recreates = false;
  // A value the unit keeps live (the text of an edit box, the state of a toggle): read
  // through the unit instead of from the data.
  void (Unit::*read_live)(forms::PropertyValue* value) const = nullptr;
  // A write that the unit carries out itself instead of storing (for rows without a slot).
  // Answers 1 when the unit must be re-created for the value to show, else 0.
  int32_t (Unit::*write_live)(const forms::PropertyValue& value) = nullptr;
  // The field's name in a readable form when it differs from the property's.
  const char* form_name = nullptr;
};

// A class's property rows, and everything that follows from them: the type array of the
// class descriptor, property reads and writes by class index, the clamping of created
// data, the readable-form codec and the text visit.
template <typename Unit, typename Data>
class PropertyTable {
 public:
  using Row = PropertyRow<Unit, Data>;

  constexpr explicit PropertyTable(std::span<const Row> rows) : rows_(rows) {}

  std::span<const Row> Rows() const { return rows_; }
  int32_t PropertyCount() const { return 8 + static_cast<int32_t>(rows_.size()); }
  const Row* Find(int32_t index) const {
    return index >= 0 && index < static_cast<int32_t>(rows_.size()) ? &rows_[index] : nullptr;
  }

  // Stores a written value (clamped) and applies it. Returns 1 when the unit must be
  // re-created for the change to show, else 0; an unknown index does nothing.
  int32_t Write(Unit& unit, Data& data, int32_t index, const forms::PropertyValue& value) const {
    const Row* row = Find(index);
    if (row == nullptr) return 0;
    if (row->write_live != nullptr) {
      const int32_t recreate = (unit.*row->write_live)(value);
      if (row->apply != nullptr) (unit.*row->apply)();
      return recreate;
    }
    forms::PropertyValue before;
    if (row->recreates) Load(*row, data, &before);
    Store(*row, data, value);
    if (row->apply != nullptr) (unit.*row->apply)();
    if (!row->recreates) return 0;
    forms::PropertyValue after;
    Load(*row, data, &after);
    return before.number != after.number || before.data != after.data ? 1 : 0;
  }

  bool Read(const Unit& unit, const Data& data, int32_t index, forms::PropertyValue* value) const {
    const Row* row = Find(index);
    if (row == nullptr) return false;
    if (row->read_live != nullptr) {
      (unit.*row->read_live)(value);
      return true;
    }
    return Load(*row, data, value);
  }

  // Brings every stored number into its range (class data as created, or as read from a
  // form, may hold any value).
  void ClampAll(Data& data) const {
    for (const Row& row : rows_) {
      if (auto* field = std::get_if<int32_t Data::*>(&row.slot)) {
        data.** field = std::clamp(data.**field, row.range.low, row.range.high);
      }
    }
  }

  // The stored values as named fields, in row order.
  PropertyMap Fields(const Data& data) const {
    PropertyMap fields;
    for (const Row& row : rows_) {
      const char* name = FormName(row);
      std::visit(
          [&](auto slot) {
            using Slot = decltype(slot);
            if constexpr (std::is_same_v<Slot, std::monostate>) {
            } else if constexpr (std::is_same_v<Slot, ColorElement<Data, 3>>) {
              fields.emplace_back(name, int64_t{(data.*slot.array)[slot.index]});
            } else if constexpr (std::is_same_v<Slot, TextView<Data>>) {
              fields.emplace_back(name, slot.get(data));
            } else {
              const auto& field = data.*slot;
              using Field = std::decay_t<decltype(field)>;
              if constexpr (std::is_integral_v<Field> && !std::is_same_v<Field, bool>) {
                fields.emplace_back(name, int64_t{field});
              } else {
                fields.emplace_back(name, field);
              }
            }
          },
          row.slot);
    }
    return fields;
  }

  // Takes named fields into `data` (which holds the defaults); false when a field is
  // unknown or of the wrong kind.
  bool TakeFields(const PropertyMap& fields, Data& data) const {
    for (const auto& [name, value] : fields) {
      const Row* row = FindByFormName(name);
      if (row == nullptr || !TakeField(*row, value, data)) return false;
    }
    return true;
  }

  // Hands every stored text to the visitor, and every font's face name marked as such.
  void VisitTexts(Data& data, forms::TextVisitor visitor, void* context) const {
    for (const Row& row : rows_) {
      if (auto* text = std::get_if<std::string Data::*>(&row.slot)) {
        visitor(data.**text, false, context);
      } else if (auto* view = std::get_if<TextView<Data>>(&row.slot)) {
        std::string text = view->get(data);
        visitor(text, false, context);
        view->set(data, text);
      } else if (auto* bytes = std::get_if<std::vector<uint8_t> Data::*>(&row.slot);
                 bytes != nullptr && row.type == runtime::property_type::kFont) {
        VisitFontFace(data.**bytes, visitor, context);
      }
    }
  }

  // Hands the face name of a font record to a text visitor. The record is rewritten only
  // when the visitor changed the face, so that it stays byte-exact otherwise.
  static void VisitFontFace(std::vector<uint8_t>& font, forms::TextVisitor visitor, void* context) {
    if (auto record = forms::LogicalFont::FromBytes(font)) {
      const std::string face = record->face;
      visitor(record->face, true, context);
      if (record->face != face) font = record->Bytes();
    }
  }

 private:
  static const char* FormName(const Row& row) {
    return row.form_name != nullptr ? row.form_name : row.name;
  }

  const Row* FindByFormName(const std::string& name) const {
    for (const Row& row : rows_) {
      if (name == FormName(row) && !std::holds_alternative<std::monostate>(row.slot)) return &row;
    }
    return nullptr;
  }

  static void Store(const Row& row, Data& data, const forms::PropertyValue& value) {
    std::visit(
        [&](auto slot) {
          using Slot = decltype(slot);
          if constexpr (std::is_same_v<Slot, std::monostate>) {
          } else if constexpr (std::is_same_v<Slot, ColorElement<Data, 3>>) {
            (data.*slot.array)[slot.index] = static_cast<uint32_t>(value.number);
          } else if constexpr (std::is_same_v<Slot, TextView<Data>>) {
            slot.set(data, value.data);
          } else {
            auto& field = data.*slot;
            using Field = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, bool>) {
              field = value.number != 0;
            } else if constexpr (std::is_same_v<Field, int32_t>) {
              field = static_cast<int32_t>(std::clamp<int64_t>(static_cast<int32_t>(value.number),
                                                               row.range.low, row.range.high));
            } else if constexpr (std::is_same_v<Field, uint32_t>) {
              field = static_cast<uint32_t>(value.number);
            } else if constexpr (std::is_same_v<Field, std::string>) {
              field = value.data;
            } else {
              field.assign(value.data.begin(), value.data.end());
            }
          }
        },
        row.slot);
  }

  static bool Load(const Row& row, const Data& data, forms::PropertyValue* value) {
    return std::visit(
        [&](auto slot) {
          using Slot = decltype(slot);
          if constexpr (std::is_same_v<Slot, std::monostate>) {
            return false;
          } else if constexpr (std::is_same_v<Slot, ColorElement<Data, 3>>) {
            value->number = (data.*slot.array)[slot.index];
            return true;
          } else if constexpr (std::is_same_v<Slot, TextView<Data>>) {
            value->data = slot.get(data);
            return true;
          } else {
            const auto& field = data.*slot;
            using Field = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, bool>) {
              value->number = field ? 1 : 0;
            } else if constexpr (std::is_integral_v<Field>) {
              value->number = field;
            } else {
              value->data.assign(field.begin(), field.end());
            }
            return true;
          }
        },
        row.slot);
  }

  static bool TakeField(const Row& row, const PropertyField& value, Data& data) {
    return std::visit(
        [&](auto slot) {
          using Slot = decltype(slot);
          if constexpr (std::is_same_v<Slot, std::monostate>) {
            return false;
          } else if constexpr (std::is_same_v<Slot, ColorElement<Data, 3>>) {
            if (!std::holds_alternative<int64_t>(value)) return false;
            (data.*slot.array)[slot.index] = static_cast<uint32_t>(std::get<int64_t>(value));
            return true;
          } else if constexpr (std::is_same_v<Slot, TextView<Data>>) {
            if (!std::holds_alternative<std::string>(value)) return false;
            slot.set(data, std::get<std::string>(value));
            return true;
          } else {
            auto& field = data.*slot;
            using Field = std::decay_t<decltype(field)>;
            if constexpr (std::is_integral_v<Field> && !std::is_same_v<Field, bool>) {
              if (!std::holds_alternative<int64_t>(value)) return false;
              field = static_cast<Field>(std::get<int64_t>(value));
            } else {
              if (!std::holds_alternative<Field>(value)) return false;
              field = std::get<Field>(value);
            }
            return true;
          }
        },
        row.slot);
  }

  std::span<const Row> rows_;
};

}  // namespace units
