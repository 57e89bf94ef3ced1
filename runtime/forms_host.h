#pragma once

#include <cstdint>
#include <optional>

#include "runtime/arg_cell.h"

namespace runtime {

using FormId = uint32_t;
using UnitId = uint32_t;

// What the runtime needs from the form machinery (templates, windows, units, events).
// The forms layer installs it before the runtime is initialised; without one the program
// has no templates and no windows.
class FormsHost {
 public:
  virtual ~FormsHost() = default;

  // Reads the template block and turns every handler offset into an address relative to
  // `code_base`. False when the block is malformed.
  virtual bool LoadTemplateBlock(const uint8_t* block, int32_t size, const uint8_t* code_base) = 0;
  virtual int32_t TemplateCount() = 0;
  virtual intptr_t TemplateSet() = 0;

  // Creates the window of template `form` as the startup window. False when there is no
  // such template or creation failed.
  virtual bool LoadStartupWindow(FormId form) = 0;
  // Whether any loaded window's window unit still has a live window.
  virtual bool AnyWindowAlive() = 0;
  // Releases every template with the windows and units made from it.
  virtual void ReleaseAllTemplates() = 0;

  // The window-idle part of the idle hook: `Reset` at idle count 0, then `Idle` gives each
  // loaded window not yet idled its idle processing. Returns whether any asks for more.
  virtual void ResetWindowIdle() = 0;
  virtual bool IdleWindows(uint32_t elapsed_ms) = 0;

  // The property gates and the unit-method service.
  virtual ArgCell ReadUnitProperty(FormId form, UnitId unit, int32_t property, int32_t element) = 0;
  virtual void WriteUnitProperty(FormId form, UnitId unit, int32_t property, int32_t element,
                                 const ArgCell& value) = 0;
  virtual intptr_t CallUnitMethod(const intptr_t (&values)[6]) = 0;

  // The service codes that serve units and events (unit lookup, event firing, ...).
  // Returns nothing for a code that the forms layer does not serve.
  virtual std::optional<intptr_t> Callback(int32_t code, intptr_t p1, intptr_t p2) = 0;
};

}  // namespace runtime
