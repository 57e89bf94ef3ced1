// The runtime's application object inside one process: the entry routine's place in the
// start-up, idle callbacks of units, and the exit hook.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include "forms/runtime_application.h"
#include "libraries/library_table.h"
#include "platform/gui/window_handles.h"
#include "runtime/gates.h"
#include "runtime/runtime_callback.h"
#include "runtime/runtime_state.h"
#include "tests/support/program_image_maker.h"

namespace forms {
namespace {

using runtime::Runtime;
using runtime::RuntimeCallback;

struct IdleRecord {
  int calls_while_alive = 0;
  int calls_after_death = 0;
  intptr_t argument = 0;
  bool dead = false;
  int end_routine_runs = 0;
} record;

void CountIdle(intptr_t argument) {
  record.argument = argument;
  ++(record.dead ? record.calls_after_death : record.calls_while_alive);
}

void Register(intptr_t window, runtime::IdleCallback callback, intptr_t argument) {
  const intptr_t entry[3] = {window, reinterpret_cast<intptr_t>(callback), argument};
  RuntimeCallback(runtime::callback_code::kAddIdleCallback, reinterpret_cast<intptr_t>(entry), 0);
}

int32_t IdleEntryRoutine() {
  runtime::RuntimeService(6);
  runtime::RuntimeService(3, reinterpret_cast<intptr_t>(+[] { ++record.end_routine_runs; }));
  auto* widget = new QWidget;
  const gui::WindowHandle handle = gui::RegisterWindow(widget, nullptr);
  Register(handle, &CountIdle, 77);
  Register(handle, &CountIdle, 78);       // already registered: ignored
  Register(handle + 1000, &CountIdle, 1);  // no such window: ignored
  Register(handle, nullptr, 1);            // no callback: ignored
  EXPECT_EQ(Runtime().idle_entries.size(), 1u);

  QTimer::singleShot(50, [widget] {
    delete widget;
    record.dead = true;
  });
  QTimer::singleShot(100, [] { Runtime().ui->PostQuitMessage(0); });
  Runtime().ui->RunMessageLoop();
  return 0;  // no further loop: the exit hook ends the program
}

TEST(RuntimeApplication, IdleCallbacksRunWhileTheirWindowLivesThenTheEndRoutineOnce) {
  runtime::ResetRuntimeState();
  const runtime::ProgramImage image =
      unit_tests::MakeImage(nullptr, nullptr, 0, libraries::LibraryTable());
  int argc = 1;
  char arg0[] = "runtime_application_test";
  char* argv[] = {arg0, nullptr};

  EXPECT_EQ(RunProgram(argc, argv, image, &IdleEntryRoutine), 0);
  EXPECT_GT(record.calls_while_alive, 0);
  EXPECT_EQ(record.calls_after_death, 0);
  EXPECT_EQ(record.argument, 77);
  EXPECT_EQ(record.end_routine_runs, 1);
  EXPECT_TRUE(Runtime().shutdown_started);
  EXPECT_EQ(Runtime().ui, nullptr);
  runtime::ResetRuntimeState();
}

// The themed look (Windows' visual styles on Windows, Fusion elsewhere) restyles the widgets
// there are and those made later.
TEST(RuntimeApplication, TheThemedLookIsTheSystemsStyleAndThePlainOneTheWindowsStyle) {
  int argc = 1;
  char arg0[] = "runtime_application_test";
  char* argv[] = {arg0, nullptr};
  RuntimeApplication application(argc, argv, nullptr);
  QWidget before;
  application.SetThemedLook(true);
  QWidget after;
#ifdef _WIN32
  const QString themed = "windowsvista";
#else
  const QString themed = "fusion";
#endif
  EXPECT_EQ(QApplication::style()->name(), themed);
  EXPECT_EQ(before.style()->name(), themed);
  EXPECT_EQ(after.style()->name(), themed);
  application.SetThemedLook(false);
  EXPECT_EQ(before.style()->name(), "windows");
}

}  // namespace
}  // namespace forms
