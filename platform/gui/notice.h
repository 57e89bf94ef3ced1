#pragma once

#include <QString>

namespace gui {

// A message the author reads when they look, shown without taking the keyboard: a window
// beside the others with the text and an OK button, which never becomes the active window
// (keys typed after it appeared go on where they went) and blocks nothing. A second notice
// while one is shown replaces its text. Closed by its button (a click) or by the program.
void ShowNotice(const QString& text, const QString& caption);

// Whether a notice is on the screen, and closing it.
bool NoticeShown();
void CloseNotice();

}  // namespace gui
