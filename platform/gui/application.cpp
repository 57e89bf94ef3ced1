#include "platform/gui/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>

#include "platform/gui/qt_translations.h"
#include "platform/gui/window.h"

namespace gui {

namespace {
Application* instance = nullptr;
}

Application::Application(int& argc, char** argv) {
  if (QApplication::instance() == nullptr) {
    qt_ = std::make_unique<QApplication>(argc, argv);
    UseQtChineseTranslations();
  }
  instance = this;
}

Application::~Application() {
  if (instance == this) instance = nullptr;
}

Application* Application::Instance() { return instance; }

int Application::Main() {
  if (!InitInstance()) return ExitInstance();
  RunLoop();
  DeleteFinishedWindows();
  const int exit_code = ExitInstance();
  DeleteFinishedWindows();  // the end routines may have closed windows too
  return exit_code;
}

bool Application::HandleWaitingMessages() {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  const bool handled = dispatcher->processEvents(QEventLoop::AllEvents);
  // Outside QEventLoop::exec objects deleted "later" wait for an explicit turn.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  return handled;
}

void Application::Loop(const std::function<bool()>& keep_running) {
  QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
  int32_t idle_count = 0;
  bool idle = true;
  while (!quit_posted_ && keep_running()) {
    if (HandleWaitingMessages()) {
      idle = true;
      idle_count = 0;
      continue;
    }
    if (idle) {
      idle = OnIdle(idle_count++);
      continue;
    }
    dispatcher->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    idle = true;
    idle_count = 0;
  }
}

void Application::RunLoop() {
  Loop([] { return true; });
  quit_posted_ = false;  // the main loop takes the quit message; a modal loop leaves it
}

void Application::RunModalLoop(const std::function<bool()>& still_modal) { Loop(still_modal); }

void Application::PumpWaitingMessages() {
  while (!quit_posted_ && HandleWaitingMessages()) {
  }
}

bool Application::PreTranslateMessage(Message& message) {
  return PreTranslateThroughWindows(message);
}

void Application::PostQuitMessage(int32_t exit_code) {
  quit_code_ = exit_code;
  quit_posted_ = true;
  // The loop may be asleep waiting for a message: wake it so it sees the quit.
  QCoreApplication* qt = QCoreApplication::instance();
  if (qt == nullptr) return;
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance(qt->thread())) {
    dispatcher->wakeUp();
  }
}

}  // namespace gui
