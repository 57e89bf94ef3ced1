#pragma once

// "章节历史…" and "已删除的章节…": the history window (chapter_history/window) over the desk's
// chapters, and what the author brings back from it.
namespace app {

// The shown chapter's versions beside its current text; "恢复此版本" keeps the current text as
// a version first, then puts the chosen one into the boxes.
void ShowShownChapterHistory();

// The deleted chapters' versions; "恢复为新章节" appends a chapter with the chosen version, and
// the deleted chapter's versions become the new chapter's.
void ShowDeletedChapters();

}  // namespace app
