#include "units/label/label_unit.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <functional>

#include "forms/forms_runtime.h"
#include "forms/logical_font.h"
#include "platform/core/code_page.h"
#include "units/base/property_bytes.h"
#include "units/label/label_painter.h"

namespace units {

namespace {

enum LabelProperty {
  kCaption,
  kEffect,
  kBorder,
  kFrameWidth,
  kFrameColor1,
  kFrameColor2,
  kFrameColor3,
  kFont,
  kTextColor,
  kBackColor,
  kBackPicture,
  kBackPictureMode,
  kGradientMode,
  kGradientColor1,
  kGradientColor2,
  kGradientColor3,
  kAlignment,
  kWordWrap,
  kVerticalAlignment,
  kDataSource,
  kDataColumn,
};

constexpr int32_t kSmallestFrameWidth = 5;

// The label's widget hands its paint events, with the exposed part, to the unit. Mouse
// input ends at the label, as it does at any window: the window under it hears nothing.
class LabelWidget : public QWidget {
 public:
  std::function<void(QPainter&, const QRect&)> paint;

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (!paint) return;
    QPainter painter(this);
    paint(painter, event->rect());
  }
  void mousePressEvent(QMouseEvent* event) override { event->accept(); }
  void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }
  void mouseDoubleClickEvent(QMouseEvent* event) override { event->accept(); }
  void mouseMoveEvent(QMouseEvent* event) override { event->accept(); }
};

QString FromGbk(const std::string& gbk) {
  return QString::fromStdU16String(platform::GbkToUtf16(gbk));
}


void Clamp(LabelClassData& data) {
  data.effect = std::clamp(data.effect, 0, 3);
  data.border = std::clamp(data.border, 0, 6);
  data.frame_width = std::max(data.frame_width, kSmallestFrameWidth);
  data.back_picture_mode = std::clamp(data.back_picture_mode, 0, 2);
  data.gradient_mode = std::clamp(data.gradient_mode, 0, 8);
  data.alignment = std::clamp(data.alignment, 0, 2);
  data.vertical_alignment = std::clamp(data.vertical_alignment, 0, 2);
}

}  // namespace

LabelUnit::LabelUnit(const forms::CreateParams& params, LabelClassData data)
    : gui::Window(new LabelWidget), UnitBase(params.form, params.unit), data_(std::move(data)) {
  Clamp(data_);
  auto* widget = static_cast<LabelWidget*>(Widget());
  // Called by Qt while the widget lives, and the widget never outlives this object.
  widget->paint = [this](QPainter& painter, const QRect& exposed) {
    PaintExposed(painter, exposed);
  };
  widget->setAttribute(Qt::WA_OpaquePaintEvent);
  widget->setFocusPolicy(Qt::NoFocus);
  SetText(FromGbk(data_.caption));
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
}

const QImage* LabelUnit::Picture() {
  if (data_.back_picture.empty()) return nullptr;
  if (!picture_) {
    QImage image;
    image.loadFromData(data_.back_picture.data(), static_cast<int>(data_.back_picture.size()));
    picture_ = std::move(image);
  }
  return picture_->isNull() ? nullptr : &*picture_;
}

void LabelUnit::PaintExposed(QPainter& painter, const QRect& exposed) {
  const auto font = forms::LogicalFont::FromBytes(data_.font);
  PaintLabel(painter, Widget()->rect(), exposed, data_, Picture(),
             font ? font->ToQFont() : forms::LogicalFont::Default().ToQFont(), Widget()->palette());
}

std::optional<QString> LabelUnit::MnemonicCaption() const { return FromGbk(data_.caption); }

void LabelUnit::ActivateByMnemonic() {
  // Tab order is record order: the focus goes to the next unit after this one that takes
  // it, coming round from the start when none follows.
  forms::FormsRuntime& forms = forms::FormsRuntime::Instance();
  const forms::WindowTemplate* window = forms.Templates().Find(Form());
  if (window == nullptr) return;
  const int32_t self = window->IndexOf(Unit());
  if (self < 0) return;
  const auto count = static_cast<int32_t>(window->units.size());
  for (int32_t step = 1; step < count; ++step) {
    const forms::UnitRecord& record = window->units[static_cast<size_t>((self + step) % count)];
    if (record.IsMenuItem() || record.id == window->units[0].id) continue;
    gui::Window* live = forms.RecordWindow(record.Unit());
    if (live == nullptr || !live->IsVisible() || !live->IsEnabled()) continue;
    if ((live->Widget()->focusPolicy() & Qt::TabFocus) == 0) continue;
    live->SetFocus();
    return;
  }
}

