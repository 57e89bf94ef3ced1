#pragma once

#include <QString>

class QWidget;

namespace units {

// What a box takes from a paste, a drop or an input method must survive being saved: a box's
// text is saved as a zero-ended GB18030 text, so a NUL would end it there (everything after
// it lost at the next load), and a lone surrogate has no GB18030 code. Such characters are
// dropped (NUL) or replaced by U+FFFD (a lone surrogate); `changed` tells whether any was.
QString HoldableText(const QString& text, bool* changed);

// Tells the author, once per run and without taking the keyboard (a tip beside the box),
// that characters were left out of what went into `box`.
void TellUnholdableDropped(QWidget* box);

}  // namespace units
