#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "runtime/forms_host.h"
#include "runtime/program_image.h"
#include "runtime/static_ranges.h"
#include "runtime/user_interface.h"

namespace runtime {

using IdleCallback = void (*)(intptr_t argument);

// A unit's request to be called while the loop idles, for as long as its window lives.
struct IdleEntry {
  intptr_t window;
  IdleCallback callback;
  intptr_t argument;
};

// The one application-wide state of the runtime.
struct RuntimeState {
  const ProgramImage* image = nullptr;
  int32_t image_kind = 0;
  int32_t reserved_word = 0;
  int32_t id_counter = 0;  // the image's id seed plus one; run-time records take the next ones

  std::string program_directory;        // GBK, without a trailing backslash
  std::string program_directory_slash;  // the same with its trailing backslash
  std::string program_file_name;

  StaticRanges static_ranges;
  std::vector<const LibraryInfo*> libraries;
  std::vector<intptr_t> library_values;  // one per library, handed back at the end
  std::vector<int32_t> dll_commands_a;
  std::vector<int32_t> dll_commands_b;

  std::thread::id main_thread;
  std::atomic<int32_t> nesting{0};  // events are held back while it is above 0
  std::vector<IdleEntry> idle_entries;
  uint32_t idle_start_tick = 0;  // tick count at idle count 0
  Routine end_routine = nullptr;

  bool loop_started = false;
  std::atomic<bool> shutdown_started{false};

  UserInterface* ui = nullptr;
  FormsHost* forms = nullptr;

  // Guards the lists that timers and other threads touch.
  std::recursive_mutex lock;
};

// The process's runtime state.
RuntimeState& Runtime();

// Puts the runtime back to its freshly constructed state (for tests that run several
// programs in one process). Requires: no program is running.
void ResetRuntimeState();

}  // namespace runtime
