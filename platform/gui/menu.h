#pragma once

#include <QPoint>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QWidget;

namespace gui {

// One entry of a menu as the window system shows it.
struct MenuEntry {
  QString caption;        // shown text; "\t" then the shortcut's name when it has one
  uint32_t command = 0;   // sent as kCommand when chosen
  bool separator = false;
  bool checked = false;
  bool disabled = false;
  std::vector<MenuEntry> entries;  // a pop-up of its own when not empty
};

// Fills `menu` with `entries`; choosing an entry calls `on_command` with its command.
void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries,
              const std::function<void(uint32_t)>& on_command);

// Shows a pop-up menu at a screen position and waits for the choice: the chosen entry's
// command, or 0 when the menu was dismissed.
uint32_t TrackPopupMenu(const std::vector<MenuEntry>& entries, const QPoint& global);

// Modifier bits of an accelerator and the key it answers.
struct Accelerator {
  uint32_t modifiers;  // 0x04 Shift, 0x08 Ctrl, 0x10 Alt
  int32_t virtual_key;
  uint32_t command;
};

}  // namespace gui
