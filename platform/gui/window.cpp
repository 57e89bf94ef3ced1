#include "platform/gui/window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVariant>
#include <QWheelEvent>
#include <QWidget>
#include <algorithm>
#include <set>

#include "platform/gui/application.h"
#include "platform/gui/focus_holder.h"
#include "platform/gui/gbk_chars.h"
#include "platform/gui/key_repeat.h"
#include "platform/gui/virtual_keys.h"

namespace gui {

namespace {

// Finished windows whose deletion waits for the loop's next turn. The loop may end first
// (the last window's close posts the quit): the application deletes them then.
std::set<Window*>& FinishedWindows() {
  static std::set<Window*> windows;
  return windows;
}

constexpr const char* kWindowProperty = "inkstone.window";
constexpr QEvent::Type kPostedMessage = static_cast<QEvent::Type>(QEvent::User + 1);

class PostedMessageEvent : public QEvent {
 public:
  explicit PostedMessageEvent(const Message& message) : QEvent(kPostedMessage), message_(message) {}
  Message message_;
};

// Mouse-key bits that travel in the wparam of mouse messages.
uint64_t MouseKeys(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
  uint64_t keys = 0;
  if (buttons & Qt::LeftButton) keys |= 0x01;
  if (buttons & Qt::RightButton) keys |= 0x02;
  if (modifiers & Qt::ShiftModifier) keys |= 0x04;
  if (modifiers & Qt::ControlModifier) keys |= 0x08;
  if (buttons & Qt::MiddleButton) keys |= 0x10;
  return keys;
}

uint32_t MouseMessageOf(const QMouseEvent& event) {
  const bool left = event.button() == Qt::LeftButton;
  const bool right = event.button() == Qt::RightButton;
  switch (event.type()) {
    case QEvent::MouseButtonPress:
      return left ? msg::kLeftButtonDown : right ? msg::kRightButtonDown : 0;
    case QEvent::MouseButtonRelease:
      return left ? msg::kLeftButtonUp : right ? msg::kRightButtonUp : 0;
    case QEvent::MouseButtonDblClick:
      return left ? msg::kLeftButtonDoubleClick : right ? msg::kRightButtonDown : 0;
    case QEvent::MouseMove: return msg::kMouseMove;
    default: return 0;
  }
}

}  // namespace

// Turns the Qt events of every window object's widget into messages.
class MessageFilter : public QObject {
 public:
  static MessageFilter& Instance() {
    static auto* filter = new MessageFilter;
    return *filter;
  }

  MessageFilter() {
    // One key-up at the physical release, however late Qt reads a repeat's press: see
    // AskForDetectableAutoRepeat. Where it is not in effect, the release that Qt marks as
    // a repeat is still passed over below.
    AskForDetectableAutoRepeat();
  }

  bool eventFilter(QObject* object, QEvent* event) override {
    // An event this filter hands to the widget itself: its message went out already.
    if (std::find(passing_.begin(), passing_.end(), event) != passing_.end()) return false;
    Window* window = Window::FromObject(object);
    if (window == nullptr || !window->IsAlive()) return false;
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease:
        return Key(*window, object, static_cast<QKeyEvent*>(event));
      case QEvent::InputMethod:
        return InputMethod(*window, static_cast<QInputMethodEvent*>(event));
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
        return Mouse(*window, object, static_cast<QMouseEvent*>(event));
      case QEvent::Wheel: return Wheel(*window, static_cast<QWheelEvent*>(event));
      case QEvent::FocusIn:
      case QEvent::FocusOut:
        // While a window goes, Qt hands the focus around among its children; that is no
        // news for anyone.
        if (object == window->Widget() && !window->InDestruction()) {
          if (event->type() == QEvent::FocusIn) {
            FocusHolder::FocusIn(*window);
          } else {
            FocusHolder::FocusOut(*window, static_cast<QFocusEvent*>(event)->reason());
          }
        }
        return false;
      case QEvent::Close: return Close(*window, object, static_cast<QCloseEvent*>(event));
      case QEvent::Move:
        if (object == window->Widget()) window->Send(msg::kMove);
        return false;
      case QEvent::Resize:
        if (object == window->Widget()) window->Send(msg::kSize);
        return false;
      case QEvent::Show:
      case QEvent::Hide:
        if (object == window->Widget()) {
          window->Send(msg::kShowWindow, event->type() == QEvent::Show ? 1 : 0);
        }
        return false;
      case QEvent::WindowActivate:
      case QEvent::WindowDeactivate:
        if (object == window->Widget()) {
          window->Send(msg::kActivate, event->type() == QEvent::WindowActivate ? 1 : 0);
        }
        return false;
      case QEvent::Paint:
        if (object == window->Widget() && window->self_painted_) {
          QPainter painter(window->Widget());
          window->Paint(painter);
          return true;
        }
        return false;
      default:
        if (event->type() == kPostedMessage) {
          Message message = static_cast<PostedMessageEvent*>(event)->message_;
          window->Dispatch(message);
          return true;
        }
        return false;
    }
  }

