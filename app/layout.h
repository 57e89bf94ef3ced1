#pragma once

#include <cstdint>

namespace app {

// The smallest inside of the writing window (its frame, whatever the window system gives it,
// comes on top). 800 x 480 leaves room for a frame and a title bar of up to 100 pixels on the
// smallest screen the desk is made for: a 1366 x 768 laptop at 125 % with a 40-pixel task bar
// has 1093 x 582 logical pixels to give. Down to it the text box keeps 487 pixels (some thirty
// characters of the default font) and the right column closes up (see LayOutForWindowSize).
inline constexpr int32_t kSmallestInnerWidth = 800;
inline constexpr int32_t kSmallestInnerHeight = 480;

// Lays the units out for the inside of the window (its Width and Height count a frame, which
// the window manager may give or take away at any change: a frame of any width gives the same
// layout as none). The text box, the splitter and the list grow with the window; the settings,
// figures, clock, search and title buttons keep to the right edge. From the form's height on
// the right column stands as the form draws it; below, down to the smallest height, its rows
// close up evenly (the settings group drops the empty rows inside it).
void LayOutForWindowSize();

// At the start: the window may not be made smaller than the smallest inside, and it starts at
// the form's size and place where the screen's free area (less task bars) has room, else as
// large as that area allows (never below the smallest) and within it.
void StartWithinTheScreen();

// The splitter bar was dragged to `left`: it is kept between 8 and where the text box would
// become narrower than its least width before the right column; the list and the name box end
// 2 pixels before it and the text box starts 1 pixel after.
void LayOutAroundSplitter(int32_t left);

}  // namespace app
