// Loading a window from its template, re-creating a unit, and showing a loaded window.
#include <QWidget>

#include "forms/cursor_ids.h"
#include "forms/event_dispatch.h"
#include "forms/event_numbers.h"
#include "forms/forms_runtime.h"
#include "forms/menu_builder.h"
#include "platform/gui/application.h"
#include "runtime/runtime_callback.h"
#include "runtime/runtime_state.h"

namespace forms {

namespace {

constexpr uint32_t kDataSourceMessage = 0x806F;
constexpr uint32_t kLayoutMessage = 0x8004;
constexpr uint32_t kModalStartMessage = 0x8076;

// While a window loads, its events are held back.
class HeldEvents {
 public:
  HeldEvents() { runtime::RuntimeCallback(runtime::callback_code::kPumpAndRaiseNesting, 0, 0); }
  ~HeldEvents() { runtime::RuntimeCallback(runtime::callback_code::kPumpAndLowerNesting, 0, 0); }
};

struct Created {
  gui::Window* window;
  bool initially_visible;
};

uint32_t StateFlags(const runtime::DataTypeInfo* type) { return type == nullptr ? 0 : type->state_flags; }

// Extra style and initial visibility of a unit.
std::pair<uint32_t, bool> StyleOf(const UnitTemplate& unit, uint32_t class_flags,
                                  bool window_unit, bool instance) {
  uint32_t style = (unit.flags & unit_flag::kTabStop) ? unit_style::kTabStop : 0;
  if (class_flags & runtime::type_flag::kNoVisibleWindow) return {style, false};
  if (window_unit && instance) return {style, true};
  if (unit.flags & unit_flag::kDisabled) style |= unit_style::kDisabled;
  return {style, (unit.flags & unit_flag::kVisible) != 0};
}

gui::Window* CreateUnit(const FormsRuntime& forms, const UnitRecord& record, CreateParams params) {
  const UnitTemplate& unit = record.Unit();
  const runtime::DataTypeInfo* type = forms.ClassOf(unit.type);
  if (type == nullptr) return nullptr;
  const auto create =
      UnitOperation<CreateFunction>(type->get_unit_interface, unit_op::kCreate);
  if (create == nullptr) return nullptr;
  params.class_data = unit.class_data;
  params.rect = QRect(unit.left, unit.top, unit.width, unit.height);
  params.unit = record.id;
  gui::Window* created = create(params);
  return created != nullptr && created->IsAlive() ? created : nullptr;
}

// The units placed on the pages after the first of a paged container start hidden.
std::vector<UnitId> UnitsOnLaterPages(const UnitTemplate& container) {
  std::vector<UnitId> later;
  bool past_first_page = false;
  for (UnitId child : container.children) {
    if (child == 0) {
      past_first_page = true;
    } else if (past_first_page) {
      later.push_back(child);
    }
  }
  return later;
}

void ApplyCursor(UnitTemplate& unit, gui::Window& window) {
  if (auto cursor = MakeUnitCursor(unit.mouse_pointer)) {
    window.Widget()->setCursor(*cursor);
    unit.cursor = 1;
  }
}

// Places the window of record i directly behind the nearest earlier record with the same
// parent, or on top when there is none.
void PlaceInZOrder(FormsRuntime& forms, WindowTemplate& window, size_t i) {
  UnitTemplate& unit = window.units[i].Unit();
  gui::Window* live = forms.RecordWindow(unit);
  if (live == nullptr) return;
  for (size_t j = i; j-- > 1;) {
    if (window.units[j].IsMenuItem()) continue;
    const UnitTemplate& earlier = window.units[j].Unit();
    if (earlier.parent != unit.parent) continue;
    if (gui::Window* above = forms.RecordWindow(earlier)) {
      live->PlaceBehind(above);
      return;
    }
  }
  live->PlaceBehind(nullptr);
}

}  // namespace

bool FormsRuntime::LoadWindow(FormId form, bool instance, bool modal, gui::Window* owner) {
  WindowTemplate* window = templates_.Find(form);
  if (window == nullptr || window->units.empty() || window->units[0].IsMenuItem()) return false;

  // 1. A loaded window is only brought forward, unless it is marked for destruction: then
  // it goes now and a new one is loaded.
  if (!instance) {
    gui::Window* live = RecordWindow(window->units[0].Unit());
    if (live != nullptr && live->Send(kTakeDestroyMarkMessage) != 0) {
      live->Destroy();  // its destruction report clears the record's slots
      live = RecordWindow(window->units[0].Unit());
    }
    if (live != nullptr) {
      QWidget* widget = live->Widget();
      if (widget->isMinimized()) {
        widget->showNormal();
      } else {
        widget->activateWindow();
        widget->raise();
      }
      return true;
    }
  }
  // 2. The owner must be alive unless the window is modal.
  if (modal) owner = nullptr;
  if (owner != nullptr && !owner->IsAlive()) return false;

  bool loaded = false;
  gui::WindowHandle window_handle = 0;
  {
    HeldEvents held;  // 3. ... 15.
    // 4. Every load starts from the block's values.
    pristine_[form] = window->units;
    // 5. The menu bar and its accelerators.
    const BuiltMenu menu = BuildMenuBar(*window);

    // 6. The window's own unit first.
    UnitRecord& window_record = window->units[0];
    const uint32_t window_flags = StateFlags(ClassOf(window_record.Unit().type));
    CreateParams params;
    params.extra_style = StyleOf(window_record.Unit(), window_flags, true, instance).first;
    params.parent = owner;
    params.menu_bar = &menu.bar;
    params.accelerators = menu.accelerators;
    params.form = form;
    gui::Window* window_object = CreateUnit(*this, window_record, params);
    if (window_object == nullptr) {
      pristine_.erase(form);
      return false;
    }
    window_handle = window_object->Handle();
    window_record.Unit().object = static_cast<uintptr_t>(window_handle);

    // 7. The other units, from the last record down, with control ids 100, 110, ...
    std::vector<bool> visible(window->units.size(), false);
    int32_t control_id = 100;
    for (size_t i = window->units.size(); i-- > 1;) {
      if (window->units[i].IsMenuItem()) continue;
      UnitTemplate& unit = window->units[i].Unit();
      const auto [style, initially_visible] =
          StyleOf(unit, StateFlags(ClassOf(unit.type)), false, instance);
      CreateParams unit_params;
      unit_params.extra_style = style;
      unit_params.parent = window_object;
      unit_params.control_id = control_id;
      unit_params.form = form;
      gui::Window* created = CreateUnit(*this, window->units[i], unit_params);
      if (created == nullptr) {
        window_object->Destroy();
        return false;
      }
      control_id += 10;
      unit.object = static_cast<uintptr_t>(created->Handle());
      visible[i] = initially_visible;
    }

    // 9. Parenting, and units on later pages of paged containers start hidden.
    for (size_t i = 1; i < window->units.size(); ++i) {
      if (window->units[i].IsMenuItem()) continue;
      const UnitTemplate& unit = window->units[i].Unit();
      if (unit.parent == 0) continue;
      const UnitRecord* container = window->FindUnit(unit.parent);
      if (container == nullptr || container->IsMenuItem()) continue;
      gui::Window* container_window = RecordWindow(container->Unit());
      if (gui::Window* live = RecordWindow(unit); live != nullptr && container_window != nullptr) {
        live->SetParentWindow(container_window);
      }
      if (StateFlags(ClassOf(container->Unit().type)) & runtime::type_flag::kKeepsCurrentPage) {
        for (UnitId hidden : UnitsOnLaterPages(container->Unit())) {
          visible[static_cast<size_t>(window->IndexOf(hidden))] = false;
        }
      }
    }
    // 10. Z-order, 11. cursors.
    for (size_t i = 1; i < window->units.size(); ++i) {
      if (!window->units[i].IsMenuItem()) PlaceInZOrder(*this, *window, i);
    }
    for (size_t i = 0; i < window->units.size(); ++i) {
      if (window->units[i].IsMenuItem()) continue;
      if (gui::Window* live = RecordWindow(window->units[i].Unit())) {
        ApplyCursor(window->units[i].Unit(), *live);
      }
    }
    // Tab order is record order (units were created the other way round).
    QWidget* previous = nullptr;
    for (size_t i = 1; i < window->units.size(); ++i) {
      if (window->units[i].IsMenuItem()) continue;
      const UnitTemplate& unit = window->units[i].Unit();
      gui::Window* live = RecordWindow(unit);
      if (live == nullptr || (unit.flags & unit_flag::kTabStop) == 0) continue;
      if (previous != nullptr) QWidget::setTabOrder(previous, live->Widget());
      previous = live->Widget();
    }
    // 12. The private start-up messages, last record first, then the window's.
    for (size_t i = window->units.size(); i-- > 0;) {
      if (window->units[i].IsMenuItem()) continue;
      if (gui::Window* live = RecordWindow(window->units[i].Unit())) live->Send(kDataSourceMessage);
    }
    window_object->Send(kLayoutMessage);
    // 13. Show the units.
    for (size_t i = 1; i < window->units.size(); ++i) {
      if (window->units[i].IsMenuItem()) continue;
      if (gui::Window* live = RecordWindow(window->units[i].Unit())) {
        live->Show(visible[i] ? gui::ShowMode::kNoActivate : gui::ShowMode::kHide);
      }
    }
    loaded = true;
  }
  if (!loaded) return false;

  // 16. The first events, each only while the window still exists.
  for (int32_t event : {window_event::kCreated, window_event::kMoved, window_event::kResized}) {
    if (!gui::IsWindowAlive(window_handle)) return true;
    Fire(form, 0, event);
  }
  window = templates_.Find(form);
  if (window == nullptr || !gui::IsWindowAlive(window_handle)) return true;

  // 17. Show the window.
  if (modal) {
    // 18. Every other enabled top-level window waits while this one runs.
    std::vector<gui::WindowHandle> disabled;
    for (WindowTemplate& other : templates_.windows) {
      if (other.id == form || other.units.empty()) continue;
      if (gui::Window* live = RecordWindow(other.units[0].Unit()); live && live->IsEnabled()) {
        live->Enable(false);
        disabled.push_back(live->Handle());
      }
    }
    for (size_t i = window->units.size(); i-- > 0;) {
      if (window->units[i].IsMenuItem()) continue;
      if (gui::Window* live = RecordWindow(window->units[i].Unit())) live->Send(kModalStartMessage);
    }
    const FormId previous = modal_marker_;
    modal_marker_ = form;
    ShowLoadedWindow(*window);
    if (gui::Application* application = gui::Application::Instance()) {
      application->RunModalLoop([this, form] { return modal_marker_ == form; });
    }
    modal_marker_ = previous;
    for (gui::WindowHandle handle : disabled) {
      if (gui::Window* live = gui::Window::FromHandle(handle)) live->Enable(true);
    }
    return true;
  }
  if (window->units[0].Unit().flags & unit_flag::kVisible) ShowLoadedWindow(*window);
  return true;
}

void FormsRuntime::ShowLoadedWindow(WindowTemplate& window) {
  gui::Window* live = RecordWindow(window.units[0].Unit());
  if (live == nullptr) return;
  // The window class knows its start state (normal, minimised, maximised).
  live->Send(kShowLoadedWindowMessage);
  if (!live->IsAlive()) return;
  // The unit that has the focus hears about it.
  QWidget* focused = live->Widget()->focusWidget();
  if (focused == nullptr) return;
  gui::Window* focus_window = gui::Window::FromObject(focused);
  for (const UnitRecord& record : window.units) {
    if (record.IsMenuItem()) continue;
    if (RecordWindow(record.Unit()) == focus_window) {
      Fire(window.id, record.id == kWindowUnitId ? 0 : record.id, common_event::kFocusGained);
      return;
    }
  }
}

void FormsRuntime::RecreateUnit(WindowTemplate& window, int32_t record_index) {
  UnitRecord& record = window.units[static_cast<size_t>(record_index)];
  if (record.IsMenuItem()) return;
  UnitTemplate& unit = record.Unit();
  const runtime::DataTypeInfo* type = ClassOf(unit.type);
  gui::Window* old = RecordWindow(unit);
  if (type == nullptr || old == nullptr || (type->state_flags & runtime::type_flag::kNeverRecreated)) return;
  const bool had_focus = old->HasFocus();
  const auto create = UnitOperation<CreateFunction>(type->get_unit_interface, unit_op::kCreate);
  const auto save = UnitOperation<SaveStateFunction>(type->get_unit_interface, unit_op::kSaveState);
  if (create == nullptr || save == nullptr) return;
  const std::optional<std::vector<uint8_t>> state = save(old);
  if (!state) return;

  CreateParams params;
  params.class_data = *state;
  params.extra_style = (unit.flags & unit_flag::kTabStop) ? unit_style::kTabStop : 0;
  if (!old->IsEnabled()) params.extra_style |= unit_style::kDisabled;
  params.parent = old->Parent();
  params.rect = old->Rect();
  params.form = window.id;
  params.unit = record.id;
  gui::Window* fresh = create(params);
  if (fresh == nullptr || !fresh->IsAlive()) return;
  if (type->state_flags & runtime::type_flag::kRecreateMovesChildren) {
    for (gui::Window* child : old->Children()) child->SetParentWindow(fresh);
  }
  const bool was_visible = old->IsVisible();
  unit.object = static_cast<uintptr_t>(fresh->Handle());
  PlaceInZOrder(*this, window, static_cast<size_t>(record_index));
  fresh->Send(kDataSourceMessage);
  fresh->Send(kModalStartMessage);
  if ((type->state_flags & runtime::type_flag::kCreationNotifiesParent) && fresh->Parent() != nullptr) {
    fresh->Parent()->Send(kLayoutMessage);
  }
  if (was_visible) fresh->Show(gui::ShowMode::kNoActivate);
  old->Destroy();  // its destruction report clears the record's slots
  unit.object = static_cast<uintptr_t>(fresh->Handle());
  ApplyCursor(unit, *fresh);
  if (had_focus) fresh->SetFocus();
}

}  // namespace forms
