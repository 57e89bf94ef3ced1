// The test program as a process of its own: it loads its window from the compiled form,
// runs the message loop, and a user closes the window after INKSTONE_PROBE_CLOSE_MS
// milliseconds (300 by default). The end routine writes what the routines saw to the file
// named by INKSTONE_PROBE_LOG, one entry per line.
#include <QTimer>
#include <QWidget>
#include <cstdlib>
#include <fstream>

#include "forms/forms_runtime.h"
#include "forms/runtime_application.h"
#include "runtime/gates.h"
#include "tests/forms/test_program.h"

namespace {

void WriteLog() {
  if (const char* path = std::getenv("INKSTONE_PROBE_LOG")) {
    std::ofstream out(path);
    for (const std::string& entry : test_program::Log()) out << entry << "\n";
  }
}

int32_t Entry() {
  runtime::RuntimeService(6);
  runtime::RuntimeService(3, reinterpret_cast<intptr_t>(&WriteLog));
  const char* close_after = std::getenv("INKSTONE_PROBE_CLOSE_MS");
  QTimer::singleShot(close_after != nullptr ? std::atoi(close_after) : 300, [] {
    if (gui::Window* window = forms::FormsRuntime::Instance().UnitWindow(test_program::kForm, 0)) {
      window->Widget()->close();  // as the user's click on the close button does
    }
  });
  runtime::LoadStartupWindow(test_program::kForm);
  runtime::RunMessageLoop();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return forms::RunProgram(argc, argv, test_program::Image(), &Entry);
}
