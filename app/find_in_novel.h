#pragma once

#include <vector>

#include "find_replace/novel_search.h"

// Find and replace in the shown chapter or across the novel (the find window, modeless, on the
// desk's chapters: the shown one as its boxes hold it, the others from their records).
namespace app {

enum class FindWindowPurpose { kFind, kReplace };

// "查找…" (Ctrl+F) and "替换…" (Ctrl+H): the window brought up, the text box's selection (one
// line of it) as what to find.
void ShowFindWindow(FindWindowPurpose purpose);

// The chapters as the find window searches them (list order, texts in the text box's form): the
// shown one from its boxes, the others from their records (the writer done first).
std::vector<find_replace::ChapterText> ChaptersToSearch(bool shown_only);

}  // namespace app
