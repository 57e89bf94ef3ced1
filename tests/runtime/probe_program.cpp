// A small program image run as its own process by the lifecycle tests: each scenario is an
// entry routine that ends the program in one of the ways a real program can. What the
// program shows and does goes to the log file named by INKSTONE_PROBE_LOG, one line each.
#include <QString>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>

#include "forms/runtime_application.h"
#include "libraries/library_table.h"
#include "platform/core/code_page.h"
#include "runtime/gates.h"
#include "runtime/gbk_literal.h"
#include "runtime/runtime_state.h"
#include "tests/support/message_box_answerer.h"
#include "tests/support/program_image_maker.h"

namespace {

using namespace runtime;

void Log(const std::string& line) {
  std::ofstream(std::getenv("INKSTONE_PROBE_LOG"), std::ios::app) << line << "\n";
}

void LoggingEndRoutine() { Log("end routine"); }

intptr_t LoggingNotify(int32_t code, intptr_t, intptr_t) {
  Log("notify " + std::to_string(code));
  return 0;
}

// Answers every box with OK and logs its text with line ends made visible.
test_support::MessageBoxAnswerer* StartAnswering() {
  return new test_support::MessageBoxAnswerer(
      QString::fromUtf8("确定"), [](const QString& caption, const QString& text, const QStringList&) {
        Log("box " + caption.toStdString() + ": " + QString(text).replace("\n", "|").toStdString());
      });
}

// Every scenario but the normal end shows a box; those end the process at once, so the
// answerer is never freed.
void Start(bool answer_boxes = true) {
  RuntimeService(6);
  RuntimeService(3, reinterpret_cast<intptr_t>(&LoggingEndRoutine));
  if (answer_boxes) StartAnswering();
}

int32_t NormalEnd() {
  Start(false);
  RunMessageLoop();  // no window: returns at once
  Log("loop returned");
  return 0;
}

int32_t RuntimeErrorEnd() {
  Start();
  ReportRuntimeError(1);
}

int32_t MissingStartupWindow() {
  Start();
  LoadStartupWindow(0x52010001);
  Log("not reached");
  return 0;
}

int32_t EndProgramOnMainThread() {
  Start();
  EndProgram(3);
  Log("not reached");
  return 0;
}

int32_t EndProgramFromWorker() {
  Start();
  std::thread([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EndProgram(7);
  }).detach();
  // The main thread stays busy and never looks at its messages.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < until) {
  }
  Log("main thread finished its work");
  return 0;
}

int32_t AllocationFailure() {
  Start();
  AllocBlock(-1);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string scenario = argc > 1 ? argv[1] : "";
  const struct {
    const char* name;
    forms::EntryRoutine entry;
  } scenarios[] = {{"normal", &NormalEnd},
                   {"runtime-error", &RuntimeErrorEnd},
                   {"missing-startup-window", &MissingStartupWindow},
                   {"end-program", &EndProgramOnMainThread},
                   {"end-from-worker", &EndProgramFromWorker},
                   {"allocation-failure", &AllocationFailure}};

  // The six libraries, with a logging notify in place of library 1's.
  static runtime::LibraryInfo logging_library = *libraries::LibraryTable()[1];
  logging_library.notify = &LoggingNotify;
  static const runtime::LibraryInfo* table[libraries::kLibraryCount];
  for (int i = 0; i < libraries::kLibraryCount; ++i) table[i] = libraries::LibraryTable()[i];
  table[1] = &logging_library;
  static const std::string pool = std::string("\0", 1);
  runtime::ProgramImage image = unit_tests::MakeImage(nullptr, nullptr, 0, table);
  image.constant_pool = reinterpret_cast<const uint8_t*>(pool.data());
  image.constant_pool_size = static_cast<int32_t>(pool.size());

  for (const auto& s : scenarios) {
    if (scenario == s.name) return forms::RunProgram(argc, argv, image, s.entry);
  }
  return 100;
}
