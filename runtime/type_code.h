#pragma once

#include <cstdint>

namespace runtime {

// The type of a value in an argument cell. The two top bits classify the code:
//   0                        no value
//   10xx... (0x80000000..)   a system type, listed below
//   01xx... (0x40000000..)   a data type that the application declares itself
//   anything else            a library data type, given as its TypeRef
using TypeCode = uint32_t;

// A reference to a library data type: (library index + 1) << 16 | (type index + 1).
using TypeRef = uint32_t;

inline constexpr TypeCode kNoValue = 0;
inline constexpr TypeCode kByte = 0x80000101;
inline constexpr TypeCode kShort = 0x80000201;
inline constexpr TypeCode kInt = 0x80000301;
inline constexpr TypeCode kLong = 0x80000401;
inline constexpr TypeCode kFloat = 0x80000501;
inline constexpr TypeCode kDouble = 0x80000601;
inline constexpr TypeCode kLogical = 0x80000002;
inline constexpr TypeCode kDateTime = 0x80000003;
inline constexpr TypeCode kText = 0x80000004;
inline constexpr TypeCode kByteSet = 0x80000005;
inline constexpr TypeCode kRoutine = 0x80000006;
inline constexpr TypeCode kUnsized = 0x80000007;
inline constexpr TypeCode kSubStatement = 0x80000008;

// Set on a system type code in an argument cell: the payload points to an array block.
inline constexpr TypeCode kArrayFlag = 0x20000000;

enum class TypeClass { kNone, kSystem, kApplication, kLibrary };

constexpr TypeClass ClassifyTypeCode(TypeCode code) {
  if (code == 0) return TypeClass::kNone;
  switch (code >> 30) {
    case 2: return TypeClass::kSystem;
    case 1: return TypeClass::kApplication;
    default: return TypeClass::kLibrary;
  }
}

constexpr bool IsArrayCode(TypeCode code) {
  return ClassifyTypeCode(code) == TypeClass::kSystem && (code & kArrayFlag) != 0;
}

constexpr TypeCode ElementTypeOf(TypeCode code) { return code & ~kArrayFlag; }

// The six numeric codes share the form 0x80000n01.
constexpr bool IsNumericType(TypeCode code) {
  return (code & 0xFFFFF0FF) == 0x80000001 && ((code >> 8) & 0xF) >= 1 && ((code >> 8) & 0xF) <= 6;
}

// Payload bytes of a value of a system type (pointers count as 8 on this build);
// 0 for types without a fixed payload.
int32_t PayloadSize(TypeCode code);

constexpr TypeRef MakeTypeRef(int32_t library_index, int32_t type_index) {
  return (static_cast<TypeRef>(library_index + 1) << 16) | static_cast<TypeRef>(type_index + 1);
}

// Stored date-times are clamped to this range of days, 0100-01-01 .. 9999-12-31.
inline constexpr double kMinDateTime = -657434.0;
inline constexpr double kMaxDateTime = 2958465.0;

}  // namespace runtime
