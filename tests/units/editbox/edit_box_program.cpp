#include "tests/units/editbox/edit_box_program.h"

#include <algorithm>
#include <cstdio>

#include "forms/forms_runtime.h"
#include "tests/forms/fixture_units.h"
#include "tests/support/program_image_maker.h"

extern const unsigned char edit_box_window_block[];
extern const int edit_box_window_block_size;

namespace edit_box_program {

namespace {

uint32_t SourceUnit() { return forms::FormsRuntime::Instance().CurrentEventSource().unit; }

runtime::HandlerResult Record(const std::string& name, const std::string& suffix = "") {
  char unit[16];
  std::snprintf(unit, sizeof unit, "%08X", SourceUnit());
  Log().push_back(name + " " + unit + suffix);
  return {};
}

runtime::HandlerResult OnContentChangedRoutine(const int32_t*, int32_t) {
  const uint32_t unit = SourceUnit();
  Record("ContentChanged");
  if (OnContentChanged()) OnContentChanged()(unit);
  return {};
}
runtime::HandlerResult OnFocusGainedRoutine(const int32_t*, int32_t) {
  return Record("FocusGained");
}
runtime::HandlerResult OnFocusLostRoutine(const int32_t*, int32_t) {
  const uint32_t unit = SourceUnit();
  Record("FocusLost");
  if (OnFocusLost()) OnFocusLost()(unit);
  return {};
}
runtime::HandlerResult OnSpinStepRoutine(const int32_t* args, int32_t) {
  return Record("SpinStep", " " + std::to_string(args[0]));
}
runtime::HandlerResult OnClickedRoutine(const int32_t*, int32_t) { return Record("Clicked"); }

// In the order of data/edit_box_routines.txt.
const runtime::EventHandler kRoutines[] = {OnContentChangedRoutine, OnFocusGainedRoutine,
                                           OnFocusLostRoutine, OnSpinStepRoutine, OnClickedRoutine};

}  // namespace

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

int Count(const std::string& entry) {
  return static_cast<int>(std::count(Log().begin(), Log().end(), entry));
}

std::function<void(uint32_t)>& OnContentChanged() {
  static std::function<void(uint32_t)> hook;
  return hook;
}

std::function<void(uint32_t)>& OnFocusLost() {
  static std::function<void(uint32_t)> hook;
  return hook;
}

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image =
      unit_tests::MakeImage(kRoutines, edit_box_window_block, edit_box_window_block_size,
                            fixtures::FixtureLibraryTable());
  return image;
}

}  // namespace edit_box_program
