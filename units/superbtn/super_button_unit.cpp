#include "units/superbtn/super_button_unit.h"

#include <QPainter>

#include "forms/logical_font.h"
#include "platform/gui/gbk_qstring.h"
#include "units/superbtn/super_button_widget.h"

namespace units {

SuperButtonUnit::SuperButtonUnit(const forms::CreateParams& params, SuperButtonClassData data)
    : gui::Window(new SuperButtonWidget),
      UnitBase(params.form, params.unit),
      data_(std::move(data)) {
  Properties().ClampAll(data_);
  pictures_.picture.SetBytes(data_.picture, data_.picture_color);
  pictures_.hot_picture.SetBytes(data_.hot_picture, data_.hot_picture_color);
  pictures_.disabled_picture.SetBytes(data_.disabled_picture, data_.disabled_picture_color);
  SuperButtonWidget* button = Button();
  // Called by Qt while the widget lives, and the widget never outlives this object.
  button->paint = [this](QPainter& painter) { PaintButton(painter); };
  button->setFocusPolicy((params.extra_style & forms::unit_style::kTabStop) ? Qt::StrongFocus
                                                                            : Qt::ClickFocus);
  SetText(gui::QStringOfGbk(data_.caption));
  button->setToolTip(gui::QStringOfGbk(data_.tool_tip));
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
  ApplyFont();
  // The handler may destroy the button: reach it again through its handle.
  const gui::WindowHandle handle = Handle();
  QObject::connect(button, &QAbstractButton::clicked, button, [handle] {
    if (auto* unit = dynamic_cast<SuperButtonUnit*>(gui::Window::FromHandle(handle))) {
      unit->Clicked();
    }
  });
}

SuperButtonWidget* SuperButtonUnit::Button() const {
  return static_cast<SuperButtonWidget*>(Widget());
}

SuperButtonState SuperButtonUnit::State() const {
  const SuperButtonWidget* button = Button();
  SuperButtonState state;
  state.pressed = button->isDown() || (data_.check_style && data_.checked);
  state.focused = button->hasFocus();
  state.disabled = !button->isEnabled();
  state.hot = button->IsHot();
  state.is_default = IsDefaultButton();
  return state;
}

void SuperButtonUnit::PaintButton(QPainter& painter) {
  const SuperButtonWidget* button = Button();
  PaintSuperButton(painter, button->rect(), data_, State(), pictures_, button->font(),
                   *button->style(), button->palette());
}

void SuperButtonUnit::RefreshColors() {
  // The system's colours are shown instead.
  if (!data_.use_system_colors) Repaint();
}

void SuperButtonUnit::ApplyPicture() {
  pictures_.picture.SetBytes(data_.picture, data_.picture_color);
  Repaint();
}

void SuperButtonUnit::ApplyPictureColor() {
  pictures_.picture.SetColor(data_.picture_color);
  Repaint();
}

void SuperButtonUnit::ApplyHotPicture() {
  pictures_.hot_picture.SetBytes(data_.hot_picture, data_.hot_picture_color);
  Repaint();
}

void SuperButtonUnit::ApplyHotPictureColor() {
  pictures_.hot_picture.SetColor(data_.hot_picture_color);
  Repaint();
}

void SuperButtonUnit::ApplyDisabledPicture() {
  pictures_.disabled_picture.SetBytes(data_.disabled_picture, data_.disabled_picture_color);
  Repaint();
}

void SuperButtonUnit::ApplyDisabledPictureColor() {
  pictures_.disabled_picture.SetColor(data_.disabled_picture_color);
  Repaint();
}

void SuperButtonUnit::ApplyFont() {
  const auto font = forms::LogicalFont::FromBytes(data_.font);
  Button()->setFont(font ? font->ToQFont() : forms::LogicalFont::Default().ToQFont());
}

void SuperButtonUnit::ApplyCaption() {
  SetText(gui::QStringOfGbk(data_.caption));
  Repaint();
}

void SuperButtonUnit::ApplyToolTip() { Button()->setToolTip(gui::QStringOfGbk(data_.tool_tip)); }

std::optional<QString> SuperButtonUnit::MnemonicCaption() const {
  return gui::QStringOfGbk(data_.caption);
}

bool SuperButtonUnit::IsDefaultButton() const {
  // A toggling button is never the default one.
  return data_.default_button == 1 && !data_.check_style;
}

void SuperButtonUnit::Click() { Button()->click(); }

void SuperButtonUnit::Clicked() {
  if (data_.check_style) {
    data_.checked = !data_.checked;
    Repaint();
  }
  FireEvent(kClickedEvent);
}

int64_t SuperButtonUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  return DefaultProc(message);
}

}  // namespace units
