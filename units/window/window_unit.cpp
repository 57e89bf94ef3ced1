#include "units/window/window_unit.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <utility>

#include "forms/forms_runtime.h"
#include "forms/menu_builder.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "platform/core/program_path.h"
#include "platform/gui/virtual_keys.h"
#include "units/base/common_events.h"
#include "units/base/painting.h"
#include "units/window/window_shapes.h"
#include "platform/gui/gbk_qstring.h"
#include "units/base/picture.h"

namespace units {

namespace {

bool IsResizableBorder(int32_t border) { return border == 1 || border == 3 || border == 5; }

bool IsKeyboardMessage(uint32_t id) {
  return id == gui::msg::kKeyDown || id == gui::msg::kKeyUp || id == gui::msg::kChar ||
         id == gui::msg::kSysKeyDown || id == gui::msg::kSysKeyUp;
}

}  // namespace

WindowUnit::WindowUnit(const forms::CreateParams& params, WindowClassData data)
    : UnitBase(params.form, params.unit), data_(std::move(data)) {
  if (params.parent != nullptr && params.parent->Widget() != nullptr) {
    Widget()->setParent(params.parent->Widget(), Qt::Window);
  }
  SetText(gui::QStringOfGbk(data_.caption));
  ApplyFrameStyles();
  QRect rect = params.rect;
  if (data_.window_state == 1) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->geometry();
      rect.moveTo((area.width() - rect.width()) / 2, (area.height() - rect.height()) / 2);
    }
  }
  SetRect(rect);
  if (params.menu_bar != nullptr) SetMenuBar(*params.menu_bar);
  SetAccelerators(params.accelerators);
  ApplyIcon();
  ApplyShape();
  if (params.extra_style & forms::unit_style::kDisabled) Enable(false);
  // The loader reports this place and size with Created; Qt's own move and resize on the
  // first show repeat them and are not reported again.
  reported_position_ = Widget()->pos();
  reported_size_ = Widget()->size();
}

void WindowUnit::ApplyFrameStyles() {
  QWidget* widget = Widget();
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
  if (data_.border == 0) {
    flags |= Qt::FramelessWindowHint;
  } else {
    if (!data_.caption.empty() || data_.control_box) flags |= Qt::WindowTitleHint;
    if (data_.control_box) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (data_.max_button) flags |= Qt::WindowMaximizeButtonHint;
    if (data_.min_button) flags |= Qt::WindowMinimizeButtonHint;
    if (data_.border == 3 || data_.border == 4) flags |= Qt::Tool;
  }
  if (!data_.show_in_taskbar) flags |= Qt::Tool;
  if (data_.always_on_top) flags |= Qt::WindowStaysOnTopHint;
  if (widget->windowFlags() == flags) return;
  const bool visible = widget->isVisible();
  widget->setWindowFlags(flags);
  if (visible) widget->show();
}

void WindowUnit::ApplyShape() {
  if (auto region = WindowShapeRegion(data_.shape, Widget()->size())) {
    Widget()->setMask(*region);
  } else {
    Widget()->clearMask();
  }
}

void WindowUnit::ApplyIcon() {
  const QImage icon = DecodePicture(data_.icon);
  if (!icon.isNull()) {
    Widget()->setWindowIcon(QPixmap::fromImage(icon));
  } else {
    Widget()->setWindowIcon(QApplication::windowIcon());
  }
}

void WindowUnit::ShowInStartState() {
  switch (data_.window_state) {
    case 2: Show(gui::ShowMode::kMinimized); break;
    case 3:
      Show(IsResizableBorder(data_.border) ? gui::ShowMode::kMaximized : gui::ShowMode::kNormal);
      break;
    default: Show(gui::ShowMode::kNormal); break;
  }
}

