#pragma once

#include <Qt>

namespace gui {

class Window;

// Which window of a top-level window holds the keyboard focus as the program sees it, and
// the set-focus and kill-focus messages that follow from Qt's focus events.
//
// Qt moves its focus for reasons that are no change of focus for a window: a pop-up menu
// takes the keyboard while it is open and hands it back when it closes, and a top-level
// window that is deactivated and activated again (another program's window, a message
// box, Alt+Tab) gives the focus back to the window that had it, with its caret and
// selection. Such a move sends nothing: the window keeps the focus, and one kill-focus
// follows every set-focus. Every other move (Tab, a click, a program's SetFocus) sends
// kill-focus to the window that held it, then set-focus to the new one — also when the new
// one comes to it by an activation or a closing pop-up after the program moved the focus
// while the top-level window was inactive.
//
// Each top-level window keeps its holder by handle, so a holder that was destroyed is
// simply none.
class FocusHolder {
 public:
  // Qt's FocusIn of `window`'s own widget, whatever the reason: only who held the focus
  // before tells whether it is news.
  static void FocusIn(Window& window);
  // Qt's FocusOut of `window`'s own widget, for `reason`.
  static void FocusOut(Window& window, Qt::FocusReason reason);
};

}  // namespace gui
