#pragma once

#include <QCursor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace units {

// One drag of a splitter bar, from the left press to the release or a cancel.
//
// While it runs it sees the program's input before any window does, as a local message
// loop would: the bar holds the mouse capture, pointer moves move the ghost, the left
// button's release accepts, and Esc, the right button or a lost capture (another window
// took it, the bar's window was deactivated or the bar hidden) cancel. The input it takes
// reaches no window, so no unit hears of it; everything else goes on as usual.
//
// The ghost is the bar's rectangle on the screen moved along the drag direction only: a
// light overlay window of its own, since the screen itself cannot be inverted. It exists
// only while the drag runs.
class SplitterDrag : public QObject {
 public:
  // How a drag ended: the bar's edge at the start, and the edge where the button was
  // released (nothing when the drag was cancelled).
  using Finished = std::function<void(int32_t start_edge, std::optional<int32_t> final_edge)>;

  SplitterDrag() = default;
  // A drag still running ends as cancelled, without reporting.
  ~SplitterDrag() override;

  bool Active() const { return active_; }

  // Starts a drag of `bar` (a child widget) from `start_cursor` (screen coordinates). The
  // edge that moves is the left one when `along_x`, else the top one; it stays between
  // the parent's client edges so that the whole bar fits. `finished` is called once, as
  // the last thing the drag does, after the capture is released and the ghost is gone.
  // Requires: no drag is running and `bar` has a parent.
  void Start(QWidget* bar, bool along_x, QPoint start_cursor, const QCursor& cursor,
             Finished finished);
  // Ends a running drag as cancelled, without reporting.
  void Cancel();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int32_t EdgeAt(QPoint cursor) const;
  QRect GhostRect(int32_t edge) const;
  void MoveGhost(int32_t edge);
  // Releases the capture, removes the ghost and stops watching input.
  void Stop();
  void End(std::optional<int32_t> final_edge);

  bool active_ = false;
  QPointer<QWidget> bar_;
  bool along_x_ = false;
  QPoint start_cursor_;
  int32_t start_edge_ = 0;
  int32_t lowest_edge_ = 0;
  int32_t highest_edge_ = 0;
  int32_t ghost_edge_ = 0;
  std::unique_ptr<QWidget> ghost_;
  Finished finished_;
};

}  // namespace units