void WindowUnit::SetWindowState(int32_t state) {
  QWidget* widget = Widget();
  if (!widget->isVisible()) {
    // A hidden window keeps the state (it reads back as written) and shows in it.
    Qt::WindowStates states = widget->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == 2) states |= Qt::WindowMinimized;
    if (state == 3) states |= Qt::WindowMaximized;
    widget->setWindowState(states);
    return;
  }
  switch (state) {
    case 0: widget->showNormal(); break;
    case 1: {
      if (widget->isMinimized() || widget->isMaximized()) widget->showNormal();
      if (const QScreen* screen = widget->screen()) {
        const QRect area = screen->geometry();
        QRect rect = Rect();
        const QPoint centre((area.width() - rect.width()) / 2, (area.height() - rect.height()) / 2);
        if (rect.topLeft() != centre) {
          rect.moveTo(centre);
          SetRect(rect);
        }
      }
      break;
    }
    case 2: widget->showMinimized(); break;
    case 3: widget->showMaximized(); break;
    default: break;
  }
}

void WindowUnit::ApplyCaption() {
  SetText(gui::QStringOfGbk(data_.caption));
  ApplyFrameStyles();
}

void WindowUnit::ApplyBackColor() {
  RepaintClient();
  for (gui::Window* child : Children()) child->Repaint();
}

void WindowUnit::ApplyBackPicture() {
  background_.reset();
  RepaintClient();
}

void WindowUnit::ApplyBackPictureMode() {
  if (!data_.back_picture.empty()) RepaintClient();
}

void WindowUnit::ReadWindowState(forms::PropertyValue* value) const {
  value->number = Widget()->isMinimized() ? 2 : Widget()->isMaximized() ? 3 : 0;
}

void WindowUnit::MarkForDestruction(bool at_once) {
  if (at_once) {
    destroy_mark_ = false;
    Destroy();
    return;
  }
  destroy_mark_ = true;
  Post(kDestroyRequestMessage);
}

void WindowUnit::PaintClient(QPainter& painter) {
  const QRect client = ClientRect();
  painter.fillRect(client, ColorOf(data_.back_color, Widget()->palette().button().color()));
  if (data_.back_picture.empty()) return;
  if (!background_) background_ = DecodePicture(data_.back_picture);
  if (!background_->isNull()) PaintPicture(painter, client, *background_, data_.back_picture_mode);
}

std::optional<forms::UnitId> WindowUnit::UnitIdOfWindow(gui::WindowHandle handle) const {
  if (handle == Handle()) return 0;
  const forms::WindowTemplate* window = forms::FormsRuntime::Instance().Templates().Find(Form());
  if (window == nullptr) return std::nullopt;
  for (const forms::UnitRecord& record : window->units) {
    if (!record.IsMenuItem() && record.Unit().object == static_cast<uintptr_t>(handle)) {
      return record.id;
    }
  }
  return std::nullopt;
}

UnitBase* WindowUnit::FocusedUnit() const {
  QWidget* focused = QApplication::focusWidget();
  if (focused == nullptr || !Widget()->isAncestorOf(focused)) return nullptr;
  return dynamic_cast<UnitBase*>(gui::Window::FromObject(focused));
}

void WindowUnit::MoveFocus(bool forward) {
  QWidget* start = QApplication::focusWidget();
  if (start == nullptr || !Widget()->isAncestorOf(start)) start = ClientWidget();
  QWidget* candidate = start;
  do {
    candidate = forward ? candidate->nextInFocusChain() : candidate->previousInFocusChain();
    if (candidate != start && Widget()->isAncestorOf(candidate) && candidate->isVisible() &&
        candidate->isEnabled() && (candidate->focusPolicy() & Qt::TabFocus)) {
      candidate->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
      return;
    }
  } while (candidate != start && candidate != nullptr);
}

void WindowUnit::RestoreFocus() {
  if (gui::Window* before = gui::Window::FromHandle(focus_before_deactivation_)) {
    before->SetFocus();
    return;
  }
  MoveFocus(true);
}

