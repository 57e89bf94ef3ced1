#include "platform/gui/menu.h"

#include <QAction>
#include <QMenu>

namespace gui {

void FillMenu(QMenu& menu, const std::vector<MenuEntry>& entries,
              const std::function<void(uint32_t)>& on_command) {
  for (const MenuEntry& entry : entries) {
    if (entry.separator) {
      menu.addSeparator();
      continue;
    }
    if (!entry.entries.empty()) {
      QMenu* sub = menu.addMenu(entry.caption);
      sub->setEnabled(!entry.disabled);
      FillMenu(*sub, entry.entries, on_command);
      continue;
    }
    QAction* action = menu.addAction(entry.caption);
    action->setCheckable(entry.checked);
    action->setChecked(entry.checked);
    action->setEnabled(!entry.disabled);
    const uint32_t command = entry.command;
    QObject::connect(action, &QAction::triggered, [on_command, command] { on_command(command); });
  }
}

uint32_t TrackPopupMenu(const std::vector<MenuEntry>& entries, const QPoint& global) {
  QMenu menu;
  uint32_t chosen = 0;
  FillMenu(menu, entries, [&chosen](uint32_t command) { chosen = command; });
  menu.exec(global);
  return chosen;
}

}  // namespace gui
