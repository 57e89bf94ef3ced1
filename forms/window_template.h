#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "forms/form_ids.h"
#include "runtime/type_code.h"

namespace forms {

// An event bound to a routine. In the block the handler is an offset from the program's
// routine table (-1 for none); once loaded it is the routine's address (0 for none).
struct EventBinding {
  int32_t event = 0;
  int32_t handler_offset = -1;
  uintptr_t handler = 0;

  bool operator==(const EventBinding&) const = default;
};

// The record of a unit (every record that is not a menu item). Field order is the order in
// the stream; strings are GBK.
struct UnitTemplate {
  runtime::TypeRef type = 0;
  UnitId event_source = 0;  // another unit of the same class whose bindings this one uses
  int32_t reserved[4] = {};
  std::string name;
  std::string comment;
  uintptr_t object = 0;  // while loaded: the unit's live object
  int32_t left = 0, top = 0, width = 0, height = 0;
  uintptr_t cursor = 0;  // while loaded: the cursor made from `mouse_pointer`
  UnitId parent = 0;
  // For a container: its units; in a container with pages the pages' lists follow each
  // other separated by a 0 entry.
  std::vector<UnitId> children;
  std::vector<uint8_t> mouse_pointer;  // 4 bytes: a standard cursor id; longer: a cursor file
  std::string tag;
  int32_t word_a = 0;
  uint32_t flags = 0;  // unit_flag::*
  int32_t word_b = 0;
  std::vector<EventBinding> events;
  int32_t reserved_tail[5] = {};
  std::vector<uint8_t> class_data;  // opaque here; parsed by the unit's class

  bool operator==(const UnitTemplate&) const = default;
};

namespace unit_flag {
inline constexpr uint32_t kVisible = 1u << 0;
inline constexpr uint32_t kDisabled = 1u << 1;
inline constexpr uint32_t kTabStop = 1u << 2;
}  // namespace unit_flag

// One item of a window's menus.
struct MenuItemTemplate {
  runtime::TypeRef type = 0x00010003;
  int32_t reserved[5] = {};
  std::string name;
  std::string comment;
  int32_t shortcut = 0;  // index into the shortcut-key table, 0 for none
  int32_t level = 0;     // 0 a top-level menu, 1 its items, ...
  uint32_t flags = 0;    // menu_flag::*
  std::string caption;   // "-" makes a separator
  EventBinding selected{0, -1, 0};
  uintptr_t slots[4] = {};  // while loaded: the item's menu and command id

  bool operator==(const MenuItemTemplate&) const = default;
};

namespace menu_flag {
inline constexpr uint32_t kHidden = 1u << 0;
inline constexpr uint32_t kDisabled = 1u << 1;
inline constexpr uint32_t kChecked = 1u << 2;
}  // namespace menu_flag

struct UnitRecord {
  UnitId id = 0;
  std::variant<UnitTemplate, MenuItemTemplate> body;

  bool IsMenuItem() const { return std::holds_alternative<MenuItemTemplate>(body); }
  UnitTemplate& Unit() { return std::get<UnitTemplate>(body); }
  const UnitTemplate& Unit() const { return std::get<UnitTemplate>(body); }
  MenuItemTemplate& MenuItem() { return std::get<MenuItemTemplate>(body); }
  const MenuItemTemplate& MenuItem() const { return std::get<MenuItemTemplate>(body); }

  bool operator==(const UnitRecord&) const = default;
};

// One window: its own unit is record 0.
struct WindowTemplate {
  FormId id = 0;
  int32_t word0 = 0;
  int32_t word1 = 0x1901002A;
  std::string text0;
  std::string text1;
  std::vector<UnitRecord> units;

  // The record of `unit`, or null; id 0 names the window's own unit.
  UnitRecord* FindUnit(UnitId unit);
  const UnitRecord* FindUnit(UnitId unit) const;
  int32_t IndexOf(UnitId unit) const;  // -1 when absent

  bool operator==(const WindowTemplate&) const = default;
};

// Every window of the program, in key-table order.
struct TemplateSet {
  std::vector<WindowTemplate> windows;

  WindowTemplate* Find(FormId form);
  // Turns every handler offset into an address relative to `code_base`: offset h names
  // code_base + h (so 0 names the first routine) and -1 names no handler.
  void Relocate(const uint8_t* code_base);

  bool operator==(const TemplateSet&) const = default;
};

}  // namespace forms