void WindowUnit::OpenHelp() {
  std::string file = data_.help_file;
  if (file.empty()) {
    file = platform::ProgramFilePath();
    const size_t dot = file.rfind('.');
    const size_t slash = file.rfind('\\');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) file.resize(dot);
    file += ".hlp";
  }
  const QString path = QString::fromStdString(platform::NativePath(file));
  if (QFileInfo::exists(path)) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool WindowUnit::HandleDialogKey(const gui::Message& message) {
  const Qt::KeyboardModifiers modifiers = gui::CurrentModifiers();
  switch (static_cast<int32_t>(message.wparam)) {
    case gui::vk::kTab:
      MoveFocus(!(modifiers & Qt::ShiftModifier));
      return true;
    case gui::vk::kReturn: {
      if (UnitBase* focused = FocusedUnit(); focused != nullptr && focused->IsDefaultButton()) {
        focused->Click();
        return true;
      }
      if (data_.enter_moves_focus) {
        MoveFocus(true);
        return true;
      }
      // The first default button of the window, also one inside a container.
      const forms::WindowTemplate* window = forms::FormsRuntime::Instance().Templates().Find(Form());
      if (window == nullptr) return false;
      for (const forms::UnitRecord& record : window->units) {
        if (record.IsMenuItem()) continue;
        gui::Window* live = forms::FormsRuntime::Instance().RecordWindow(record.Unit());
        auto* unit = dynamic_cast<UnitBase*>(live);
        if (unit != nullptr && unit != this && unit->IsDefaultButton() && live->IsVisible() &&
            live->IsEnabled()) {
          unit->Click();
          return true;
        }
      }
      return false;
    }
    case gui::vk::kEscape:
      if (!data_.esc_closes) return false;
      Send(gui::msg::kClose);
      return true;
    case gui::vk::kF1:
      if (!data_.f1_opens_help) return false;
      OpenHelp();
      return true;
    default: return false;
  }
}

bool WindowUnit::HandleMnemonic(const gui::Message& message) {
  const auto key = static_cast<int32_t>(message.wparam);
  const bool letter_or_digit = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
  if (message.id != gui::msg::kSysKeyDown || !letter_or_digit) return false;
  const QString wanted = QString("&") + QChar(key);
  const forms::WindowTemplate* window = forms::FormsRuntime::Instance().Templates().Find(Form());
  if (window == nullptr) return false;
  for (const forms::UnitRecord& record : window->units) {
    if (record.IsMenuItem()) continue;
    gui::Window* live = forms::FormsRuntime::Instance().RecordWindow(record.Unit());
    auto* unit = dynamic_cast<UnitBase*>(live);
    if (unit == nullptr || unit == this || !live->IsVisible() || !live->IsEnabled()) continue;
    const auto caption = unit->MnemonicCaption();
    if (caption && caption->contains(wanted, Qt::CaseInsensitive)) {
      unit->ActivateByMnemonic();
      return true;
    }
  }
  return false;
}

bool WindowUnit::PreTranslateMessage(gui::Message& message) {
  gui::Window* target = gui::Window::FromHandle(message.window);
  if (target == nullptr) return false;
  // 1. Keyboard input of a disabled window is left alone.
  if (IsKeyboardMessage(message.id) && !target->IsEnabled()) return false;
  // 2. Shortcut keys of the menus.
  if (TranslateAccelerator(message)) return true;
  // 4. A press anywhere on the client area, or on a unit that lets drags through, drags
  // the window.
  const auto* target_unit = dynamic_cast<const UnitBase*>(target);
  const bool drags = target == this || (target_unit != nullptr && target_unit->DragsWindow());
  if (data_.drag_anywhere && message.id == gui::msg::kLeftButtonDown && drags) {
    if (QWindow* handle = Widget()->windowHandle()) handle->startSystemMove();
    return true;
  }
  // 5. Dialog keys, unless the focused unit's class claims the key itself.
  if (message.id == gui::msg::kKeyDown || message.id == gui::msg::kSysKeyDown) {
    const std::optional<forms::UnitId> unit = UnitIdOfWindow(message.window);
    const forms::WindowTemplate* window = forms::FormsRuntime::Instance().Templates().Find(Form());
    const forms::UnitRecord* record =
        window != nullptr && unit.value_or(0) != 0 ? window->FindUnit(*unit) : nullptr;
    bool claimed = false;
    if (record != nullptr && !record->IsMenuItem()) {
      if (const auto* type = forms::FormsRuntime::Instance().ClassOf(record->Unit().type)) {
        const auto owns_key = forms::UnitOperation<forms::OwnsKeyFunction>(type->get_unit_interface,
                                                                           forms::unit_op::kOwnsKey);
        claimed = owns_key != nullptr && owns_key(target, message);
      }
    }
    if (!claimed && message.id == gui::msg::kKeyDown && HandleDialogKey(message)) return true;
    // 6. Alt with a letter or digit chooses a unit by its mnemonic.
    if (HandleMnemonic(message)) return true;
  }
  // 7. Input becomes the common events of the unit it is for.
  const std::optional<forms::UnitId> unit = UnitIdOfWindow(message.window);
  if (!unit) return false;  // a window that belongs to no unit gets no event
  const gui::WindowHandle handle = message.window;
  const bool discarded = FireCommonEvent(Form(), *unit, message);
  return discarded || !gui::IsWindowAlive(handle);
}

