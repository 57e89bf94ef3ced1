// What an author sees of the writing window, checked at whatever size and frame it has: the
// in-process layout test and the one under a real window manager use the same checks.
#pragma once

#include <string>

namespace gui {
class Window;
}

namespace desk_tests {

// No text of a unit overlaps another text or another unit, no caption runs past a unit that
// clips it or out of the window's inside, and a caption cut short ends in "…" with the whole
// in its tool tip. `window` is the writing window's unit; `when` names the moment in failures.
void ExpectNothingOverlapsOrIsCut(const gui::Window& window, const std::string& when);

// The five figures keep their width (110, as the form draws the first) and end on the inside's
// right edge, one under the other.
void ExpectTheFiguresKeepTheirPlace(const gui::Window& window, const std::string& when);

// The warning line (the forum label while saving fails) lies inside the window's inside, in the
// strip under the text box and the chapter list.
void ExpectTheWarningLineInside(const gui::Window& window, const std::string& when);

}  // namespace desk_tests
