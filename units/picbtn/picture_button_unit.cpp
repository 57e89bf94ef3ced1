#include "units/picbtn/picture_button_unit.h"

#include "units/base/painting.h"
#include "units/base/picture.h"

namespace units {

namespace {

const std::vector<uint8_t>& PictureBytes(const PictureButtonClassData& data,
                                         PictureButtonWidget::Slot slot) {
  switch (slot) {
    case PictureButtonWidget::kHotPicture:
      return data.hot_picture;
    case PictureButtonWidget::kPressedPicture:
      return data.pressed_picture;
    case PictureButtonWidget::kDisabledPicture:
      return data.disabled_picture;
    default:
      return data.normal_picture;
  }
}

}  // namespace

PictureButtonUnit::PictureButtonUnit(const forms::CreateParams& params, PictureButtonClassData data)
    : gui::Window(new PictureButtonWidget),
      UnitBase(params.form, params.unit),
      data_(std::move(data)) {
  Properties().ClampAll(data_);
  PictureButtonWidget* button = Button();
  button->SetToggle(data_.toggle_type == 1);
  button->SetChecked(data_.checked);
  for (int slot = 0; slot < PictureButtonWidget::kSlotCount; ++slot) {
    const auto picture = static_cast<PictureButtonWidget::Slot>(slot);
    button->SetPicture(picture, DecodePicture(PictureBytes(data_, picture)));
  }
  ApplyTransparentColor();
  // Called by the widget while it lives, and the widget never outlives this object.
  button->clicked = [this] { Click(); };
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
}

PictureButtonWidget* PictureButtonUnit::Button() const {
  return static_cast<PictureButtonWidget*>(Widget());
}

template <PictureButtonWidget::Slot slot>
void PictureButtonUnit::ApplyPicture() {
  Button()->SetPicture(slot, DecodePicture(PictureBytes(data_, slot)));
}
template void PictureButtonUnit::ApplyPicture<PictureButtonWidget::kNormalPicture>();
template void PictureButtonUnit::ApplyPicture<PictureButtonWidget::kHotPicture>();
template void PictureButtonUnit::ApplyPicture<PictureButtonWidget::kPressedPicture>();
template void PictureButtonUnit::ApplyPicture<PictureButtonWidget::kDisabledPicture>();

void PictureButtonUnit::ApplyToggleType() { Button()->SetToggle(data_.toggle_type == 1); }

void PictureButtonUnit::ApplyTransparentColor() {
  const uint32_t bgr = data_.transparent_color;
  if (bgr == PictureButtonClassData::kNoShaping) {
    Button()->SetTransparentColor(std::nullopt);
  } else {
    Button()->SetTransparentColor(ColorOf(bgr, QColor()).rgb());
  }
}

void PictureButtonUnit::ReadChecked(forms::PropertyValue* value) const {
  value->number = Button()->Checked() ? 1 : 0;
}

int32_t PictureButtonUnit::WriteChecked(const forms::PropertyValue& value) {
  if (data_.toggle_type != 1) return 0;
  data_.checked = value.number != 0;
  Button()->SetChecked(data_.checked);
  return 0;
}

void PictureButtonUnit::Click() {
  // A toggle button has flipped its state: keep it for a saved state.
  data_.checked = Button()->Checked();
  FireEvent(kClickedEvent);
}

int64_t PictureButtonUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  return DefaultProc(message);
}

}  // namespace units
