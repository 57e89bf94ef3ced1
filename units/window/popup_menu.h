#pragma once

#include <cstdint>
#include <optional>

#include "forms/form_ids.h"

namespace units {

// The window method PopupMenu: shows the sub-items of menu unit `menu` of window `form` as
// a pop-up at the given screen position (by default 3 pixels right of and below the
// cursor) and fires the chosen item's Selected event.
void PopupMenu(forms::FormId form, forms::UnitId menu, std::optional<int32_t> x = std::nullopt,
               std::optional<int32_t> y = std::nullopt);

}  // namespace units
