#include "runtime/runtime_callback.h"

#include <algorithm>

#include "runtime/allocator.h"
#include "runtime/cell_values.h"
#include "runtime/error_report.h"
#include "runtime/runtime_state.h"
#include "runtime/shutdown.h"
#include "runtime/type_lookup.h"

namespace runtime {

namespace {

void AddIdleCallback(const intptr_t* entry) {
  RuntimeState& state = Runtime();
  const IdleEntry added{entry[0], reinterpret_cast<IdleCallback>(entry[1]), entry[2]};
  if (added.callback == nullptr || state.ui == nullptr || !state.ui->IsWindowAlive(added.window)) {
    return;
  }
  std::lock_guard guard(state.lock);
  const bool registered =
      std::any_of(state.idle_entries.begin(), state.idle_entries.end(),
                  [&](const IdleEntry& e) { return e.window == added.window; });
  if (!registered) state.idle_entries.push_back(added);
}

void RemoveIdleCallback(intptr_t window) {
  RuntimeState& state = Runtime();
  std::lock_guard guard(state.lock);
  std::erase_if(state.idle_entries, [&](const IdleEntry& e) { return e.window == window; });
}

void PumpMessages() {
  if (UserInterface* ui = Runtime().ui) ui->PumpWaitingMessages();
}

intptr_t LookUpDataType(intptr_t ref) {
  const RuntimeState& state = Runtime();
  if (state.image == nullptr) return 0;
  return reinterpret_cast<intptr_t>(FindDataType(*state.image, static_cast<TypeRef>(ref)));
}

}  // namespace

intptr_t RuntimeCallback(int32_t code, intptr_t p1, intptr_t p2) {
  RuntimeState& state = Runtime();
  switch (code) {
    case callback_code::kFindDataType:
    case callback_code::kLookUpDataType: return LookUpDataType(p1);
    case callback_code::kAddIdleCallback:
      AddIdleCallback(reinterpret_cast<const intptr_t*>(p1));
      return 0;
    case callback_code::kRemoveIdleCallback: RemoveIdleCallback(p1); return 0;
    case callback_code::kCellToInt: return CellToInt32(*reinterpret_cast<const ArgCell*>(p1));
    case callback_code::kProgramDirectory:
      return reinterpret_cast<intptr_t>(state.program_directory.c_str());
    case callback_code::kProgramFileName:
      return reinterpret_cast<intptr_t>(state.program_file_name.c_str());
    case callback_code::kPumpAndRaiseNesting:
      PumpMessages();
      ++state.nesting;
      return 0;
    case callback_code::kPumpAndLowerNesting:
      PumpMessages();
      if (state.nesting > 0) --state.nesting;
      return 0;
    case callback_code::kPumpMessages: PumpMessages(); return 0;
    case callback_code::kAlloc: {
      const auto count = static_cast<int32_t>(p1);
      return reinterpret_cast<intptr_t>(p2 != 0 ? TryAllocBlock(count) : AllocBlock(count));
    }
    case callback_code::kFree: FreeBlock(reinterpret_cast<void*>(p1)); return 0;
    case callback_code::kRealloc:
      return reinterpret_cast<intptr_t>(
          ReallocBlock(reinterpret_cast<void*>(p1), static_cast<int32_t>(p2)));
    case callback_code::kReportError: {
      const auto* text = reinterpret_cast<const char*>(p1);
      ReportError(text != nullptr ? text : "");
    }
    case callback_code::kEndProgram: EndProgram(static_cast<int32_t>(p1)); return 0;
    case callback_code::kImageKind: return state.image_kind;
    case callback_code::kTemplateSet:
      return state.forms != nullptr ? state.forms->TemplateSet() : 0;
    case callback_code::kTemplateCount:
      return state.forms != nullptr ? state.forms->TemplateCount() : 0;
    default: break;
  }
  const bool in_range = (code >= 1000 && code <= 1014) || (code >= 2000 && code <= 2040);
  if (!in_range) return 0;
  if (state.forms != nullptr) return state.forms->Callback(code, p1, p2).value_or(0);
  // Without a forms layer no window or unit exists.
  if (code == callback_code::kFindUnitOrReport) ReportError(error_text::UnitNotFound());
  return 0;
}

}  // namespace runtime
