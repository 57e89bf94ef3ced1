#pragma once

#include <cstdint>

namespace forms {

// Window and unit identifiers (32 bits):
//   bits 28..31  kind: 1 a unit, 2 a menu item, 5 a window (0 in the window's own unit)
//   bits 24..27  sub-kind: 6 in every id inside a window, 2 in a window's id
//   bits  0..23  serial number
// An id is valid when its serial and its sub-kind are both non-zero.
using FormId = uint32_t;
using UnitId = uint32_t;

inline constexpr UnitId kWindowUnitId = 0x06010000;  // the window's own unit, record 0

constexpr uint32_t IdKind(uint32_t id) { return id >> 28; }
constexpr uint32_t IdSubKind(uint32_t id) { return (id >> 24) & 0xF; }
constexpr uint32_t IdSerial(uint32_t id) { return id & 0xFFFFFF; }
constexpr bool IsValidId(uint32_t id) { return IdSerial(id) != 0 && IdSubKind(id) != 0; }
constexpr bool IsMenuItemId(UnitId id) { return IdSubKind(id) == 6 && IdKind(id) == 2; }

}  // namespace forms
