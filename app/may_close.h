#pragma once

namespace app {

// Before the window closes: the chapter is saved now; when its record still cannot take it,
// the author chooses — save again, close (the text is in the rescue copy, whose path the box
// gives), or keep the window open. The box's default button saves again, so Enter (or Esc,
// which keeps the window) never loses text. True when the window may close.
bool MayClose();

}  // namespace app
