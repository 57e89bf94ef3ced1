#pragma once

#include <cstdint>

namespace app {

// Lays the units out for the window's size: the text box, the splitter and the list grow
// with it; the settings, figures, clock, search and title buttons keep to the right edge.
void LayOutForWindowSize();

// The window's start size is the smallest it may be made: every unit of the layout fits
// (the clock at the bottom right, the forum label clear of the chapter's count).
void KeepTheStartSizeAsTheSmallest();

// The splitter bar was dragged to `left`: it is kept between 8 and the window's width - 20,
// the list and the name box end 2 pixels before it and the text box starts 1 pixel after.
void LayOutAroundSplitter(int32_t left);

}  // namespace app
