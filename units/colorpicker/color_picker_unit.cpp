#include "units/colorpicker/color_picker_unit.h"

#include <QColorDialog>
#include <QPainter>
#include <QPolygon>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <memory>

#include "units/base/painted_widget.h"
#include "units/base/painting.h"

namespace units {

namespace {

constexpr uint32_t kTransparent = ColorPickerClassData::kTransparent;

uint32_t ColorOfItem(int item) {
  if (item == ColorDropDown::kTransparentItem) return kTransparent;
  return ColorPalette()[static_cast<size_t>(item)].bgr;
}

}  // namespace

ColorPickerUnit::ColorPickerUnit(const forms::CreateParams& params, ColorPickerClassData data)
    : gui::Window(new PaintedWidget), UnitBase(params.form, params.unit), data_(data) {
  auto* widget = static_cast<PaintedWidget*>(Widget());
  // Called by Qt while the widget lives, and the widget never outlives this object.
  widget->paint = [this](QPainter& painter, const QRect&) { PaintBox(painter); };
  widget->setAttribute(Qt::WA_OpaquePaintEvent);
  widget->setFocusPolicy(Qt::StrongFocus);
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
}

ColorPickerUnit::~ColorPickerUnit() { CloseDropDown(); }

uint32_t ColorPickerUnit::ShownColor() const { return preview_ ? *preview_ : data_.ShownColor(); }

int ColorPickerUnit::ArrowWidth(const QStyle* style) {
  // The style has one edge metric and one scroll bar extent for both directions.
  const int edge = std::max(1, style->pixelMetric(QStyle::PM_DefaultFrameWidth));
  const int thumb = style->pixelMetric(QStyle::PM_ScrollBarExtent);
  return std::max(5 * edge, thumb);
}

void ColorPickerUnit::PaintBox(QPainter& painter) const {
  const QWidget* widget = Widget();
  const QPalette& colors = widget->palette();
  const bool enabled = widget->isEnabled();
  QRect inside = widget->rect();
  // The sunken edge: dark over light outside, shadow over midlight inside.
  DrawEdge(painter, inside, colors.dark().color(), colors.light().color());
  DrawEdge(painter, inside, colors.shadow().color(), colors.midlight().color());

  // The arrow button along the right edge, pressed while the drop-down is open.
  const int arrow_width = std::min(ArrowWidth(widget->style()), std::max(0, inside.width()));
  QRect button(inside.right() + 1 - arrow_width, inside.top(), arrow_width, inside.height());
  painter.fillRect(button, colors.button());
  if (drop_down_) {
    painter.setPen(colors.dark().color());
    painter.drawRect(button.adjusted(0, 0, -1, -1));
    button.translate(1, 1);
  } else {
    QRect ring = button;
    DrawEdge(painter, ring, colors.light().color(), colors.shadow().color());
    DrawEdge(painter, ring, colors.midlight().color(), colors.dark().color());
  }
  const QPoint tip(button.center().x(), button.center().y() + 2);
  const QPolygon arrow({tip + QPoint(-3, -3), tip + QPoint(3, -3), tip});
  const auto draw_arrow = [&](QPoint offset, const QColor& color) {
    painter.setPen(color);
    painter.setBrush(color);
    painter.drawPolygon(arrow.translated(offset));
  };
  if (enabled) {
    draw_arrow({}, colors.buttonText().color());
  } else {
    draw_arrow({1, 1}, colors.light().color());
    draw_arrow({}, colors.dark().color());
  }

  QRect area(inside.left(), inside.top(), inside.width() - arrow_width, inside.height());
  const uint32_t shown = ShownColor();
  const QString text = shown == kTransparent ? QString::fromUtf8("透明") : Text();
  const QRect swatch = area.adjusted(2, 2, -2, -2);
  if (enabled) {
    painter.fillRect(area, Qt::white);
    painter.fillRect(swatch, ColorOf(shown, Qt::white));
    painter.setPen(colors.windowText().color());
    painter.drawText(swatch, Qt::AlignCenter, text);
  } else {
    painter.fillRect(area, colors.button());
    painter.setPen(colors.light().color());
    painter.drawText(swatch.translated(1, 1), Qt::AlignCenter, text);
    painter.setPen(colors.dark().color());
    painter.drawText(swatch, Qt::AlignCenter, text);
  }
  if (widget->hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(widget);
    focus.rect = area.adjusted(1, 1, -1, -1);
    widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, widget);
  }
}

