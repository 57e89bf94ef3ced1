#pragma once

#include <QWidget>
#include <vector>

#include "platform/gui/menu.h"
#include "platform/gui/window.h"

class QMenuBar;

namespace gui {

// A top-level window with an optional menu bar above its client area and an accelerator
// table for its shortcut keys.
class FrameWindow : public Window {
 public:
  FrameWindow();

  QWidget* ClientWidget() const override { return client_; }

  // Replaces the menu bar (none when `entries` is empty); chosen entries post kCommand.
  void SetMenuBar(const std::vector<MenuEntry>& entries);
  void SetAccelerators(std::vector<Accelerator> accelerators) {
    accelerators_ = std::move(accelerators);
  }
  // A key-down that matches an accelerator becomes its command (sent at once); true then.
  bool TranslateAccelerator(const Message& message);

 protected:
  // Paints the client area; the default leaves it to the style's background.
  virtual void PaintClient(QPainter&) {}
  void RepaintClient();

 private:
  friend class ClientArea;
  QWidget* client_;
  QMenuBar* menu_bar_;
  std::vector<Accelerator> accelerators_;
};

}  // namespace gui
