#include "platform/gui/focus_holder.h"

#include <QPointer>
#include <QVariant>
#include <QWidget>

#include "platform/gui/message.h"
#include "platform/gui/window.h"
#include "platform/gui/window_handles.h"

namespace gui {

namespace {

// Kept on the top-level widget, so that it goes with it.
constexpr const char* kHolderProperty = "inkstone.focus_holder";

QWidget* TopLevelOf(const Window& window) {
  QWidget* widget = window.Widget();
  return widget == nullptr ? nullptr : widget->window();
}

WindowHandle HolderOf(const QWidget* top) {
  return top == nullptr ? 0 : top->property(kHolderProperty).value<WindowHandle>();
}

void SetHolder(QWidget* top, WindowHandle holder) {
  if (top != nullptr) top->setProperty(kHolderProperty, QVariant::fromValue(holder));
}

}  // namespace

void FocusHolder::FocusIn(Window& window) {
  const QPointer<QWidget> top = TopLevelOf(window);
  const WindowHandle handle = window.Handle();
  const WindowHandle previous = HolderOf(top);
  // A closing pop-up menu or the window's activation gives the focus back to the window
  // that had it: no news for anyone.
  if (previous == handle) return;
  // The focus moved while Qt sent no FocusOut that counted (the program moved it while the
  // top-level window was inactive, or under a pop-up): the old holder hears now. Nobody
  // holds the focus meanwhile, so that a move its handler makes is told as a move from
  // nobody.
  SetHolder(top, 0);
  if (Window* old = Window::FromHandle(previous);
      old != nullptr && old->IsAlive() && !old->InDestruction()) {
    old->Send(msg::kKillFocus);
  }
  // The old holder's handler may have moved the focus on, or destroyed this window.
  if (top.isNull() || HolderOf(top) != 0) return;
  Window* now = Window::FromHandle(handle);
  if (now == nullptr || !now->IsAlive() || !now->Widget()->hasFocus()) return;
  SetHolder(top, handle);
  now->Send(msg::kSetFocus);
}

void FocusHolder::FocusOut(Window& window, Qt::FocusReason reason) {
  // The window keeps the focus while a pop-up menu is open and while another top-level
  // window is active; the matching FocusIn is no news either.
  if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) return;
  QWidget* top = TopLevelOf(window);
  // Only the holder can lose the focus: a window never told it had it is told nothing.
  if (HolderOf(top) != window.Handle()) return;
  SetHolder(top, 0);
  window.Send(msg::kKillFocus);
}

}  // namespace gui
