#include "units/editbox/edit_box_unit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <algorithm>

#include "forms/logical_font.h"
#include "platform/gui/gbk_chars.h"
#include "platform/gui/virtual_keys.h"
#include "units/base/common_events.h"
#include "units/base/painting.h"
#include "units/editbox/input_mode.h"

namespace units {

namespace {

// The height of a window edge, which a single-line box keeps above and below its font.
constexpr int32_t kEdgeHeight = 2;

QChar MaskOf(uint16_t code) {
  if (code == 0) return QChar();
  const QString text = gui::TextOfGbkCharCode(code);
  return text.isEmpty() ? QChar() : text[0];
}


}  // namespace

EditBoxUnit* EditBoxUnit::Create(const forms::CreateParams& params) {
  std::optional<EditBoxClassData> data = EditBoxClassData::Read(params.class_data);
  if (!data) return nullptr;
  Properties().ClampAll(*data);
  EditControlStyle style;
  style.multi_line = data->multi_line;
  style.scroll_bars = data->scroll_bars;
  style.alignment = data->alignment;
  return new EditBoxUnit(params, std::move(*data), EditControl::Make(style));
}

EditBoxUnit::EditBoxUnit(const forms::CreateParams& params, EditBoxClassData data,
                         std::unique_ptr<EditControl> control)
    : gui::Window(control->Widget()),
      UnitBase(params.form, params.unit),
      data_(std::move(data)),
      control_(std::move(control)) {
  positions_.crlf_lines = data_.multi_line;
  QWidget* widget = Widget();
  widget->setFocusPolicy(Qt::StrongFocus);
  if (auto* editor = qobject_cast<QPlainTextEdit*>(widget)) RouteInputFrom(editor->viewport());
  control_->on_placement_changed = [this] { PlaceSpin(); };
  if (params.parent != nullptr) SetParentWindow(params.parent);
  SetRect(params.rect);
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);

  ApplyColors();
  ApplyFont();
  control_->SetMaxLength(data_.max_length);
  ApplyInputMode();
  SetTextQuietly(positions_.Decode(data_.content));
  data_.content.clear();  // the widget holds the text from now on
  if (!data_.multi_line && data_.spin_mode != 0 && widget->parentWidget() != nullptr) {
    spin_ = new SpinControl(widget->parentWidget());
    ApplySpinRange();
    spin_->SetEdge(data_.border == 0 || data_.border == 1 || data_.border == 3);
    spin_->on_step = [handle = Handle()](int32_t direction) {
      if (auto* box = dynamic_cast<EditBoxUnit*>(gui::Window::FromHandle(handle)))
        box->Step(direction);
    };
    PlaceSpin();
  }
  SelectBytes(data_.sel_start, int64_t{data_.sel_start} + data_.sel_length);
  control_->SetBorder(data_.border);
  control_->on_text_changed = [this] { TextChanged(); };
}

EditBoxUnit::~EditBoxUnit() {
  control_->Detach();
  delete spin_.data();
}

std::string EditBoxUnit::Content() const {
  if (!content_cache_) content_cache_ = positions_.Encode(control_->Text());
  return *content_cache_;
}

int64_t EditBoxUnit::MeasureContent(GbkMeasure measure) const {
  if (const std::optional<int64_t> sum = control_->SumOverLines(measure)) return *sum;
  return measure(Content());
}

void EditBoxUnit::SetTextQuietly(const QString& text) {
  ++quiet_;
  control_->SetText(text);
  control_->Select(0, 0);
  --quiet_;
  content_cache_.reset();
}

void EditBoxUnit::ExtendOrSetTextQuietly(const QString& text) {
  const QString current = control_->Text();
  // A text written into an empty box is a new text (a chapter loaded after an empty one),
  // never an edit that undo could take out again.
  if (current.isEmpty() || !text.startsWith(current)) {
    SetTextQuietly(text);
    return;
  }
  ++quiet_;
  const bool appended = control_->AppendAsEdit(text.sliced(current.size()));
  if (appended) control_->Select(0, 0);  // where a whole write leaves the caret
  --quiet_;
  content_cache_.reset();
  if (!appended) SetTextQuietly(text);
}

void EditBoxUnit::TextChanged() {
  content_cache_.reset();
  if (quiet_ == 0) FireContentChanged();
}

bool EditBoxUnit::FireContentChanged() {
  const gui::WindowHandle handle = Handle();
  FireEvent(edit_box_event::kContentChanged);
  return gui::IsWindowAlive(handle);
}

