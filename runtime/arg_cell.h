#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "runtime/type_code.h"

namespace runtime {

struct SubStatement;

// A value crossing a call gate: eight bytes of payload and a type code (12 bytes, in
// memory order low word, high word, type). A value of up to 4 bytes lies in the low word;
// an 8-byte value or a pointer uses both words, low word first.
struct ArgCell {
  uint32_t low = 0;
  uint32_t high = 0;
  TypeCode type = kNoValue;

  // Constructors for each kind of value.
  static ArgCell Int(int32_t value) { return From(kInt, value); }
  static ArgCell Short(int16_t value) { return From(kShort, value); }
  static ArgCell Byte(uint8_t value) { return From(kByte, value); }
  static ArgCell Long(int64_t value) { return From(kLong, value); }
  static ArgCell Float(float value) { return From(kFloat, value); }
  static ArgCell Double(double value) { return From(kDouble, value); }
  static ArgCell Logical(bool value) { return From(kLogical, int32_t{value ? 1 : 0}); }
  static ArgCell DateTime(double days) { return From(kDateTime, days); }
  // The cell takes the pointer, not the block: ownership stays with whoever holds it.
  static ArgCell Text(const char* block) { return From(kText, block); }
  static ArgCell ByteSet(const void* block) { return From(kByteSet, block); }
  static ArgCell Pointer(TypeCode type, const void* pointer) { return From(type, pointer); }
  static ArgCell Statement(const SubStatement* statement) { return From(kSubStatement, statement); }
  // A reference to a unit of a window, the first argument of every unit method: the type is
  // the TypeRef of the unit's class (a library data type), the low word the window's
  // FormId, the high word the UnitId (the window's own unit for the window itself).
  static ArgCell UnitReference(TypeRef unit_class, uint32_t form, uint32_t unit) {
    return ArgCell{form, unit, unit_class};
  }

  // The payload read as a value of type T (T of at most 8 bytes, trivially copyable).
  template <typename T>
  T As() const {
    static_assert(sizeof(T) <= 8 && std::is_trivially_copyable_v<T>);
    uint8_t bytes[8];
    std::memcpy(bytes, &low, 4);
    std::memcpy(bytes + 4, &high, 4);
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }

  template <typename T>
  T* AsPointer() const {
    return static_cast<T*>(As<void*>());
  }

  int64_t Payload64() const { return As<int64_t>(); }

  template <typename T>
  static ArgCell From(TypeCode type, T value) {
    static_assert(sizeof(T) <= 8 && std::is_trivially_copyable_v<T>);
    uint8_t bytes[8] = {};
    std::memcpy(bytes, &value, sizeof(T));
    ArgCell cell;
    std::memcpy(&cell.low, bytes, 4);
    std::memcpy(&cell.high, bytes + 4, 4);
    cell.type = type;
    return cell;
  }
};
static_assert(sizeof(ArgCell) == 12, "an argument cell is three 32-bit words");

// A piece of the caller's code that a command evaluates on demand (for instance a
// condition evaluated once per database record). The cell's payload points to it.
struct SubStatement {
  // Returns the statement's result cell, as a command gate does.
  ArgCell (*code)(const void* frame);
  const void* frame;
};

}  // namespace runtime
