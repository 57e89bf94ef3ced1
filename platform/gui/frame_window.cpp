#include "platform/gui/frame_window.h"

#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QVBoxLayout>

#include "platform/gui/virtual_keys.h"

namespace gui {

// The client area: child windows live here, and its painting is the frame window's.
class ClientArea : public QWidget {
 public:
  explicit ClientArea(FrameWindow* frame) : frame_(frame) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    frame_->PaintClient(painter);
  }

 private:
  FrameWindow* frame_;
};

FrameWindow::FrameWindow() : Window(new QWidget) {
  auto* layout = new QVBoxLayout(Widget());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  menu_bar_ = new QMenuBar;
  menu_bar_->hide();
  layout->setMenuBar(menu_bar_);
  client_ = new ClientArea(this);
  client_->setAutoFillBackground(false);
  layout->addWidget(client_);
  RouteInputFrom(client_);
}

void FrameWindow::SetMenuBar(const std::vector<MenuEntry>& entries) {
  menu_bar_->clear();
  const WindowHandle handle = Handle();
  const auto post = [handle](uint32_t command) {
    if (Window* window = Window::FromHandle(handle)) window->Post(msg::kCommand, command);
  };
  for (const MenuEntry& entry : entries) {
    QMenu* menu = menu_bar_->addMenu(entry.caption);
    menu->setEnabled(!entry.disabled);
    FillMenu(*menu, entry.entries, post);
  }
  menu_bar_->setVisible(!entries.empty());
}

void FrameWindow::RepaintClient() { client_->update(); }

bool FrameWindow::TranslateAccelerator(const Message& message) {
  if (message.id != msg::kKeyDown && message.id != msg::kSysKeyDown) return false;
  const Qt::KeyboardModifiers held = CurrentModifiers();
  uint32_t modifiers = 0;
  if (held & Qt::ShiftModifier) modifiers |= 0x04;
  if (held & Qt::ControlModifier) modifiers |= 0x08;
  if (held & Qt::AltModifier) modifiers |= 0x10;
  for (const Accelerator& accelerator : accelerators_) {
    if (accelerator.virtual_key == static_cast<int32_t>(message.wparam) &&
        accelerator.modifiers == modifiers) {
      Send(msg::kCommand, accelerator.command);
      return true;
    }
  }
  return false;
}

}  // namespace gui
