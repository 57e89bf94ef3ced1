#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "forms/unit_interface.h"
#include "forms/window_template.h"
#include "runtime/forms_host.h"
#include "runtime/program_image.h"

namespace forms {

// The form machinery of the running program: the window templates, the windows loaded
// from them, property access of units and the events they raise. One per process; the
// runtime reaches it as its FormsHost.
//
// A record's object slot holds the handle of the unit's window object while the window
// is loaded, so a unit destroyed by a handler is never reached through a stale pointer.
class FormsRuntime : public runtime::FormsHost {
 public:
  static FormsRuntime& Instance();

  // runtime::FormsHost
  bool LoadTemplateBlock(const uint8_t* block, int32_t size, const uint8_t* code_base) override;
  int32_t TemplateCount() override { return static_cast<int32_t>(templates_.windows.size()); }
  intptr_t TemplateSet() override { return reinterpret_cast<intptr_t>(&templates_); }
  bool LoadStartupWindow(FormId form) override { return LoadWindow(form, false, false, nullptr); }
  bool AnyWindowAlive() override;
  void ReleaseAllTemplates() override;
  void ResetWindowIdle() override { idled_.clear(); }
  bool IdleWindows(uint32_t elapsed_ms) override;
  runtime::ArgCell ReadUnitProperty(FormId form, UnitId unit, int32_t property,
                                    int32_t element) override;
  void WriteUnitProperty(FormId form, UnitId unit, int32_t property, int32_t element,
                         const runtime::ArgCell& value) override;
  intptr_t CallUnitMethod(const intptr_t (&values)[6]) override;
  std::optional<intptr_t> Callback(int32_t code, intptr_t p1, intptr_t p2) override;

  // Templates, for tests and tools that build them in memory.
  forms::TemplateSet& Templates() { return templates_; }
  void SetTemplates(forms::TemplateSet templates) { templates_ = std::move(templates); }

  // Loading (form_loader.cpp).
  bool LoadWindow(FormId form, bool instance, bool modal, gui::Window* owner);
  void RecreateUnit(WindowTemplate& window, int32_t record_index);
  void ShowLoadedWindow(WindowTemplate& window);

  // A unit or the window (unit 0 or the window's own id) was destroyed.
  void UnitDestroyed(FormId form, UnitId unit);

  // The live window object of a unit, or null.
  gui::Window* UnitWindow(FormId form, UnitId unit);
  gui::Window* RecordWindow(const UnitTemplate& unit) const;
  // The class of a unit record, or null.
  const runtime::DataTypeInfo* ClassOf(runtime::TypeRef type) const;
  // The menu of `window` rebuilt from its records.
  void RebuildMenu(WindowTemplate& window);

  // The unit whose handler runs now.
  struct EventSource {
    FormId form = 0;
    UnitId unit = 0;
  };
  EventSource& CurrentEventSource() { return event_source_; }

  // Forget everything (tests that run several programs in one process).
  void Reset();

 private:
  forms::TemplateSet templates_;
  // While a window is loaded: the table of its template as the block had it, put back
  // when the window goes so that every load starts from the block's values.
  std::map<FormId, std::vector<UnitRecord>> pristine_;
  FormId modal_marker_ = 0;
  std::vector<FormId> idled_;
  EventSource event_source_;
};

}  // namespace forms
