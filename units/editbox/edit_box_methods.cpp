#include "units/editbox/edit_box_methods.h"

#include <algorithm>

#include "forms/forms_runtime.h"
#include "units/editbox/edit_box_unit.h"

namespace units {

namespace {

EditBoxUnit* LiveBox(forms::FormId form, forms::UnitId unit) {
  auto* box = dynamic_cast<EditBoxUnit*>(forms::FormsRuntime::Instance().UnitWindow(form, unit));
  return box != nullptr && box->IsAlive() ? box : nullptr;
}

}  // namespace

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

QString WidgetText(forms::FormId form, forms::UnitId unit) {
  const EditBoxUnit* box = LiveBox(form, unit);
  return box == nullptr ? QString() : box->Control().Text();
}

void WidgetSelection(forms::FormId form, forms::UnitId unit, int32_t* start, int32_t* end) {
  *start = *end = 0;
  if (const EditBoxUnit* box = LiveBox(form, unit)) box->Control().Selection(start, end);
}

void SelectInWidget(forms::FormId form, forms::UnitId unit, int32_t start, int32_t end) {
  if (EditBoxUnit* box = LiveBox(form, unit)) {
    const int32_t length = box->Control().Length();
    box->Control().Select(std::clamp(start, 0, length), std::clamp(end, 0, length));
  }
}

bool ReplaceTextAsEdit(forms::FormId form, forms::UnitId unit, const QString& text) {
  EditBoxUnit* box = LiveBox(form, unit);
  if (box == nullptr || box->Control().IsReadOnly()) return false;
  const QString before = box->Control().Text();
  qsizetype prefix = 0;
  const qsizetype shorter = std::min(before.size(), text.size());
  while (prefix < shorter && before[prefix] == text[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < shorter - prefix &&
         before[before.size() - 1 - suffix] == text[text.size() - 1 - suffix]) {
    ++suffix;
  }
  // A surrogate pair is never cut: the stretch grows to whole characters.
  if (prefix > 0 && text[prefix - 1].isHighSurrogate()) --prefix;
  if (suffix > 0 && text[text.size() - suffix].isLowSurrogate()) --suffix;
  if (prefix == before.size() && prefix == text.size()) return true;
  box->Control().Select(static_cast<int32_t>(prefix), static_cast<int32_t>(before.size() - suffix));
  box->Control().ReplaceSelection(text.sliced(prefix, text.size() - prefix - suffix), true);
  return true;
}

}  // namespace units
