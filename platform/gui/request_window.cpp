#include "platform/gui/request_window.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <mutex>

namespace gui {

namespace {

// The request number the window answers.
constexpr QEvent::Type kEndRequest = static_cast<QEvent::Type>(QEvent::User + 0x3E7);

class EndRequestEvent : public QEvent {
 public:
  explicit EndRequestEvent(int32_t exit_code) : QEvent(kEndRequest), exit_code_(exit_code) {}
  int32_t exit_code() const { return exit_code_; }

 private:
  int32_t exit_code_;
};

class RequestObject : public QObject {
 public:
  explicit RequestObject(std::function<void(int32_t)> on_end) : on_end_(std::move(on_end)) {}

  bool event(QEvent* e) override {
    if (e->type() != kEndRequest) return QObject::event(e);
    on_end_(static_cast<EndRequestEvent*>(e)->exit_code());
    return true;
  }

 private:
  std::function<void(int32_t)> on_end_;
};

std::mutex window_lock;
RequestObject* window = nullptr;

}  // namespace

void RequestWindow::Create(std::function<void(int32_t)> on_end_request) {
  std::lock_guard guard(window_lock);
  delete window;
  window = new RequestObject(std::move(on_end_request));
}

void RequestWindow::Destroy() {
  std::lock_guard guard(window_lock);
  delete window;
  window = nullptr;
}

void RequestWindow::PostEndRequest(int32_t exit_code) {
  std::lock_guard guard(window_lock);
  if (window != nullptr) QCoreApplication::postEvent(window, new EndRequestEvent(exit_code));
}

}  // namespace gui
