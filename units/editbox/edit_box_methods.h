#pragma once

#include <QString>
#include <cstdint>
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

// The box's text as its widget holds it: positions in it are the widget's (EditControl), which
// SelectInWidget and a search over the text share. Empty for a reference to no live box.
QString WidgetText(forms::FormId form, forms::UnitId unit);
// The selection [start, end) in WidgetText (the caret alone: start == end); 0, 0 for no box.
void WidgetSelection(forms::FormId form, forms::UnitId unit, int32_t* start, int32_t* end);
// Selects [start, end) of WidgetText and scrolls it into view.
void SelectInWidget(forms::FormId form, forms::UnitId unit, int32_t start, int32_t end);
// Makes `text` (in WidgetText's form) the box's text as one edit that a single undo takes
// back: only the stretch that differs is replaced, so what stays keeps its place and the caret
// ends after the change. False for no live box or a read-only one; true and nothing done when
// the text is the same.
bool ReplaceTextAsEdit(forms::FormId form, forms::UnitId unit, const QString& text);

}  // namespace units
