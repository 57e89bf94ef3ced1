#pragma once

#include <cstdint>
#include <optional>

#include "forms/form_ids.h"

namespace units {

// The methods every unit has. A unit reference that names no live window does nothing
// (and SendUnitMessage answers 0).

void SetFocus(forms::FormId form, forms::UnitId unit);

// Starts from the unit's rectangle in its parent's client coordinates: a given left or top
// replaces that edge keeping the size, a given width or height other than -1 replaces it;
// nothing happens when the result equals the current rectangle.
void Move(forms::FormId form, forms::UnitId unit, std::optional<int32_t> left,
          std::optional<int32_t> top = std::nullopt, std::optional<int32_t> width = std::nullopt,
          std::optional<int32_t> height = std::nullopt);

// The size of the unit's window inside its frame (a menu bar, if any, included): where its
// units are placed. A window's Width and Height count its frame, which the window system may
// add, change or take away (a window manager's border, none while maximised), so a layout is
// computed from these. 0 for no live unit.
int32_t InnerWidth(forms::FormId form, forms::UnitId unit);
int32_t InnerHeight(forms::FormId form, forms::UnitId unit);

// A top-level unit's window cannot be made smaller than `width` x `height` inside its frame
// (by the user, the window manager or a program: a smaller size asked for becomes this one),
// whatever frame it has.
void KeepInnerSizeAtLeast(forms::FormId form, forms::UnitId unit, int32_t width, int32_t height);

// The part of the screen that the unit's window is on (or of the main screen) that windows may
// take: the screen less its task bars and docks, in the coordinates of Left and Top. Empty when
// there is no screen.
struct ScreenArea {
  int32_t left = 0;
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
};
ScreenArea AvailableScreenArea(forms::FormId form, forms::UnitId unit);

int64_t SendUnitMessage(forms::FormId form, forms::UnitId unit, uint32_t message, uint64_t wparam,
                        int64_t lparam);

// A window is marked and destroyed by a posted request (or at once), without CloseQuery.
// Any other unit's window is destroyed; when it had no child windows its record also
// leaves the form and its container's child list.
void Destroy(forms::FormId form, forms::UnitId unit, bool at_once = false);

}  // namespace units
