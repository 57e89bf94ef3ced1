#include "units/base/unit_methods.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "forms/forms_runtime.h"
#include "units/window/window_unit.h"

namespace units {

namespace {
gui::Window* LiveUnit(forms::FormId form, forms::UnitId unit) {
  return forms::FormsRuntime::Instance().UnitWindow(form, unit);
}
}  // namespace

void SetFocus(forms::FormId form, forms::UnitId unit) {
  if (gui::Window* window = LiveUnit(form, unit)) window->SetFocus();
}

void Move(forms::FormId form, forms::UnitId unit, std::optional<int32_t> left,
          std::optional<int32_t> top, std::optional<int32_t> width, std::optional<int32_t> height) {
  gui::Window* window = LiveUnit(form, unit);
  if (window == nullptr) return;
  const QRect current = window->Rect();
  QRect moved = current;
  if (left) moved.moveLeft(*left);
  if (top) moved.moveTop(*top);
  if (width && *width != -1) moved.setWidth(*width);
  if (height && *height != -1) moved.setHeight(*height);
  if (moved == current) return;
  window->SetRect(moved);
  window->Repaint();
}

// The widget's own size: the client widget inside it is laid out only once it is shown, and a
// layout runs before that.
int32_t InnerWidth(forms::FormId form, forms::UnitId unit) {
  gui::Window* window = LiveUnit(form, unit);
  return window == nullptr || window->Widget() == nullptr ? 0 : window->Widget()->width();
}

int32_t InnerHeight(forms::FormId form, forms::UnitId unit) {
  gui::Window* window = LiveUnit(form, unit);
  return window == nullptr || window->Widget() == nullptr ? 0 : window->Widget()->height();
}

void KeepInnerSizeAtLeast(forms::FormId form, forms::UnitId unit, int32_t width, int32_t height) {
  if (gui::Window* window = LiveUnit(form, unit)) window->SetSmallestInnerSize(QSize(width, height));
}

ScreenArea AvailableScreenArea(forms::FormId form, forms::UnitId unit) {
  gui::Window* window = LiveUnit(form, unit);
  const QScreen* screen = window != nullptr && window->Widget() != nullptr
                              ? window->Widget()->screen()
                              : QGuiApplication::primaryScreen();
  if (screen == nullptr) return {};
  const QRect area = screen->availableGeometry();
  return {area.x(), area.y(), area.width(), area.height()};
}

int64_t SendUnitMessage(forms::FormId form, forms::UnitId unit, uint32_t message, uint64_t wparam,
                        int64_t lparam) {
  gui::Window* window = LiveUnit(form, unit);
  return window == nullptr ? 0 : window->Send(message, wparam, lparam);
}

void Destroy(forms::FormId form, forms::UnitId unit, bool at_once) {
  gui::Window* window = LiveUnit(form, unit);
  if (window == nullptr) return;
  if (auto* form_window = dynamic_cast<WindowUnit*>(window)) {
    form_window->MarkForDestruction(at_once);
    return;
  }
  const bool had_children = !window->Children().empty();
  window->Destroy();
  if (had_children) return;
  forms::WindowTemplate* templ = forms::FormsRuntime::Instance().Templates().Find(form);
  if (templ == nullptr) return;
  const int32_t index = templ->IndexOf(unit);
  if (index <= 0) return;
  for (forms::UnitRecord& record : templ->units) {
    if (record.IsMenuItem()) continue;
    std::erase(record.Unit().children, unit);
  }
  templ->units.erase(templ->units.begin() + index);
}

}  // namespace units
