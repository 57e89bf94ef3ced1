#pragma once

#include <cstdint>
#include <vector>

#include "forms/window_template.h"
#include "platform/gui/menu.h"

namespace forms {

// Menu items are numbered by command: 20000 plus the item's position among the window's
// menu records (hidden items keep their numbers, so the others never move).
inline constexpr uint32_t kMenuCommandBase = 20000;
inline constexpr uint32_t kMenuCommandEnd = 57600;

struct BuiltMenu {
  std::vector<gui::MenuEntry> bar;
  std::vector<gui::Accelerator> accelerators;
};

// The window's menu bar (top-level items without the hidden flag, with their sub-items)
// and the accelerators of every item that has a shortcut.
BuiltMenu BuildMenuBar(const WindowTemplate& window);

// The pop-up made of the sub-items of the menu record at `record_index`.
std::vector<gui::MenuEntry> BuildPopupMenu(const WindowTemplate& window, int32_t record_index);

// The record index of the item a command names, or -1.
int32_t MenuRecordOfCommand(const WindowTemplate& window, uint64_t command);

}  // namespace forms