 private:
  bool Key(Window& window, QObject* object, QKeyEvent* event) {
    const WindowHandle handle = window.Handle();
    SetCurrentModifiers(event->modifiers());
    const bool press = event->type() == QEvent::KeyPress;
    // The platform sends a key-down for every repeat of a held key but one key-up, at the
    // physical release; Qt reports a release before every repeat as well.
    if (!press && event->isAutoRepeat()) return PassToWidget(object, event);
    const bool alt = event->modifiers() & Qt::AltModifier;
    Message key{handle, press ? (alt ? msg::kSysKeyDown : msg::kKeyDown)
                              : (alt ? msg::kSysKeyUp : msg::kKeyUp),
                static_cast<uint64_t>(VirtualKeyOf(event->key(), event->modifiers())), 0};
    if (!window.Dispatch(key)) return Consume(*event);
    if (!IsWindowAlive(handle)) return Consume(*event);
    const QString text = press ? TypedText(*event) : QString();
    if (text.isEmpty()) return PassToWidget(object, event);
    const QString typed = Characters(window, text);
    if (!IsWindowAlive(handle)) return Consume(*event);
    if (typed == text) return PassToWidget(object, event);
    if (typed.isEmpty()) return Consume(*event);  // the character was discarded
    // A replaced character reaches the widget as a plain key that types the replacement.
    const Qt::KeyboardModifiers modifiers =
        event->modifiers() & ~(Qt::ControlModifier | Qt::AltModifier);
    QKeyEvent replaced(QEvent::KeyPress, event->key(), modifiers, typed, event->isAutoRepeat(),
                       static_cast<ushort>(event->count()));
    SendThrough(object, replaced);
    return Consume(*event);
  }

  // What a key press types, as the platform's character messages carry it: the text, or
  // with Ctrl (and no Alt) a letter's control character, letter & 0x1F (Ctrl+V 0x16).
  // Other combinations with Ctrl or Alt type nothing.
  static QString TypedText(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (modifiers & Qt::AltModifier) return {};
    if (modifiers & Qt::ControlModifier) {
      const int key = event.key();
      if (key < Qt::Key_A || key > Qt::Key_Z) return {};
      return QString(QChar(static_cast<char16_t>((key - Qt::Key_A + 'A') & 0x1F)));
    }
    return event.text();
  }

  // Qt hands an input event that a widget leaves unaccepted on to the parent widget, whose
  // window would hear it as its own input. The widget's own handling runs on a copy that
  // this filter lets through; the event itself ends at its target.
  bool PassToWidget(QObject* object, QKeyEvent* event) {
    SendThrough(object, *event);
    return Consume(*event);
  }
  void SendThrough(QObject* object, const QKeyEvent& event) {
    std::unique_ptr<QKeyEvent> copy(event.clone());
    passing_.push_back(copy.get());
    QCoreApplication::sendEvent(object, copy.get());
    passing_.pop_back();
  }
  static bool Consume(QEvent& event) {
    event.accept();
    return true;
  }

