#pragma once

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <optional>

#include "forms/event_dispatch.h"
#include "forms/form_ids.h"
#include "platform/gui/window.h"

namespace units {

// What every unit's window object knows about itself: the window template and record it
// was made from. Unit classes derive from a window type and from this.
class UnitBase {
 public:
  UnitBase(forms::FormId form, forms::UnitId unit) : form_(form), unit_(unit) {}
  virtual ~UnitBase() = default;

  forms::FormId Form() const { return form_; }
  forms::UnitId Unit() const { return unit_; }

  // Fires one of this unit's events (the window's own unit fires as unit 0).
  forms::EventOutcome FireEvent(int32_t event, std::initializer_list<int32_t> args = {}) const;

  // Tells the runtime that the unit's window is gone (its record's slots are cleared).
  void ReportDestroyed() const;

  // The messages every unit answers alike, handled before the unit's own: a focus change
  // fires FocusGained or FocusLost, the final destroy tells the runtime the window is gone.
  // `window` is the unit's own window. False when a handler destroyed it: the caller must
  // then return without touching the unit.
  bool HandleCommonMessage(const gui::Window& window, const gui::Message& message) const;

  // Mnemonics: the caption a unit shows with "&" before its access character, and what
  // choosing it does. Units without mnemonics keep the defaults.
  virtual std::optional<QString> MnemonicCaption() const { return std::nullopt; }
  virtual void ActivateByMnemonic() {}
  // A push button marked as the default button of its window.
  virtual bool IsDefaultButton() const { return false; }
  // Fires the unit's event 0 (a button's click).
  virtual void Click() {}
  // A press on the unit drags a window whose DragAnywhere is on (static units such as
  // labels), as a press on the window's own client area does.
  virtual bool DragsWindow() const { return false; }

 protected:
  bool IsWindowUnit() const { return unit_ == forms::kWindowUnitId; }

 private:
  forms::FormId form_;
  forms::UnitId unit_;
};

}  // namespace units