void EditBoxUnit::ApplyColors() {
  const QPalette standard = QApplication::palette();
  control_->SetColors(ColorOf(data_.text_color, standard.color(QPalette::Text)),
                      ColorOf(data_.back_color, standard.color(QPalette::Button)),
                      data_.hide_selection);
}

void EditBoxUnit::ApplyFont() {
  const std::optional<forms::LogicalFont> stored = forms::LogicalFont::FromBytes(data_.font);
  const QFont font = (stored ? *stored : forms::LogicalFont::Default()).ToQFont();
  control_->SetFont(font);
  if (data_.multi_line) return;
  // A single-line box is at least as high as its font and two edges.
  const int32_t wanted = QFontMetrics(font).height() + 2 * kEdgeHeight;
  QRect rect = Rect();
  if (rect.height() < wanted) {
    rect.setHeight(wanted);
    SetRect(rect);
  }
}

void EditBoxUnit::ApplyInputMode() {
  control_->SetReadOnly(data_.input_mode == input_mode::kReadOnly);
  control_->SetPasswordChar(data_.input_mode == input_mode::kPassword ? MaskOf(data_.password_char)
                                                                      : QChar());
  Repaint();
}

void EditBoxUnit::PlaceSpin() {
  SpinControl* spin = spin_.data();
  QWidget* widget = Widget();
  if (spin == nullptr || widget == nullptr || !IsAlive()) return;
  if (spin->parentWidget() != widget->parentWidget()) spin->setParent(widget->parentWidget());
  const QRect box = widget->geometry();
  spin->setGeometry(box.right() + 1, box.top(), SpinControl::kWidth, box.height());
  spin->setEnabled(widget->isEnabled());
  spin->setVisible(!widget->isHidden());
  spin->stackUnder(widget);
}

void EditBoxUnit::SelectBytes(int64_t start, int64_t end) {
  const QString text = control_->Text();
  const int32_t from = positions_.IndexOfOffset(text, std::max<int64_t>(start, 0));
  const int32_t to = end < 0 ? static_cast<int32_t>(text.size())
                             : positions_.IndexOfOffset(text, std::max<int64_t>(end, 0));
  control_->Select(from, to);
}

void EditBoxUnit::ReadContent(forms::PropertyValue* value) const { value->data = Content(); }

int32_t EditBoxUnit::WriteContent(const forms::PropertyValue& value) {
  // The program appends to the text it shows (a line break after Enter, say) by writing
  // the whole of it again; the author must still be able to undo what came before.
  ExtendOrSetTextQuietly(positions_.Decode(value.data));
  FireContentChanged();
  return 0;
}

void EditBoxUnit::ReadSelStart(forms::PropertyValue* value) const {
  const QString text = control_->Text();
  int32_t start = 0, end = 0;
  control_->Selection(&start, &end);
  value->number = positions_.ByteLength(QStringView(text).left(start));
}

int32_t EditBoxUnit::WriteSelStart(const forms::PropertyValue& value) {
  // -1 puts the caret at the end; the selection becomes a caret at the new start.
  const auto number = static_cast<int32_t>(value.number);
  const QString text = control_->Text();
  const int32_t at = number == -1 ? static_cast<int32_t>(text.size())
                                  : positions_.IndexOfOffset(text, std::max(number, 0));
  control_->Select(at, at);
  return 0;
}

void EditBoxUnit::ReadSelLength(forms::PropertyValue* value) const {
  const QString text = control_->Text();
  int32_t start = 0, end = 0;
  control_->Selection(&start, &end);
  value->number = positions_.ByteLength(QStringView(text).mid(start, end - start));
}

int32_t EditBoxUnit::WriteSelLength(const forms::PropertyValue& value) {
  const auto number = static_cast<int32_t>(value.number);
  if (number == -1) {
    control_->Select(0, control_->Length());
    return 0;
  }
  const QString text = control_->Text();
  int32_t start = 0, end = 0;
  control_->Selection(&start, &end);
  const int64_t start_bytes = positions_.ByteLength(QStringView(text).left(start));
  control_->Select(start, positions_.IndexOfOffset(text, start_bytes + std::max(number, 0)));
  return 0;
}

void EditBoxUnit::ReadSelText(forms::PropertyValue* value) const {
  value->data = positions_.Encode(control_->SelectedText());
}

int32_t EditBoxUnit::WriteSelText(const forms::PropertyValue& value) {
  control_->ReplaceSelection(positions_.Decode(value.data), false);
  return 0;
}

