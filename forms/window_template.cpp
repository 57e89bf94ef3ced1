#include "forms/window_template.h"

namespace forms {

int32_t WindowTemplate::IndexOf(UnitId unit) const {
  if (unit == 0) return units.empty() ? -1 : 0;
  for (size_t i = 0; i < units.size(); ++i) {
    if (units[i].id == unit) return static_cast<int32_t>(i);
  }
  return -1;
}

UnitRecord* WindowTemplate::FindUnit(UnitId unit) {
  const int32_t index = IndexOf(unit);
  return index < 0 ? nullptr : &units[static_cast<size_t>(index)];
}

const UnitRecord* WindowTemplate::FindUnit(UnitId unit) const {
  const int32_t index = IndexOf(unit);
  return index < 0 ? nullptr : &units[static_cast<size_t>(index)];
}

WindowTemplate* TemplateSet::Find(FormId form) {
  for (WindowTemplate& window : windows) {
    if (window.id == form) return &window;
  }
  return nullptr;
}

namespace {
void RelocateBinding(EventBinding& binding, const uint8_t* code_base) {
  binding.handler = binding.handler_offset == -1
                        ? 0
                        : reinterpret_cast<uintptr_t>(code_base) +
                              static_cast<uintptr_t>(static_cast<intptr_t>(binding.handler_offset));
}
}  // namespace

void TemplateSet::Relocate(const uint8_t* code_base) {
  for (WindowTemplate& window : windows) {
    for (UnitRecord& record : window.units) {
      if (record.IsMenuItem()) {
        RelocateBinding(record.MenuItem().selected, code_base);
      } else {
        for (EventBinding& binding : record.Unit().events) RelocateBinding(binding, code_base);
      }
    }
  }
}

}  // namespace forms