void ColorPickerUnit::OpenDropDown() {
  if (drop_down_ || !IsEnabled() || Widget() == nullptr) return;
  auto* drop_down = new ColorDropDown(data_.allow_transparent, data_.ShownColor());
  drop_down_ = drop_down;
  // The pop-up calls these while it lives; the unit clears them before it goes.
  drop_down->highlighted = [this](int item) { Preview(item); };
  drop_down->accepted = [this](int item) { Accept(item); };
  drop_down->cancelled = [this] { CloseDropDown(); };
  drop_down->Popup(QRect(Widget()->mapToGlobal(QPoint(0, 0)), Widget()->size()));
  Repaint();
}

void ColorPickerUnit::CloseDropDown() {
  preview_.reset();
  if (ColorDropDown* drop_down = drop_down_.data()) {
    drop_down_ = nullptr;
    drop_down->highlighted = nullptr;
    drop_down->accepted = nullptr;
    drop_down->cancelled = nullptr;
    drop_down->close();  // deletes itself
  }
  if (IsAlive()) Repaint();
}

void ColorPickerUnit::Preview(int item) {
  if (item == ColorDropDown::kNoItem || item == ColorDropDown::kOtherColorsItem) {
    preview_.reset();
  } else {
    preview_ = ColorOfItem(item);
  }
  Repaint();
}

void ColorPickerUnit::Accept(int item) {
  CloseDropDown();
  if (item == ColorDropDown::kOtherColorsItem) {
    // The dialog runs from the event loop, not from inside the pop-up's input.
    const gui::WindowHandle handle = Handle();
    QMetaObject::invokeMethod(
        Widget(), [handle] { ChooseOtherColor(handle); }, Qt::QueuedConnection);
    return;
  }
  SetChosenColor(ColorOfItem(item));
}

void ColorPickerUnit::ChooseOtherColor(gui::WindowHandle handle) {
  auto* unit = dynamic_cast<ColorPickerUnit*>(gui::Window::FromHandle(handle));
  if (unit == nullptr || !unit->IsAlive()) return;
  // The dialog has no parent: a handler run while it is open (a timer's) may destroy the
  // unit, and must not take the dialog with it.
  auto dialog = std::make_unique<QColorDialog>(ColorOf(unit->data_.ShownColor(), Qt::white));
  dialog->setOption(QColorDialog::DontUseNativeDialog);
  dialog->setWindowModality(Qt::ApplicationModal);
  const bool confirmed = dialog->exec() == QDialog::Accepted;
  unit = dynamic_cast<ColorPickerUnit*>(gui::Window::FromHandle(handle));
  if (!confirmed || unit == nullptr || !unit->IsAlive()) return;
  unit->SetChosenColor(BgrOf(dialog->selectedColor()));
}

void ColorPickerUnit::SetChosenColor(uint32_t color) {
  data_.current_color = color;
  Repaint();
  FireEvent(kColorChangedEvent);
}

int64_t ColorPickerUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  switch (message.id) {
    case gui::msg::kLeftButtonDown:
    case gui::msg::kLeftButtonDoubleClick:
      OpenDropDown();
      break;
    case gui::msg::kSetFocus:
    case gui::msg::kKillFocus:
      Repaint();
      break;
    case gui::msg::kDestroy:
      CloseDropDown();
      break;
    default:
      break;
  }
  return DefaultProc(message);
}

}  // namespace units