  bool InputMethod(Window& window, QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) return false;
    const WindowHandle handle = window.Handle();
    const QString typed = Characters(window, event->commitString());
    if (!IsWindowAlive(handle)) return true;
    if (typed != event->commitString()) {
      event->setCommitString(typed, event->replacementStart(), event->replacementLength());
    }
    return false;
  }

  // Each typed character as a character message; gives what survives of the text (a
  // character discarded or replaced on the way).
  QString Characters(Window& window, const QString& text) {
    QString result;
    for (const uint32_t code : GbkCharCodes(text)) {
      Message character{window.Handle(), msg::kChar, code, 1};
      if (!window.Dispatch(character)) continue;
      if (character.wparam != 0) result += TextOfGbkCharCode(character.wparam);
      if (!IsWindowAlive(window.Handle())) break;
    }
    return result;
  }

  bool Mouse(Window& window, QObject* object, QMouseEvent* event) {
    const uint32_t id = MouseMessageOf(*event);
    if (id == 0) return false;
    SetCurrentModifiers(event->modifiers());
    auto* source = static_cast<QWidget*>(object);
    // The source is the window's widget or a part inside it (a scroll area's viewport):
    // map from the part up to the window, never the other way round.
    const QPoint client = source->mapTo(window.Widget(), event->position().toPoint());
    Message mouse{window.Handle(), id, MouseKeys(event->buttons(), event->modifiers()),
                  PackPoint(client.x(), client.y())};
    return !window.Dispatch(mouse);
  }

  bool Wheel(Window& window, QWheelEvent* event) {
    SetCurrentModifiers(event->modifiers());
    const int32_t delta = event->angleDelta().y();
    const QPoint global = event->globalPosition().toPoint();
    Message wheel{window.Handle(), msg::kMouseWheel,
                  (static_cast<uint64_t>(static_cast<uint16_t>(delta)) << 16) |
                      MouseKeys(event->buttons(), event->modifiers()),
                  PackPoint(global.x(), global.y())};
    return !window.Dispatch(wheel);
  }

  bool Close(Window& window, QObject* object, QCloseEvent* event) {
    if (object != window.Widget()) return false;
    // The window procedure decides: its default processing destroys the window.
    window.Send(msg::kClose);
    event->ignore();  // closing is the window procedure's business, never Qt's
    return true;
  }

  std::vector<const QEvent*> passing_;  // copies on their way to the widget, innermost last
};

bool PreTranslateThroughWindows(Message& message) {
  for (Window* window = Window::FromHandle(message.window); window != nullptr;
       window = window->Parent()) {
    const WindowHandle handle = window->Handle();
    if (window->PreTranslateMessage(message)) return true;
    if (!IsWindowAlive(handle) || window->IsTopLevel()) break;
  }
  return false;
}

Window::Window(QWidget* widget) : widget_(widget), handle_(RegisterWindow(widget, this)) {
  widget->setProperty(kWindowProperty, QVariant::fromValue(static_cast<void*>(this)));
  // Mouse input ends at the window it was made on, whether the widget wanted it or not;
  // Qt would hand it on to the parent widget and so to the window below as well.
  widget->setAttribute(Qt::WA_NoMousePropagation);
  widget->installEventFilter(&MessageFilter::Instance());
  QObject::connect(widget, &QObject::destroyed, [this] { WidgetDestroyed(); });
}

Window::~Window() {
  UnregisterWindow(handle_);
  timers_.clear();
  if (QWidget* widget = widget_.data()) {
    QObject::disconnect(widget, &QObject::destroyed, nullptr, nullptr);
    widget->setProperty(kWindowProperty, QVariant());
    delete widget;
  }
}

Window* Window::FromHandle(WindowHandle handle) { return FindWindowObject(handle); }

Window* Window::FromObject(const QObject* object) {
  for (; object != nullptr; object = object->parent()) {
    const QVariant value = object->property(kWindowProperty);
    if (value.isValid()) return static_cast<Window*>(value.value<void*>());
  }
  return nullptr;
}

Window* Window::Parent() const {
  if (widget_.isNull() || widget_->parentWidget() == nullptr) return nullptr;
  return FromObject(widget_->parentWidget());
}