void EditBoxUnit::ApplyBorder() {
  control_->SetBorder(data_.border);
  if (spin_) spin_->SetEdge(data_.border == 0 || data_.border == 1 || data_.border == 3);
}

void EditBoxUnit::ApplyMaxLength() { control_->SetMaxLength(data_.max_length); }

void EditBoxUnit::ApplyPasswordChar() {
  if (data_.input_mode == input_mode::kPassword) ApplyInputMode();
}

void EditBoxUnit::ApplySpinRange() {
  if (!spin_) return;
  spin_->SetRange(std::min(data_.spin_min, data_.spin_max),
                  std::max(data_.spin_min, data_.spin_max));
}

EditBoxClassData EditBoxUnit::Data() const {
  EditBoxClassData data = data_;
  data.content = Content();
  forms::PropertyValue value;
  ReadSelStart(&value);
  data.sel_start = static_cast<int32_t>(value.number);
  ReadSelLength(&value);
  data.sel_length = static_cast<int32_t>(value.number);
  return data;
}

bool EditBoxUnit::OwnsKey(const gui::Message& message) const {
  return message.id == gui::msg::kKeyDown && message.wparam == gui::vk::kReturn &&
         data_.multi_line && data_.input_mode != input_mode::kReadOnly;
}

void EditBoxUnit::AppendText(const std::string& gbk) {
  const int32_t end = control_->Length();
  control_->Select(end, end);
  control_->ReplaceSelection(positions_.Decode(gbk), true);
}

void EditBoxUnit::Step(int32_t direction) {
  if (!IsVisible() || !IsEnabled() || spin_.isNull()) return;
  if (data_.spin_mode == 2) {
    FireEvent(edit_box_event::kSpinStep, {direction > 0 ? 1 : -1});
    return;
  }
  const int64_t low = spin_->Low();
  const int64_t high = spin_->High();
  // Kept inside one step of the range, so that the arithmetic cannot overflow.
  int64_t value = std::clamp<int64_t>(LeadingInteger(Content()), low - 1, high + 1);
  value += direction > 0 ? 1 : -1;
  if (value > high) value = low;
  if (value < low) value = high;
  const QString text = QString::number(value);
  SetTextQuietly(text);
  control_->Select(0, static_cast<int32_t>(text.size()));
  SetFocus();
  FireContentChanged();
}

void EditBoxUnit::NormalizeOnFocusLoss() {
  if (data_.input_mode < input_mode::kByte) return;
  const std::string before = Content();
  const std::string after = NormalizeForMode(data_.input_mode, before);
  if (after == before) return;
  int32_t start = 0, end = 0;
  control_->Selection(&start, &end);
  SetTextQuietly(positions_.Decode(after));
  const int32_t caret = std::min(start, control_->Length());
  control_->Select(caret, caret);
  FireContentChanged();
}

int64_t EditBoxUnit::WindowProc(gui::Message& message) {
  if (message.id == gui::msg::kKillFocus) {
    // The content is normalised before FocusLost reports the change of focus.
    const gui::WindowHandle handle = Handle();
    NormalizeOnFocusLoss();
    if (!gui::IsWindowAlive(handle)) return 0;
  }
  if (!HandleCommonMessage(*this, message)) return 0;
  switch (message.id) {
    case gui::msg::kChar: {
      if (!AcceptsTypedCharacter(data_.input_mode, message.wparam)) return 0;
      const uint64_t code = message.wparam;
      if (data_.case_conversion == 1 && code >= 'A' && code <= 'Z') message.wparam = code + 32;
      if (data_.case_conversion == 2 && code >= 'a' && code <= 'z') message.wparam = code - 32;
      break;
    }
    case kSelectRangeMessage: {
      const auto start = static_cast<int32_t>(message.wparam);
      const auto end = static_cast<int32_t>(message.lparam);
      if (start == -1) {
        int32_t from = 0, to = 0;
        control_->Selection(&from, &to);
        control_->Select(to, to);
      } else {
        SelectBytes(std::max(start, 0), end);
      }
      return 0;
    }
    case kCanUndoMessage:
      return control_->CanUndo() ? 1 : 0;
    case kEmptyUndoBufferMessage:
      // The text stays; a line edit sets it again to forget, which is no change.
      ++quiet_;
      control_->EmptyUndoHistory();
      --quiet_;
      return 0;
    case gui::msg::kDestroy:
      control_->Detach();
      delete spin_.data();
      break;
    default:
      break;
  }
  return DefaultProc(message);
}

}  // namespace units
