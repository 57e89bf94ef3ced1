#include "units/window/popup_menu.h"

#include <QCursor>

#include "forms/event_dispatch.h"
#include "forms/forms_runtime.h"
#include "forms/menu_builder.h"

namespace units {

void PopupMenu(forms::FormId form, forms::UnitId menu, std::optional<int32_t> x,
               std::optional<int32_t> y) {
  forms::WindowTemplate* window = forms::FormsRuntime::Instance().Templates().Find(form);
  if (window == nullptr) return;
  const int32_t index = window->IndexOf(menu);
  if (index < 0 || !window->units[static_cast<size_t>(index)].IsMenuItem()) return;
  const QPoint cursor = QCursor::pos() + QPoint(3, 3);
  const QPoint at(x.value_or(cursor.x()), y.value_or(cursor.y()));
  const uint32_t command = gui::TrackPopupMenu(forms::BuildPopupMenu(*window, index), at);
  // The menu ran its own loop: the window may have gone meanwhile.
  window = forms::FormsRuntime::Instance().Templates().Find(form);
  if (command == 0 || window == nullptr) return;
  const int32_t chosen = forms::MenuRecordOfCommand(*window, command);
  if (chosen >= 0) forms::Fire(form, window->units[static_cast<size_t>(chosen)].id, 0);
}

}  // namespace units
