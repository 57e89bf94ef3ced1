#include "units/editbox/edit_box_methods.h"

#include "forms/forms_runtime.h"
#include "units/editbox/edit_box_unit.h"

namespace units {

void AppendText(forms::FormId form, forms::UnitId unit, std::span<const std::string> texts) {
  for (const std::string& text : texts) {
    // Found anew each time: the change handler of the previous text may have destroyed it.
    auto* box = dynamic_cast<EditBoxUnit*>(forms::FormsRuntime::Instance().UnitWindow(form, unit));
    if (box == nullptr || !box->IsAlive()) return;
    box->AppendText(text);
  }
}

int64_t MeasureContent(forms::FormId form, forms::UnitId unit, GbkMeasure measure) {
  auto* box = dynamic_cast<EditBoxUnit*>(forms::FormsRuntime::Instance().UnitWindow(form, unit));
  if (box == nullptr || !box->IsAlive()) return measure({});
  return box->MeasureContent(measure);
}

}  // namespace units
