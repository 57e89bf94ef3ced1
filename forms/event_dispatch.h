#pragma once

#include <cstdint>
#include <initializer_list>

#include "forms/form_ids.h"
#include "runtime/arg_cell.h"

namespace forms {

// The record a unit fills to raise an event through code 2008: up to five 32-bit
// arguments; the handler's value comes back in `result` with `has_result` set to 1.
struct EventRecord {
  FormId form = 0;
  UnitId unit = 0;  // 0 for the window's own unit
  int32_t event = 0;
  int32_t count = 0;
  int32_t args[5] = {};
  int32_t has_result = 0;
  int32_t result = 0;
};

// The same for code 2031: up to twelve typed arguments and an 8-byte result.
struct TypedEventArgument {
  uint32_t low = 0;
  uint32_t high = 0;
  runtime::TypeCode type = 0;
  uint32_t flags = 0;  // bit 0: pass the low word only; bit 1: pass both words
};

struct TypedEventRecord {
  FormId form = 0;
  UnitId unit = 0;
  int32_t event = 0;
  int32_t count = 0;
  TypedEventArgument args[12] = {};
  int32_t has_result = 0;
  int64_t result = 0;
};

// Fires the event: 1 when a handler ran, 0 when none is bound or events are held back.
int32_t FireEvent(EventRecord& record);
int32_t FireTypedEvent(TypedEventRecord& record);

// Convenience for units: fires `event` of (form, unit) with integer arguments and gives
// the handler's value, if it returned one.
struct EventOutcome {
  bool handled = false;    // a handler ran
  bool has_value = false;  // and returned a value
  int32_t value = 0;
};
EventOutcome Fire(FormId form, UnitId unit, int32_t event, std::initializer_list<int32_t> args = {});

}  // namespace forms
