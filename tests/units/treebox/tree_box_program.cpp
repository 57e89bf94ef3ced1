#include "tests/units/treebox/tree_box_program.h"

#include "forms/forms_runtime.h"
#include "libraries/library_table.h"
#include "platform/core/code_page.h"
#include "runtime/owned_blocks.h"
#include "tests/support/program_image_maker.h"

extern const unsigned char tree_window_block[];
extern const int tree_window_block_size;

namespace tree_program {

namespace {

constexpr int32_t kCurrentItem = 16;
constexpr int32_t kEditedText = 21;

runtime::HandlerResult Record(std::string entry, const std::optional<bool>& answer = {}) {
  Log().push_back(std::move(entry));
  if (!answer) return {};
  return {true, *answer ? 1 : 0};
}

std::string Args(const int32_t* args, int32_t count) {
  std::string text;
  for (int32_t i = 0; i < count; ++i) text += " " + std::to_string(args[i]);
  return text;
}

int32_t Unit() {
  return static_cast<int32_t>(forms::FormsRuntime::Instance().CurrentEventSource().unit);
}

runtime::HandlerResult OnSelectionChanged(const int32_t* args, int32_t count) {
  const int32_t current = forms::FormsRuntime::Instance()
                              .ReadUnitProperty(kForm, Unit(), kCurrentItem, -1)
                              .As<int32_t>();
  return Record("SelectionChanged" + Args(args, count) + " current=" + std::to_string(current));
}
runtime::HandlerResult OnItemDoubleClicked(const int32_t*, int32_t) {
  return Record("ItemDoubleClicked");
}
runtime::HandlerResult OnLabelEditStarting(const int32_t* args, int32_t count) {
  return Record("LabelEditStarting" + Args(args, count), Answer().edit_starting);
}
runtime::HandlerResult OnLabelEditEnding(const int32_t* args, int32_t count) {
  const runtime::Text text = runtime::Text::FromResult(
      forms::FormsRuntime::Instance().ReadUnitProperty(kForm, Unit(), kEditedText, -1));
  return Record("LabelEditEnding" + Args(args, count) + " text=" + platform::GbkToUtf8(text.View()),
                Answer().edit_ending);
}
runtime::HandlerResult OnExpanding(const int32_t* args, int32_t count) {
  return Record("Expanding" + Args(args, count), Answer().expanding);
}
runtime::HandlerResult OnCollapsing(const int32_t* args, int32_t count) {
  return Record("Collapsing" + Args(args, count), Answer().collapsing);
}
runtime::HandlerResult OnItemRightClicked(const int32_t*, int32_t) {
  return Record("ItemRightClicked");
}
runtime::HandlerResult OnCheckChanged(const int32_t* args, int32_t count) {
  return Record("CheckChanged" + Args(args, count));
}
runtime::HandlerResult OnFocusGained(const int32_t*, int32_t) { return Record("FocusGained"); }
runtime::HandlerResult OnFocusLost(const int32_t*, int32_t) { return Record("FocusLost"); }

// In the order of data/tree_routines.txt.
const runtime::EventHandler kRoutines[] = {
    OnSelectionChanged, OnItemDoubleClicked, OnLabelEditStarting, OnLabelEditEnding, OnExpanding,
    OnCollapsing,       OnItemRightClicked,  OnCheckChanged,      OnFocusGained,     OnFocusLost,
};

}  // namespace

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

int Count(const std::string& prefix) {
  int count = 0;
  for (const std::string& entry : Log()) count += entry.rfind(prefix, 0) == 0 ? 1 : 0;
  return count;
}

Answers& Answer() {
  static Answers answers;
  return answers;
}

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image = unit_tests::MakeImage(
      kRoutines, tree_window_block, tree_window_block_size, libraries::LibraryTable());
  return image;
}

}  // namespace tree_program
