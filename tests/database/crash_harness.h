#pragma once

#include <cstdint>
#include <string>

// The crash test: a child process keeps saving ever-changing chapter texts into the memo
// field of a chapter database (appending, deleting and packing now and then) and is killed
// at a random moment, at once, as a crash ends a process; after every kill the parent opens
// the database, checks its structure and checks that every chapter holds exactly one text
// that was written, no older than the last save that finished.
//
// The child is this program started again in a child mode (tests/support/child_process.h): a
// program using the harness dispatches the child modes in its main.

namespace database::testing {

struct CrashOptions {
  int32_t rounds = 300;
  int32_t save_interval_ms = 5;    // pause between two saves of the child
  int32_t max_kill_delay_ms = 40;  // the kill comes 1 … this many ms after the start
  uint32_t seed = 1;
  bool verbose = false;
};

struct CrashSummary {
  int32_t rounds = 0;
  int64_t saves_finished = 0;
  int32_t packs_finished = 0;
  int32_t failures = 0;
  std::string first_failure;
};

// Runs the rounds in `native_folder` (which must exist) and reports what went wrong.
CrashSummary RunCrashRounds(const std::string& native_folder, const CrashOptions& options);

}  // namespace database::testing