std::vector<Window*> Window::Children() const {
  std::vector<Window*> children;
  if (QWidget* client = ClientWidget()) {
    for (QObject* child : client->children()) {
      if (auto* widget = qobject_cast<QWidget*>(child)) {
        if (Window* window = FromObject(widget); window != nullptr && window != this) {
          children.push_back(window);
        }
      }
    }
  }
  return children;
}

bool Window::InDestruction() const {
  for (const Window* window = this; window != nullptr; window = window->Parent()) {
    if (window->destroy_started_) return true;
  }
  return false;
}

bool Window::IsTopLevel() const { return !widget_.isNull() && widget_->isWindow(); }

int64_t Window::Send(uint32_t id, uint64_t wparam, int64_t lparam) {
  if (!IsAlive() && id != msg::kDestroy && id != msg::kFinalDestroy) return 0;
  Message message{handle_, id, wparam, lparam};
  return WindowProc(message);
}

void Window::Post(uint32_t id, uint64_t wparam, int64_t lparam) {
  if (!IsAlive()) return;
  QCoreApplication::postEvent(widget_.data(),
                              new PostedMessageEvent(Message{handle_, id, wparam, lparam}));
}

bool Window::Dispatch(Message& message) {
  const WindowHandle handle = handle_;
  Application* application = Application::Instance();
  const bool handled = application != nullptr ? application->PreTranslateMessage(message)
                                              : PreTranslateThroughWindows(message);
  if (handled) return false;
  if (!IsWindowAlive(handle)) return false;
  const bool outer_request = std::exchange(default_requested_, false);
  WindowProc(message);
  // This object may be gone now; only the handle is safe to ask about.
  if (!IsWindowAlive(handle)) return false;
  const bool wants_default = std::exchange(default_requested_, outer_request);
  return wants_default;
}

int64_t Window::DefaultProc(Message& message) {
  default_requested_ = true;
  if (message.id == msg::kClose) Destroy();
  return 0;
}

void Window::SetTimer(uint64_t id, int32_t milliseconds) {
  auto& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, [this, id] {
      if (!IsAlive()) return;
      Message tick{handle_, msg::kTimer, id, 0};
      Dispatch(tick);
    });
  }
  // The shortest period the system timer grants.
  timer->start(std::max(milliseconds, 10));
}

void Window::KillTimer(uint64_t id) { timers_.erase(id); }

QRect Window::Rect() const {
  if (widget_.isNull()) return {};
  if (widget_->isWindow()) return widget_->frameGeometry();
  return widget_->geometry();
}

void Window::SetRect(const QRect& rect) {
  if (widget_.isNull()) return;
  if (widget_->isWindow()) {
    const QRect frame = widget_->frameGeometry();
    const QRect inner = widget_->geometry();
    const int extra_width = frame.width() - inner.width();
    const int extra_height = frame.height() - inner.height();
    requested_outer_size_ = rect.size();
    widget_->move(rect.topLeft());
    widget_->resize(std::max(rect.width() - extra_width, 0),
                    std::max(rect.height() - extra_height, 0));
  } else {
    widget_->setGeometry(rect);
  }
}

void Window::SetSmallestInnerSize(const QSize& inner) {
  if (widget_.isNull() || !widget_->isWindow()) return;
  widget_->setMinimumSize(inner.expandedTo(QSize(0, 0)));
}

