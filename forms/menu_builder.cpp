#include "forms/menu_builder.h"

#include "forms/shortcut_keys.h"
#include "platform/core/code_page.h"

namespace forms {

namespace {

// A menu record with its command and record index.
struct Item {
  const MenuItemTemplate* item;
  uint32_t command;
  int32_t record_index;
};

std::vector<Item> MenuItems(const WindowTemplate& window) {
  std::vector<Item> items;
  for (size_t i = 0; i < window.units.size(); ++i) {
    if (!window.units[i].IsMenuItem()) continue;
    items.push_back({&window.units[i].MenuItem(),
                     kMenuCommandBase + static_cast<uint32_t>(items.size()),
                     static_cast<int32_t>(i)});
  }
  return items;
}

gui::MenuEntry EntryOf(const Item& item) {
  gui::MenuEntry entry;
  const MenuItemTemplate& menu = *item.item;
  if (menu.caption == "-") {
    entry.separator = true;
    return entry;
  }
  entry.caption = QString::fromStdU16String(platform::GbkToUtf16(menu.caption));
  if (auto shortcut = ShortcutKeyAt(menu.shortcut)) {
    entry.caption += "\t" + QString::fromStdString(shortcut->name);
  }
  entry.command = item.command;
  entry.checked = (menu.flags & menu_flag::kChecked) != 0;
  entry.disabled = (menu.flags & menu_flag::kDisabled) != 0;
  return entry;
}

// The entries of the items that follow `position` at a deeper level than `level`;
// `position` ends after them.
std::vector<gui::MenuEntry> SubEntries(const std::vector<Item>& items, size_t& position,
                                       int32_t level) {
  std::vector<gui::MenuEntry> entries;
  while (position < items.size() && items[position].item->level > level) {
    const Item& item = items[position++];
    gui::MenuEntry entry = EntryOf(item);
    entry.entries = SubEntries(items, position, item.item->level);
    if ((item.item->flags & menu_flag::kHidden) == 0) entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

BuiltMenu BuildMenuBar(const WindowTemplate& window) {
  BuiltMenu built;
  const std::vector<Item> items = MenuItems(window);
  for (size_t position = 0; position < items.size();) {
    const Item& item = items[position++];
    gui::MenuEntry entry = EntryOf(item);
    entry.entries = SubEntries(items, position, item.item->level);
    if ((item.item->flags & menu_flag::kHidden) == 0) built.bar.push_back(std::move(entry));
  }
  for (const Item& item : items) {
    if (auto shortcut = ShortcutKeyAt(item.item->shortcut)) {
      built.accelerators.push_back({shortcut->modifiers, shortcut->virtual_key, item.command});
    }
  }
  return built;
}

std::vector<gui::MenuEntry> BuildPopupMenu(const WindowTemplate& window, int32_t record_index) {
  const std::vector<Item> items = MenuItems(window);
  for (size_t position = 0; position < items.size(); ++position) {
    if (items[position].record_index != record_index) continue;
    const int32_t level = items[position].item->level;
    ++position;
    return SubEntries(items, position, level);
  }
  return {};
}

int32_t MenuRecordOfCommand(const WindowTemplate& window, uint64_t command) {
  if (command < kMenuCommandBase || command >= kMenuCommandEnd) return -1;
  const std::vector<Item> items = MenuItems(window);
  const uint64_t position = command - kMenuCommandBase;
  return position < items.size() ? items[position].record_index : -1;
}

}  // namespace forms
