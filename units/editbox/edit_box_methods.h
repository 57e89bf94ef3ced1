#pragma once

#include <span>
#include <string>

#include "forms/form_ids.h"
#include "units/editbox/line_sums.h"

namespace units {

// The edit box's method AppendText: each text in turn goes at the end of the current
// content (the end is found again before every text, as a change handler may have changed
// the box). A reference to no live edit box does nothing.
void AppendText(forms::FormId form, forms::UnitId unit, std::span<const std::string> texts);

// measure() of the box's Content, without reading the whole text after each edit (see
// LineSums); measure of an empty text for a reference to no live edit box. Not one of the
// box's methods: a program's own routine that asks after every key uses it where it would read
// Content and measure it.
int64_t MeasureContent(forms::FormId form, forms::UnitId unit, GbkMeasure measure);

}  // namespace units
