#include "runtime/startup.h"

#include <filesystem>
#include <system_error>

#include "platform/core/clock.h"
#include "platform/core/native_path.h"
#include "platform/core/program_path.h"
#include "runtime/error_report.h"
#include "runtime/runtime_callback.h"
#include "runtime/runtime_state.h"

namespace runtime {

void AttachProgram(const ProgramImage& image, UserInterface* ui, FormsHost* forms) {
  RuntimeState& state = Runtime();
  state.image = &image;
  state.ui = ui;
  state.forms = forms;
}

namespace {

void SplitProgramPath(RuntimeState& state) {
  const std::string path = platform::ProgramFilePath();
  const size_t slash = path.rfind('\\');
  if (slash == std::string::npos) {
    state.program_directory.clear();
    state.program_file_name = path;
  } else {
    state.program_directory = path.substr(0, slash);
    state.program_file_name = path.substr(slash + 1);
  }
  state.program_directory_slash = state.program_directory + "\\";
  if (!state.program_directory.empty()) {
    // The program's relative paths are taken from its own folder.
    std::error_code ignored;
    std::filesystem::current_path(platform::FsPath(state.program_directory), ignored);
  }
}

void NotifyLibraries(RuntimeState& state, const ProgramImage& image) {
  for (int32_t i = 0; i < image.library_count; ++i) {
    const LibraryInfo* library = image.libraries[i];
    if (library != nullptr && library->notify != nullptr) {
      library->notify(1, reinterpret_cast<intptr_t>(&RuntimeCallback), 0);
    }
  }
  state.libraries.assign(image.libraries, image.libraries + image.library_count);
  state.library_values.assign(static_cast<size_t>(image.library_count), 0);
}

}  // namespace

void InitializeRuntime() {
  RuntimeState& state = Runtime();
  const ProgramImage& image = *state.image;
  state.image_kind = image.image_kind;
  state.reserved_word = image.reserved;
  state.id_counter = image.id_seed + 1;

  SplitProgramPath(state);
  if (state.ui != nullptr) state.ui->CreateRequestWindow();
  state.main_thread = std::this_thread::get_id();

  if (image.constant_pool_size != 0) {
    state.static_ranges.Add(image.constant_pool, image.constant_pool + image.constant_pool_size);
  }
  if (image.dll_command_count != 0) {
    state.dll_commands_a.assign(image.dll_commands_a,
                                image.dll_commands_a + image.dll_command_count);
    state.dll_commands_b.assign(image.dll_commands_b,
                                image.dll_commands_b + image.dll_command_count);
  }
  NotifyLibraries(state, image);

  if (image.template_block_size != 0) {
    const bool loaded = state.forms != nullptr &&
                        state.forms->LoadTemplateBlock(image.template_block,
                                                       image.template_block_size, image.code_base);
    if (!loaded) ReportError(error_text::TemplateBlockUnreadable());
  }
}

void LoadStartupWindow(FormId form) {
  FormsHost* forms = Runtime().forms;
  if (forms == nullptr || !forms->LoadStartupWindow(form)) {
    ReportError(error_text::StartupWindowFailed());
  }
}

void RunMessageLoop() {
  RuntimeState& state = Runtime();
  state.loop_started = true;
  if (state.forms == nullptr || !state.forms->AnyWindowAlive()) return;
  state.ui->RunMessageLoop();
}

void RunIdleCallbacks() {
  RuntimeState& state = Runtime();
  std::lock_guard guard(state.lock);
  // A callback may add or remove entries, so every step re-checks the index.
  for (size_t i = state.idle_entries.size(); i-- > 0;) {
    if (i >= state.idle_entries.size()) continue;
    const IdleEntry entry = state.idle_entries[i];
    if (state.ui != nullptr && state.ui->IsWindowAlive(entry.window)) {
      entry.callback(entry.argument);
    } else {
      state.idle_entries.erase(state.idle_entries.begin() + static_cast<ptrdiff_t>(i));
    }
  }
}

bool ApplicationIdle(int32_t idle_count, bool framework_wants_more) {
  RuntimeState& state = Runtime();
  FormsHost* forms = state.forms;
  if (idle_count == 0) {
    state.idle_start_tick = platform::TickCount();
    if (forms != nullptr) forms->ResetWindowIdle();
  }
  if (framework_wants_more) return true;
  return forms != nullptr && forms->IdleWindows(platform::TickCount() - state.idle_start_tick);
}

}  // namespace runtime