int64_t WindowUnit::WindowProc(gui::Message& message) {
  if (!HandleCommonMessage(*this, message)) return 0;
  switch (message.id) {
    case gui::msg::kMove:
      if (Widget()->pos() == reported_position_) break;
      reported_position_ = Widget()->pos();
      FireEvent(window_event::kMoved);
      break;
    case gui::msg::kSize:
      ApplyShape();
      if (Widget()->size() == reported_size_) break;
      reported_size_ = Widget()->size();
      FireEvent(window_event::kResized);
      break;
    case gui::msg::kActivate:
      if (in_activation_) break;
      in_activation_ = true;
      if (message.wparam != 0) {
        if (!activated_once_) {
          activated_once_ = true;
          FireEvent(window_event::kFirstActivated);
        }
        if (IsAlive()) FireEvent(window_event::kActivated);
      } else {
        if (QWidget* focused = QApplication::focusWidget(); focused && Widget()->isAncestorOf(focused)) {
          if (gui::Window* window = gui::Window::FromObject(focused)) {
            focus_before_deactivation_ = window->Handle();
          }
        }
        FireEvent(window_event::kDeactivated);
      }
      in_activation_ = false;
      break;
    case gui::msg::kSetFocus:
      RestoreFocus();
      break;
    case gui::msg::kShowWindow:
      if (message.wparam != 0) ApplyRequestedOuterSize();
      FireEvent(message.wparam != 0 ? window_event::kShown : window_event::kHidden);
      break;
    case gui::msg::kClose: {
      const forms::EventOutcome outcome = FireEvent(window_event::kCloseQuery);
      if (outcome.has_value && outcome.value == 0) return 0;  // the handler keeps it open
      if (!IsAlive()) return 0;
      return DefaultProc(message);
    }
    case gui::msg::kQueryEndSession: {
      // The session may end unless CloseQuery keeps the window open.
      const forms::EventOutcome outcome = FireEvent(window_event::kCloseQuery);
      return outcome.has_value && outcome.value == 0 ? 0 : 1;
    }
    case gui::msg::kDestroy:
      destroy_mark_ = false;
      FireEvent(window_event::kDestroying);
      SetMenuBar({});
      break;
    case gui::msg::kCommand: {
      const forms::WindowTemplate* window = forms::FormsRuntime::Instance().Templates().Find(Form());
      const int32_t record = window == nullptr ? -1 : forms::MenuRecordOfCommand(*window, message.wparam);
      if (record >= 0) forms::Fire(Form(), window->units[static_cast<size_t>(record)].id, 0);
      return 0;
    }
    case kDestroyRequestMessage:
      if (destroy_mark_) {
        destroy_mark_ = false;
        Destroy();
      }
      return 0;
    case forms::kShowLoadedWindowMessage: ShowInStartState(); return 0;
    case forms::kTakeDestroyMarkMessage: return std::exchange(destroy_mark_, false) ? 1 : 0;
    default: break;
  }
  return DefaultProc(message);
}

}  // namespace units