void Window::ApplyRequestedOuterSize() {
  if (widget_.isNull() || !widget_->isWindow() || !requested_outer_size_.isValid()) return;
  if (widget_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  const QRect outer = widget_->frameGeometry();
  if (outer.size() != requested_outer_size_) SetRect(QRect(outer.topLeft(), requested_outer_size_));
}

QRect Window::ClientRect() const {
  const QWidget* client = ClientWidget();
  return client == nullptr ? QRect() : QRect(QPoint(0, 0), client->size());
}

QPoint Window::MapToClient(const QPoint& global) const {
  return widget_.isNull() ? global : ClientWidget()->mapFromGlobal(global);
}

QPoint Window::MapToGlobal(const QPoint& client) const {
  return widget_.isNull() ? client : ClientWidget()->mapToGlobal(client);
}

void Window::Show(ShowMode mode) {
  QWidget* widget = widget_.data();
  if (widget == nullptr) return;
  switch (mode) {
    case ShowMode::kHide: widget->hide(); break;
    case ShowMode::kShow:
      widget->setAttribute(Qt::WA_ShowWithoutActivating, false);
      widget->show();
      if (widget->isWindow()) widget->activateWindow();
      break;
    case ShowMode::kNormal:
      widget->setAttribute(Qt::WA_ShowWithoutActivating, false);
      widget->showNormal();
      if (widget->isWindow()) widget->activateWindow();
      break;
    case ShowMode::kNoActivate:
      widget->setAttribute(Qt::WA_ShowWithoutActivating, true);
      widget->show();
      break;
    case ShowMode::kMinimized: widget->showMinimized(); break;
    case ShowMode::kMaximized: widget->showMaximized(); break;
  }
}

bool Window::IsVisible() const { return !widget_.isNull() && widget_->isVisible(); }

void Window::Enable(bool enabled) {
  if (!widget_.isNull()) widget_->setEnabled(enabled);
}

bool Window::IsEnabled() const { return !widget_.isNull() && widget_->isEnabled(); }

void Window::SetFocus() {
  if (!widget_.isNull()) widget_->setFocus(Qt::OtherFocusReason);
}

bool Window::HasFocus() const { return !widget_.isNull() && widget_->hasFocus(); }

void Window::SetText(const QString& text) {
  if (!widget_.isNull()) widget_->setWindowTitle(text);
}

QString Window::Text() const { return widget_.isNull() ? QString() : widget_->windowTitle(); }

void Window::SetParentWindow(Window* parent) {
  if (widget_.isNull()) return;
  const bool visible = widget_->isVisible();
  const QRect rect = widget_->geometry();
  widget_->setParent(parent == nullptr ? nullptr : parent->ClientWidget());
  widget_->setGeometry(rect);
  widget_->setVisible(visible);
}

void Window::PlaceBehind(Window* above) {
  if (widget_.isNull()) return;
  if (above == nullptr || above->Widget() == nullptr) {
    widget_->raise();
  } else {
    widget_->stackUnder(above->Widget());
  }
}

void Window::Repaint() {
  if (!widget_.isNull()) widget_->update();
}

void Window::Destroy() {
  if (widget_.isNull() || destroy_started_) return;
  destroy_started_ = true;
  // As on the platform: the window hears kDestroy while it and its children still exist,
  // then the children go, then kFinalDestroy.
  Send(msg::kDestroy);
  for (Window* child : Children()) child->Destroy();
  QWidget* widget = widget_.data();
  if (widget != nullptr) {
    widget->hide();
    widget->removeEventFilter(&MessageFilter::Instance());
    // Qt deletes the widget when it is safe to.
    widget->deleteLater();
  }
  Finish();
}

void Window::WidgetDestroyed() {
  // Qt deleted the widget without Destroy (its parent went): the messages still come.
  if (!destroy_started_) {
    destroy_started_ = true;
    Send(msg::kDestroy);
  }
  Finish();
}

void Window::Finish() {
  if (destroying_) return;
  destroying_ = true;
  timers_.clear();
  UnregisterWindow(handle_);
  Send(msg::kFinalDestroy);
  // Deleted once the current message is done with it.
  const bool turn_asked = !FinishedWindows().empty();
  FinishedWindows().insert(this);
  if (!turn_asked) QTimer::singleShot(0, &DeleteFinishedWindows);
}

void DeleteFinishedWindows() {
  while (!FinishedWindows().empty()) {
    Window* window = *FinishedWindows().begin();
    FinishedWindows().erase(FinishedWindows().begin());
    delete window;
  }
}

void Window::RouteInputFrom(QWidget* part) {
  part->setProperty(kWindowProperty, QVariant::fromValue(static_cast<void*>(this)));
  // The part's input is the window's, once: not again on its way up to the window's widget.
  part->setAttribute(Qt::WA_NoMousePropagation);
  part->installEventFilter(&MessageFilter::Instance());
}

}  // namespace gui
