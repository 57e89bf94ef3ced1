#include "tests/forms/test_program.h"

#include <algorithm>

#include "forms/forms_runtime.h"
#include "tests/forms/fixture_units.h"
#include "tests/support/program_image_maker.h"

extern const unsigned char test_window_block[];
extern const int test_window_block_size;

namespace test_program {

namespace {

runtime::HandlerResult Record(const std::string& entry) {
  Log().push_back(entry);
  return {};
}
runtime::HandlerResult Value(const std::string& entry, int64_t value) {
  Log().push_back(entry);
  return {true, value};
}

runtime::HandlerResult OnCreated(const int32_t*, int32_t) { return Record("Created"); }
runtime::HandlerResult OnMoved(const int32_t*, int32_t) { return Record("Moved"); }
runtime::HandlerResult OnResized(const int32_t*, int32_t) { return Record("Resized"); }
runtime::HandlerResult OnCloseQuery(const int32_t*, int32_t) {
  return Value("CloseQuery", Answer().close_query);
}
runtime::HandlerResult OnDestroying(const int32_t*, int32_t) { return Record("Destroying"); }
runtime::HandlerResult OnIdle(const int32_t*, int32_t) { return Value("Idle", Answer().idle_more); }
runtime::HandlerResult OnCharInput(const int32_t* args, int32_t) {
  if (args[0] == 'x') return Value("CharInput", 0);
  if (args[0] == 'a') return Value("CharInput", 65);
  return Record("CharInput");
}
runtime::HandlerResult OnKeyDown(const int32_t* args, int32_t) {
  return Record("KeyDown " + std::to_string(args[0]) + " " + std::to_string(args[1]));
}
runtime::HandlerResult OnButtonClicked(const int32_t*, int32_t) { return Record("Clicked"); }
runtime::HandlerResult OnTimerTick(const int32_t*, int32_t) { return Record("Tick"); }
runtime::HandlerResult OnMenuSelected(const int32_t*, int32_t) {
  char unit[16];
  std::snprintf(unit, sizeof unit, "%08X", forms::FormsRuntime::Instance().CurrentEventSource().unit);
  return Record(std::string("Selected ") + unit);
}
runtime::HandlerResult OnActivated(const int32_t*, int32_t) { return Record("Activated"); }
runtime::HandlerResult OnFocusGained(const int32_t*, int32_t) { return Record("FocusGained"); }

// In the order of data/test_routines.txt.
const runtime::EventHandler kRoutines[] = {
    OnCreated,  OnMoved,     OnResized,       OnCloseQuery, OnDestroying,   OnIdle,      OnCharInput,
    OnKeyDown,  OnButtonClicked, OnTimerTick, OnMenuSelected, OnActivated, OnFocusGained,
};

}  // namespace

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

int Count(const std::string& entry) {
  return static_cast<int>(std::count(Log().begin(), Log().end(), entry));
}

Answers& Answer() {
  static Answers answers;
  return answers;
}

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image = unit_tests::MakeImage(
      kRoutines, test_window_block, test_window_block_size, fixtures::FixtureLibraryTable());
  return image;
}

}  // namespace test_program
