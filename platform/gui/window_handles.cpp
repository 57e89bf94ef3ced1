#include "platform/gui/window_handles.h"

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <unordered_map>

namespace gui {

namespace {
struct Registered {
  QPointer<QWidget> widget;
  Window* window;
};

struct HandleTable {
  std::unordered_map<WindowHandle, Registered> windows;
  WindowHandle last = 0;
};

// Never destroyed: widgets that outlive static destruction still unregister safely.
HandleTable& Table() {
  static auto* table = new HandleTable;
  return *table;
}
}  // namespace

WindowHandle RegisterWindow(QWidget* widget, Window* window) {
  HandleTable& table = Table();
  const WindowHandle handle = ++table.last;
  table.windows.emplace(handle, Registered{widget, window});
  QObject::connect(widget, &QObject::destroyed, [handle] { Table().windows.erase(handle); });
  return handle;
}

void UnregisterWindow(WindowHandle handle) { Table().windows.erase(handle); }

QWidget* FindWindow(WindowHandle handle) {
  const HandleTable& table = Table();
  const auto found = table.windows.find(handle);
  return found == table.windows.end() ? nullptr : found->second.widget.data();
}

Window* FindWindowObject(WindowHandle handle) {
  const HandleTable& table = Table();
  const auto found = table.windows.find(handle);
  if (found == table.windows.end() || found->second.widget.isNull()) return nullptr;
  return found->second.window;
}

}  // namespace gui
