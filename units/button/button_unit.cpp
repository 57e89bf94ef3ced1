#include "units/button/button_unit.h"

#include <QImage>
#include <QPixmap>

#include "forms/logical_font.h"
#include "units/button/push_button_widget.h"
#include "platform/gui/gbk_qstring.h"
#include "units/base/picture.h"

namespace units {

namespace {



// A picture that does not decode leaves a text button.
QPixmap PictureOf(const std::vector<uint8_t>& bytes) {
  const QImage image = DecodePicture(bytes);
  return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

}  // namespace

ButtonUnit::ButtonUnit(const forms::CreateParams& params, ButtonClassData data)
    : gui::Window(new PushButtonWidget),
      UnitBase(params.form, params.unit),
      data_(std::move(data)) {
  Properties().ClampAll(data_);
  PushButtonWidget* button = Button();
  button->setFocusPolicy((params.extra_style & forms::unit_style::kTabStop) ? Qt::StrongFocus
                                                                            : Qt::ClickFocus);
  button->SetPicture(PictureOf(data_.picture));
  ApplyCaption();
  ApplyStyle();
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
  ApplyFont();
  // The handler may destroy the button: reach it again through its handle.
  const gui::WindowHandle handle = Handle();
  QObject::connect(button, &QPushButton::clicked, button, [handle] {
    if (auto* unit = dynamic_cast<ButtonUnit*>(gui::Window::FromHandle(handle))) unit->Click();
  });
}

PushButtonWidget* ButtonUnit::Button() const { return static_cast<PushButtonWidget*>(Widget()); }

void ButtonUnit::ApplyStyle() {
  Button()->setDefault(data_.button_type == 1);
  Button()->SetAlignment(data_.alignment, data_.vertical_alignment);
}

void ButtonUnit::ApplyCaption() {
  Button()->SetCaption(gui::QStringOfGbk(data_.caption));
  SetText(Button()->Caption());
}

void ButtonUnit::ApplyFont() {
  const auto font = forms::LogicalFont::FromBytes(data_.font);
  Button()->setFont(font ? font->ToQFont() : forms::LogicalFont::Default().ToQFont());
}

std::optional<QString> ButtonUnit::MnemonicCaption() const {
  if (Button()->ShowsPicture()) return std::nullopt;
  return Button()->Caption();
}

int64_t ButtonUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  return DefaultProc(message);
}

}  // namespace units
