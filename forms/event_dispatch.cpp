#include "forms/event_dispatch.h"

#include <algorithm>
#include <vector>

#include "forms/forms_runtime.h"
#include "runtime/error_report.h"
#include "runtime/gbk_literal.h"
#include "runtime/runtime_state.h"

namespace forms {

namespace {

// The handler bound to `event` of (form, unit), or 0. Events are held back while the
// runtime's nesting counter is raised (a load, a re-creation, an error report).
uintptr_t FindHandler(FormId form, UnitId unit, int32_t event) {
  if (runtime::Runtime().nesting >= 1) return 0;
  FormsRuntime& forms = FormsRuntime::Instance();
  WindowTemplate* window = forms.Templates().Find(form);
  if (window == nullptr) runtime::ReportError(runtime::Gbk("未找到引发事件的窗口"));
  UnitRecord* record = window->FindUnit(unit);
  if (record == nullptr) runtime::ReportError(runtime::Gbk("未找到引发事件的窗口组件"));

  uintptr_t handler = 0;
  if (record->IsMenuItem()) {
    handler = record->MenuItem().selected.handler;
  } else {
    // Event sharing: a unit may use the bindings of another unit of its class.
    const UnitTemplate* bindings = &record->Unit();
    for (int hops = 0; bindings->event_source != 0 && hops < 64; ++hops) {
      const UnitRecord* source = window->FindUnit(bindings->event_source);
      if (source == nullptr || source->IsMenuItem() || source->Unit().type != bindings->type) break;
      bindings = &source->Unit();
    }
    const runtime::DataTypeInfo* type = forms.ClassOf(bindings->type);
    if (type == nullptr || (type->state_flags & (runtime::type_flag::kMenuClass | runtime::type_flag::kWindowClass)) == 0) {
      runtime::ReportError(runtime::Gbk("引发事件的窗口组件无效"));
    }
    for (const EventBinding& binding : bindings->events) {
      if (binding.event == event) {
        handler = binding.handler;
        break;
      }
    }
  }
  if (handler == 0) return 0;
  forms.CurrentEventSource() = {form, unit == 0 ? record->id : unit};
  return handler;
}

runtime::HandlerResult Call(uintptr_t handler, const std::vector<int32_t>& words) {
  const auto function = *reinterpret_cast<const runtime::EventHandler*>(handler);
  return function(words.data(), static_cast<int32_t>(words.size()));
}

bool PassesBothWords(const TypedEventArgument& argument) {
  if (argument.flags & 1) return false;
  if ((argument.flags & 2) || argument.type == 0x00010003) return true;
  switch (argument.type) {
    case runtime::kDateTime:
    case runtime::kSubStatement:
    case runtime::kLong:
    case runtime::kDouble: return true;
    default: return false;
  }
}

int32_t LowWordOf(const TypedEventArgument& argument) {
  if (argument.flags & 3) return static_cast<int32_t>(argument.low);
  if (argument.type == runtime::kByte) return static_cast<uint8_t>(argument.low);
  if (argument.type == runtime::kShort) return static_cast<int16_t>(argument.low);
  return static_cast<int32_t>(argument.low);
}

}  // namespace

int32_t FireEvent(EventRecord& record) {
  const uintptr_t handler = FindHandler(record.form, record.unit, record.event);
  if (handler == 0) return 0;
  const int32_t count = std::clamp(record.count, 0, 5);
  const runtime::HandlerResult result =
      Call(handler, std::vector<int32_t>(record.args, record.args + count));
  if (result.has_value) {
    record.has_result = 1;
    record.result = static_cast<int32_t>(result.value);
  }
  FormsRuntime::Instance().CurrentEventSource().form = 0;
  return 1;
}

int32_t FireTypedEvent(TypedEventRecord& record) {
  const uintptr_t handler = FindHandler(record.form, record.unit, record.event);
  if (handler == 0) return 0;
  std::vector<int32_t> words;
  for (int32_t i = 0; i < std::clamp(record.count, 0, 12); ++i) {
    const TypedEventArgument& argument = record.args[i];
    words.push_back(LowWordOf(argument));
    if (PassesBothWords(argument)) words.push_back(static_cast<int32_t>(argument.high));
  }
  const runtime::HandlerResult result = Call(handler, words);
  if (result.has_value) {
    record.has_result = 1;
    record.result = result.value;
  }
  FormsRuntime::Instance().CurrentEventSource().form = 0;
  return 1;
}

EventOutcome Fire(FormId form, UnitId unit, int32_t event, std::initializer_list<int32_t> args) {
  EventRecord record;
  record.form = form;
  record.unit = unit;
  record.event = event;
  for (int32_t argument : args) {
    if (record.count < 5) record.args[record.count++] = argument;
  }
  EventOutcome outcome;
  outcome.handled = FireEvent(record) != 0;
  outcome.has_value = record.has_result != 0;
  outcome.value = record.result;
  return outcome;
}

}  // namespace forms
