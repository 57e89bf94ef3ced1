#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/gui/message.h"
#include "platform/gui/window_handles.h"

class QObject;
class QPainter;
class QRegion;
class QTimer;

namespace gui {

// kShow shows and activates a window in the state it has (minimised, maximised or normal);
// kNormal also restores it.
enum class ShowMode { kHide, kShow, kNormal, kNoActivate, kMinimized, kMaximized };

// A window object: a real Qt widget behind an integer handle, with a window procedure.
//
// Input that reaches the widget becomes the platform's messages (key down/up with
// virtual-key codes, characters with their GBK code, mouse buttons and moves in client
// coordinates, wheel, focus). A message goes first through the application's
// pre-translation (which walks from the target up through its parents), then to the
// target's WindowProc; the widget's own handling runs only when WindowProc asks for the
// default processing (DefaultProc), and a character replaced on the way reaches the
// widget as the replacement. Each input event is one message, of its target window only:
// what the widget leaves unhandled never reaches the windows that hold it. A held key
// sends a key-down per repeat and one key-up; Ctrl with a letter also sends the letter's
// control character (Ctrl+V 0x16). Set-focus and kill-focus come in pairs, only for real
// changes of focus: a pop-up menu or another active top-level window takes nothing from
// the window that has the focus (see FocusHolder).
//
// Destroying a window (Destroy, or Qt deleting its widget with its parent) sends kDestroy
// while the window and its children still exist, then destroys the children, then sends
// kFinalDestroy once the handle names nothing any more. The object itself is deleted
// later, when the current message is done, so code running inside the window's own
// handler stays safe. Code that may outlive a window keeps its handle, never a pointer.
class Window {
 public:
  // Takes `widget` (which must not be owned by another window object).
  explicit Window(QWidget* widget);
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  static Window* FromHandle(WindowHandle handle);
  // The window object whose widget is `object` or holds it (an internal part of a
  // composite widget), or null.
  static Window* FromObject(const QObject* object);

  WindowHandle Handle() const { return handle_; }
  QWidget* Widget() const { return widget_.data(); }
  bool IsAlive() const { return !widget_.isNull() && !destroying_; }
  // The widget that child windows are placed in (below a menu bar, for instance).
  virtual QWidget* ClientWidget() const { return Widget(); }
  Window* Parent() const;
  std::vector<Window*> Children() const;
  bool IsTopLevel() const;
  // This window or one that holds it is being destroyed.
  bool InDestruction() const;

  // Messages.
  int64_t Send(uint32_t id, uint64_t wparam = 0, int64_t lparam = 0);
  void Post(uint32_t id, uint64_t wparam = 0, int64_t lparam = 0);
  // Runs a message the way input arrives: pre-translation, then WindowProc. Returns true
  // when the widget's own handling should run.
  bool Dispatch(Message& message);
  virtual int64_t WindowProc(Message& message) { return DefaultProc(message); }
  virtual bool PreTranslateMessage(Message&) { return false; }

  // Timers tick with kTimer (wparam the id) at least every 10 ms; a busy loop merges ticks.
  void SetTimer(uint64_t id, int32_t milliseconds);
  void KillTimer(uint64_t id);
  bool HasTimer(uint64_t id) const { return timers_.count(id) != 0; }

  // Geometry: positions are in the parent's client coordinates (screen for top-level
  // windows); sizes are outer sizes.
  QRect Rect() const;
  void SetRect(const QRect& rect);
  // A top-level window's frame is known only once it is shown; a size set before then was
  // taken as the outer size without it. Sets the outer size asked for last, when it differs.
  void ApplyRequestedOuterSize();
  // A top-level window cannot be made smaller than `inner` inside its frame, whatever frame
  // the window system gives it: a smaller size asked for, by the user, the window manager or a
  // program, becomes this one.
  void SetSmallestInnerSize(const QSize& inner);
  QRect ClientRect() const;  // (0, 0, client width, client height)
  QPoint MapToClient(const QPoint& global) const;
  QPoint MapToGlobal(const QPoint& client) const;

  void Show(ShowMode mode);
  bool IsVisible() const;
  void Enable(bool enabled);
  bool IsEnabled() const;
  void SetFocus();
  bool HasFocus() const;
  void SetText(const QString& text);
  QString Text() const;
  void SetParentWindow(Window* parent);
  // Places this window directly behind `above`, or on top when null.
  void PlaceBehind(Window* above);
  void Repaint();

  // Destroys the widget with its child windows.
  void Destroy();

 protected:
  // The widget's own handling of the message being dispatched.
  int64_t DefaultProc(Message& message);
  // Self-painted windows override this and call SetSelfPainted(true).
  virtual void Paint(QPainter&) {}
  void SetSelfPainted(bool self_painted) { self_painted_ = self_painted; }
  // Input that reaches `part`, an internal widget of a composite control, counts as input
  // of this window.
  void RouteInputFrom(QWidget* part);

 private:
  friend class MessageFilter;
  void WidgetDestroyed();
  void Finish();

  QPointer<QWidget> widget_;
  QSize requested_outer_size_;  // of a top-level window, as SetRect last asked
  WindowHandle handle_;
  bool destroy_started_ = false;  // kDestroy sent; the window still counts as alive
  bool destroying_ = false;       // gone: the handle names nothing any more
  bool self_painted_ = false;
  bool default_requested_ = false;
  std::map<uint64_t, std::unique_ptr<QTimer>> timers_;
};

// Deletes the finished windows still waiting for the loop's next turn; for the loop's end.
void DeleteFinishedWindows();

// Offers a message to the window objects from its target up through its parents, up to
// the top-level window; true when one of them handled it.
bool PreTranslateThroughWindows(Message& message);

}  // namespace gui
