#include "forms/forms_runtime.h"

#include <algorithm>

#include "forms/event_dispatch.h"
#include "forms/template_block.h"
#include "runtime/error_report.h"
#include "runtime/runtime_callback.h"
#include "runtime/runtime_state.h"
#include "runtime/type_lookup.h"

namespace forms {

namespace {
constexpr int32_t kWindowIdleEvent = 7;
}

FormsRuntime& FormsRuntime::Instance() {
  static auto* instance = new FormsRuntime;
  return *instance;
}

void FormsRuntime::Reset() {
  templates_ = {};
  pristine_.clear();
  modal_marker_ = 0;
  idled_.clear();
  event_source_ = {};
}

bool FormsRuntime::LoadTemplateBlock(const uint8_t* block, int32_t size,
                                     const uint8_t* code_base) {
  auto templates = ReadTemplateBlock({block, static_cast<size_t>(size)});
  if (!templates) return false;
  templates->Relocate(code_base);
  templates_ = std::move(*templates);
  return true;
}

gui::Window* FormsRuntime::RecordWindow(const UnitTemplate& unit) const {
  gui::Window* window = gui::Window::FromHandle(static_cast<gui::WindowHandle>(unit.object));
  return window != nullptr && window->IsAlive() ? window : nullptr;
}

gui::Window* FormsRuntime::UnitWindow(FormId form, UnitId unit) {
  WindowTemplate* window = templates_.Find(form);
  if (window == nullptr) return nullptr;
  UnitRecord* record = window->FindUnit(unit);
  if (record == nullptr || record->IsMenuItem()) return nullptr;
  return RecordWindow(record->Unit());
}

const runtime::DataTypeInfo* FormsRuntime::ClassOf(runtime::TypeRef type) const {
  const runtime::ProgramImage* image = runtime::Runtime().image;
  return image == nullptr ? nullptr : runtime::FindDataType(*image, type);
}

bool FormsRuntime::AnyWindowAlive() {
  for (const WindowTemplate& window : templates_.windows) {
    if (!window.units.empty() && RecordWindow(window.units[0].Unit()) != nullptr) return true;
  }
  return false;
}

void FormsRuntime::ReleaseAllTemplates() {
  for (WindowTemplate& window : templates_.windows) {
    if (window.units.empty()) continue;
    if (gui::Window* live = RecordWindow(window.units[0].Unit())) live->Destroy();
  }
}

bool FormsRuntime::IdleWindows(uint32_t elapsed_ms) {
  bool more = false;
  for (const WindowTemplate& window : templates_.windows) {
    if (window.units.empty() || RecordWindow(window.units[0].Unit()) == nullptr) continue;
    if (std::find(idled_.begin(), idled_.end(), window.id) != idled_.end()) continue;
    const EventOutcome outcome =
        Fire(window.id, 0, kWindowIdleEvent, {static_cast<int32_t>(elapsed_ms)});
    if (outcome.has_value && outcome.value != 0) {
      more = true;
    } else {
      idled_.push_back(window.id);
    }
  }
  return more;
}

void FormsRuntime::UnitDestroyed(FormId form, UnitId unit) {
  WindowTemplate* window = templates_.Find(form);
  if (window == nullptr) return;
  const bool whole_window = unit == 0 || unit == kWindowUnitId;
  if (!whole_window) {
    if (UnitRecord* record = window->FindUnit(unit); record != nullptr && !record->IsMenuItem()) {
      record->Unit().cursor = 0;
      record->Unit().object = 0;
    }
    return;
  }
  // The next load starts from the block's values again.
  if (auto pristine = pristine_.find(form); pristine != pristine_.end()) {
    window->units = std::move(pristine->second);
    pristine_.erase(pristine);
  } else if (!window->units.empty()) {
    window->units[0].Unit().object = 0;
  }
  if (modal_marker_ == form) modal_marker_ = 0;
  runtime::RuntimeState& state = runtime::Runtime();
  if (!AnyWindowAlive() && state.loop_started && state.ui != nullptr) {
    state.ui->PostQuitMessage(0);
  }
}

intptr_t FormsRuntime::CallUnitMethod(const intptr_t (&)[6]) {
  // No class of this program declares methods of its own.
  return 0;
}

std::optional<intptr_t> FormsRuntime::Callback(int32_t code, intptr_t p1, intptr_t p2) {
  switch (code) {
    case runtime::callback_code::kUnitDestroyed:
      UnitDestroyed(static_cast<FormId>(p1), static_cast<UnitId>(p2));
      return 0;
    case runtime::callback_code::kFindUnit:
    case runtime::callback_code::kFindUnitOrReport: {
      gui::Window* window = UnitWindow(static_cast<FormId>(p1), static_cast<UnitId>(p2));
      if (window == nullptr && code == runtime::callback_code::kFindUnitOrReport) {
        runtime::ReportError(runtime::error_text::UnitNotFound());
      }
      return reinterpret_cast<intptr_t>(window);
    }
    case runtime::callback_code::kFireEvent:
      return FireEvent(*reinterpret_cast<EventRecord*>(p1));
    case runtime::callback_code::kFireEventShared:
      return FireTypedEvent(*reinterpret_cast<TypedEventRecord*>(p1));
    default: return std::nullopt;
  }
}

}  // namespace forms
