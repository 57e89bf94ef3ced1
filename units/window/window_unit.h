#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <optional>

#include "forms/event_numbers.h"
#include "forms/unit_interface.h"
#include "platform/gui/frame_window.h"
#include "units/base/property_table.h"
#include "units/base/unit_base.h"
#include "units/window/window_class_data.h"

namespace units {

// The window's own events.
namespace window_event = forms::window_event;

// The window unit: the top-level window of a form. It paints its client area, handles
// the keyboard for the whole window (focus movement, default button, Esc, F1, mnemonics,
// shortcut keys), turns input of its units into their common events, and fires its own
// events.
class WindowUnit : public gui::FrameWindow, public UnitBase {
 public:
  using ClassData = WindowClassData;

  WindowUnit(const forms::CreateParams& params, WindowClassData data);

  // The icon of a window's class data, without a window.
  static std::optional<std::vector<uint8_t>> ClassIcon(std::span<const uint8_t> class_data);

  // Class properties, by class index (property index - 8).
  static const PropertyTable<WindowUnit, WindowClassData>& Properties();
  int32_t WriteProperty(int32_t index, const forms::PropertyValue& value) {
    return Properties().Write(*this, data_, index, value);
  }
  bool ReadProperty(int32_t index, forms::PropertyValue* value) const {
    return Properties().Read(*this, data_, index, value);
  }
  const WindowClassData& Data() const { return data_; }

  // Destroy without CloseQuery: at once, or by a posted request that is dropped when the
  // mark is cleared first.
  void MarkForDestruction(bool at_once);

  int64_t WindowProc(gui::Message& message) override;
  bool PreTranslateMessage(gui::Message& message) override;

 protected:
  void PaintClient(QPainter& painter) override;

 public:
  // What a property write does after storing the value.
  void ApplyCaption();
  void ApplyFrameStyles();
  void ApplyBackColor();
  void ApplyBackPicture();
  void ApplyBackPictureMode();
  void ApplyWindowState() { SetWindowState(data_.window_state); }
  void ReadWindowState(forms::PropertyValue* value) const;
  void ApplyShape();
  void ApplyIcon();

 private:
  void ShowInStartState();
  void SetWindowState(int32_t state);
  bool HandleDialogKey(const gui::Message& message);
  bool HandleMnemonic(const gui::Message& message);
  void MoveFocus(bool forward);
  void RestoreFocus();
  UnitBase* FocusedUnit() const;
  // The unit whose window `handle` is (0 for this window), or nothing.
  std::optional<forms::UnitId> UnitIdOfWindow(gui::WindowHandle handle) const;
  void OpenHelp();

  WindowClassData data_;
  bool created_ = false;
  bool activated_once_ = false;
  bool in_activation_ = false;
  bool destroy_mark_ = false;
  gui::WindowHandle focus_before_deactivation_ = 0;
  QPoint reported_position_;  // where Moved last said the window is
  QSize reported_size_;       // the size Resized last reported
  mutable std::optional<QImage> background_;  // decoded once per picture
};

// The private message that carries a posted destruction request.
inline constexpr uint32_t kDestroyRequestMessage = 0x8065;

}  // namespace units
