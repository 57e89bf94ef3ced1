#include "app/termination.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <csignal>

#ifndef _WIN32
#include <sys/socket.h>
#include <unistd.h>
#endif

#include "app/chapters.h"
#include "app/daily_progress.h"
#include "app/main_window_ids.h"
#include "platform/gui/message.h"
#include "runtime/gates.h"
#include "units/base/unit_methods.h"

namespace app {

namespace {

bool skip_exit_work = false;

void EndWithoutExitWork() {
  FlushShownChapter();
  KeepShownChapterVersion(chapter_history::VersionReason::kLeft);
  SaveWritingHistoryAtEnd();
  SkipExitWork();
  runtime::EndProgram(0);
}

}  // namespace

bool EndingWithoutExitWork() { return skip_exit_work; }
void SkipExitWork() { skip_exit_work = true; }

#ifndef _WIN32
namespace {

int signal_pipe[2] = {-1, -1};

// Only async-signal-safe work here: the end itself runs on the user-interface thread.
void OnTerminationSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signal_pipe[1], &byte, 1);
}

void EndOnTerminationSignals() {
  if (signal_pipe[0] != -1 || socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, [] { EndWithoutExitWork(); });
  struct sigaction action = {};
  action.sa_handler = &OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

}  // namespace
#endif

void EndCleanlyOnTermination() {
#ifndef _WIN32
  EndOnTerminationSignals();
#endif
  auto* application = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  if (application == nullptr) return;
  QObject::connect(application, &QGuiApplication::commitDataRequest, [](QSessionManager& manager) {
    // The close query may ask the author (unsaved text): Qt blocks the input of a session's
    // end unless interaction is asked for, and the box would take no click.
    manager.allowsInteraction();
    const bool may_end = units::SendUnitMessage(kMainWindow, unit::kWindow, gui::msg::kQueryEndSession, 0, 0) != 0;
    if (!may_end) return manager.cancel();
    EndWithoutExitWork();
  });
}

}  // namespace app
