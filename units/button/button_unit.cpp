#include "units/button/button_unit.h"

#include <QImage>
#include <QPixmap>
#include <algorithm>

#include "forms/logical_font.h"
#include "units/base/common_events.h"
#include "units/base/property_bytes.h"
#include "units/button/push_button_widget.h"
#include "platform/gui/gbk_qstring.h"
#include "units/base/picture.h"

namespace units {

namespace {

enum ButtonProperty { kPicture, kButtonType, kCaption, kAlignment, kVerticalAlignment, kFont };



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
  data_.button_type = std::clamp(data_.button_type, 0, 1);
  data_.alignment = std::clamp(data_.alignment, 0, 2);
  data_.vertical_alignment = std::clamp(data_.vertical_alignment, 0, 2);
  PushButtonWidget* button = Button();
  button->setFocusPolicy((params.extra_style & forms::unit_style::kTabStop) ? Qt::StrongFocus
                                                                            : Qt::ClickFocus);
  button->SetPicture(PictureOf(data_.picture));
  button->SetCaption(gui::QStringOfGbk(data_.caption));
  SetText(button->Caption());
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

void ButtonUnit::ApplyFont() {
  const auto font = forms::LogicalFont::FromBytes(data_.font);
  Button()->setFont(font ? font->ToQFont() : forms::LogicalFont::Default().ToQFont());
}

std::optional<QString> ButtonUnit::MnemonicCaption() const {
  if (Button()->ShowsPicture()) return std::nullopt;
  return Button()->Caption();
}

int32_t ButtonUnit::WriteProperty(int32_t index, const forms::PropertyValue& value) {
  const auto number = static_cast<int32_t>(value.number);
  switch (index) {
    case kPicture:
      // The kind of button (text, icon or bitmap) is fixed when it is made.
      data_.picture = BytesOf(value.data);
      return 1;
    case kButtonType:
      data_.button_type = std::clamp(number, 0, 1);
      ApplyStyle();
      break;
    case kCaption:
      data_.caption = value.data;
      Button()->SetCaption(gui::QStringOfGbk(data_.caption));
      SetText(Button()->Caption());
      break;
    case kAlignment:
      data_.alignment = std::clamp(number, 0, 2);
      ApplyStyle();
      break;
    case kVerticalAlignment:
      data_.vertical_alignment = std::clamp(number, 0, 2);
      ApplyStyle();
      break;
    case kFont:
      data_.font = BytesOf(value.data);
      ApplyFont();
      break;
    default:
      break;
  }
  return 0;
}

bool ButtonUnit::ReadProperty(int32_t index, forms::PropertyValue* value) const {
  switch (index) {
    case kPicture:
      value->data = StringOf(data_.picture);
      return true;
    case kButtonType:
      value->number = data_.button_type;
      return true;
    case kCaption:
      value->data = data_.caption;
      return true;
    case kAlignment:
      value->number = data_.alignment;
      return true;
    case kVerticalAlignment:
      value->number = data_.vertical_alignment;
      return true;
    case kFont:
      value->data = StringOf(data_.font);
      return true;
    default:
      return false;
  }
}

int64_t ButtonUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  return DefaultProc(message);
}

}  // namespace units
