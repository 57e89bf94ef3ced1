#include "runtime/shutdown.h"

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <utility>

#include "runtime/runtime_state.h"

namespace runtime {

namespace {

[[noreturn]] void EndProcess(int32_t exit_code) {
  std::fflush(nullptr);
  // Static objects are not destroyed: the window system may still be running on this
  // thread, and nothing the program keeps needs more than its files closed, which the
  // system does.
  std::_Exit(exit_code);
}

// Steps that release what the run built; runs at most once.
void ReleaseEverything() {
  RuntimeState& state = Runtime();
  {
    std::lock_guard guard(state.lock);
    state.idle_entries.clear();
  }
  if (state.forms != nullptr) state.forms->ReleaseAllTemplates();

  if (Routine end_routine = std::exchange(state.end_routine, nullptr)) end_routine();

  for (size_t i = 0; i < state.libraries.size(); ++i) {
    const LibraryInfo* library = state.libraries[i];
    if (library != nullptr && library->notify != nullptr) {
      library->notify(6, state.library_values[i], 0);
    }
  }
  state.libraries.clear();
  state.library_values.clear();
  state.dll_commands_a.clear();
  state.dll_commands_b.clear();

  state.program_directory.clear();
  state.program_directory_slash.clear();
  state.program_file_name.clear();
  state.static_ranges.Clear();
  if (state.ui != nullptr) state.ui->DestroyRequestWindow();
}

}  // namespace

void EndProgram(int32_t exit_code) {
  RuntimeState& state = Runtime();
  ++state.nesting;
  if (std::this_thread::get_id() != state.main_thread) {
    if (state.ui != nullptr) state.ui->PostEndRequest(exit_code);
    if (!state.shutdown_started) EndProcess(exit_code);
    return;
  }
  // A second request while the end runs (from a handler it called) only ends the process.
  if (state.shutdown_started.exchange(true)) EndProcess(exit_code);
  ReleaseEverything();
  EndProcess(exit_code);
}

void RunEndOfProgram() {
  RuntimeState& state = Runtime();
  ++state.nesting;
  if (state.shutdown_started.exchange(true)) return;
  ReleaseEverything();
}

}  // namespace runtime
