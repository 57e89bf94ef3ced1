#pragma once

#include <span>
#include <string>

#include "forms/form_ids.h"

namespace units {

// The edit box's method AppendText: each text in turn goes at the end of the current
// content (the end is found again before every text, as a change handler may have changed
// the box). A reference to no live edit box does nothing.
void AppendText(forms::FormId form, forms::UnitId unit, std::span<const std::string> texts);

}  // namespace units