int32_t LabelUnit::WriteProperty(int32_t index, const forms::PropertyValue& value) {
  const auto number = static_cast<int32_t>(value.number);
  const auto color = static_cast<uint32_t>(value.number);
  switch (index) {
    case kCaption:
      data_.caption = value.data;
      SetText(FromGbk(data_.caption));
      break;
    case kEffect:
      data_.effect = number;
      break;
    case kBorder:
      data_.border = number;
      break;
    case kFrameWidth:
      data_.frame_width = number;
      break;
    case kFrameColor1:
      data_.frame_colors[0] = color;
      break;
    case kFrameColor2:
      data_.frame_colors[1] = color;
      break;
    case kFrameColor3:
      data_.frame_colors[2] = color;
      break;
    case kFont:
      data_.font = BytesOf(value.data);
      break;
    case kTextColor:
      data_.text_color = color;
      break;
    case kBackColor:
      data_.back_color = color;
      break;
    case kBackPicture:
      data_.back_picture = BytesOf(value.data);
      picture_.reset();
      break;
    case kBackPictureMode:
      data_.back_picture_mode = number;
      break;
    case kGradientMode:
      data_.gradient_mode = number;
      break;
    case kGradientColor1:
      data_.gradient_colors[0] = color;
      break;
    case kGradientColor2:
      data_.gradient_colors[1] = color;
      break;
    case kGradientColor3:
      data_.gradient_colors[2] = color;
      break;
    case kAlignment:
      data_.alignment = number;
      break;
    case kWordWrap:
      data_.word_wrap = number != 0;
      break;
    case kVerticalAlignment:
      data_.vertical_alignment = number;
      break;
    // The application binds no label to a data source: the names are only kept.
    case kDataSource:
      data_.data_source = value.data;
      break;
    case kDataColumn:
      data_.data_column = value.data;
      break;
    default:
      return 0;
  }
  Clamp(data_);
  Repaint();
  return 0;
}

bool LabelUnit::ReadProperty(int32_t index, forms::PropertyValue* value) const {
  switch (index) {
    case kCaption:
      value->data = data_.caption;
      return true;
    case kEffect:
      value->number = data_.effect;
      return true;
    case kBorder:
      value->number = data_.border;
      return true;
    case kFrameWidth:
      value->number = data_.frame_width;
      return true;
    case kFrameColor1:
      value->number = data_.frame_colors[0];
      return true;
    case kFrameColor2:
      value->number = data_.frame_colors[1];
      return true;
    case kFrameColor3:
      value->number = data_.frame_colors[2];
      return true;
    case kFont:
      value->data = StringOf(data_.font);
      return true;
    case kTextColor:
      value->number = data_.text_color;
      return true;
    case kBackColor:
      value->number = data_.back_color;
      return true;
    case kBackPicture:
      value->data = StringOf(data_.back_picture);
      return true;
    case kBackPictureMode:
      value->number = data_.back_picture_mode;
      return true;
    case kGradientMode:
      value->number = data_.gradient_mode;
      return true;
    case kGradientColor1:
      value->number = data_.gradient_colors[0];
      return true;
    case kGradientColor2:
      value->number = data_.gradient_colors[1];
      return true;
    case kGradientColor3:
      value->number = data_.gradient_colors[2];
      return true;
    case kAlignment:
      value->number = data_.alignment;
      return true;
    case kWordWrap:
      value->number = data_.word_wrap ? 1 : 0;
      return true;
    case kVerticalAlignment:
      value->number = data_.vertical_alignment;
      return true;
    case kDataSource:
      value->data = data_.data_source;
      return true;
    case kDataColumn:
      value->data = data_.data_column;
      return true;
    default:
      return false;
  }
}

int64_t LabelUnit::WindowProc(gui::Message& message) {
  switch (message.id) {
    case kLabelFeedbackMessage: {
      const forms::EventOutcome outcome =
          FireEvent(kFeedbackEvent,
                    {static_cast<int32_t>(message.wparam), static_cast<int32_t>(message.lparam)});
      return outcome.has_value ? outcome.value : 0;
    }
    case gui::msg::kFinalDestroy:
      ReportDestroyed();
      break;
    default:
      break;
  }
  return DefaultProc(message);
}

}  // namespace units
