#include "tests/forms/input_program.h"

#include <algorithm>
#include <map>
#include <sstream>

#include "forms/forms_runtime.h"
#include "libraries/library_table.h"
#include "tests/support/program_image_maker.h"

extern const unsigned char input_window_block[];
extern const int input_window_block_size;

namespace input_program {

namespace {

std::string SourceName() {
  static const std::map<uint32_t, std::string> names = {
      {0x06010000, "window"}, {kText, "text"}, {kLine, "line"}, {kTree, "tree"}, {kLabel, "label"}};
  const auto found = names.find(forms::FormsRuntime::Instance().CurrentEventSource().unit);
  return found == names.end() ? "?" : found->second;
}

runtime::HandlerResult Record(const char* event, const int32_t* args, int32_t count) {
  std::string entry = std::string(event) + " " + SourceName();
  for (int32_t i = 0; i < count; ++i) entry += " " + std::to_string(args[i]);
  Log().push_back(entry);
  return {};
}

runtime::HandlerResult OnKeyDown(const int32_t* args, int32_t count) {
  return Record("KeyDown", args, count);
}
runtime::HandlerResult OnKeyUp(const int32_t* args, int32_t count) {
  return Record("KeyUp", args, count);
}
runtime::HandlerResult OnCharInput(const int32_t* args, int32_t count) {
  Record("CharInput", args, count);
  if (args[0] == DiscardedCharacter()) return {true, 0};
  return {};
}
runtime::HandlerResult OnMouseLeftUp(const int32_t* args, int32_t count) {
  return Record("MouseLeftUp", args, count);
}
runtime::HandlerResult OnMouseRightDown(const int32_t* args, int32_t count) {
  return Record("MouseRightDown", args, count);
}
runtime::HandlerResult OnMouseRightUp(const int32_t* args, int32_t count) {
  return Record("MouseRightUp", args, count);
}
runtime::HandlerResult OnResized(const int32_t*, int32_t) { return Record("Resized", nullptr, 0); }
runtime::HandlerResult OnMenuSelected(const int32_t*, int32_t) {
  Log().push_back("Selected");
  return {};
}

// In the order of data/input_routines.txt.
const runtime::EventHandler kRoutines[] = {OnKeyDown,        OnKeyUp,        OnCharInput,
                                           OnMouseLeftUp,    OnMouseRightDown, OnMouseRightUp,
                                           OnResized,        OnMenuSelected};

}  // namespace

int Count(const std::string& entry) {
  return static_cast<int>(std::count(Log().begin(), Log().end(), entry));
}

int32_t& DiscardedCharacter() {
  static int32_t code = 0;
  return code;
}

std::vector<std::string> EntriesOf(const std::string& unit) {
  std::vector<std::string> entries;
  for (const std::string& entry : Log()) {
    std::istringstream words(entry);
    std::string event, source;
    words >> event >> source;
    if (source == unit) entries.push_back(entry);
  }
  return entries;
}

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image = unit_tests::MakeImage(
      kRoutines, input_window_block, input_window_block_size, libraries::LibraryTable());
  return image;
}

}  // namespace input_program
